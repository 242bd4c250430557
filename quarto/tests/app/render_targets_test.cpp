// The three targets end to end: a plot opened through the open command is painted into the
// window, saved as a BMP file beside the plot and printed as one PDF page; file problems are
// reported, never taken as success.
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <set>

#include "app/form1.h"
#include "app/form2.h"
#include "app/render_targets.h"
#include "app/startup.h"
#include "app/ui_seams.h"
#include "shell_fake_seams.h"
#include "testsupport/plt_writer.h"

using namespace quarto;

namespace {

const QRgb kLayer1 = qRgb(0, 128, 0);  // built-in colours of layers 1, 2 and 3
const QRgb kLayer2 = qRgb(255, 0, 0);
const QRgb kLayer3 = qRgb(255, 255, 0);

// A board of 2000 x 1000 units (or a wider header box) with a large bar on layer 1 and another
// on layer 2 (or another second layer).
void WriteBoard(const QString& path, PltFormat format = PltFormat::Plt45, int32_t headerWidth = 2000,
                int secondLayer = 2) {
  test::PltWriter w(format);
  w.Header({1, 0, 0, headerWidth, 1000, -1, 1});
  w.LayerName("TOP", 1);
  w.LayerName("BOTTOM", secondLayer);
  w.Layer(1);
  w.Bar(100, 100, 900, 900);
  w.Layer(secondLayer);
  w.Bar(1100, 100, 1900, 900);
  w.Line(0, 0, 0, 0, 2000, 1000);
  w.Save(path.toStdString());
}

// The board plotted again under its name: one bar on layer 3 ("NEW", yellow) and nothing else.
void WriteReplot(const QString& path, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  test::PltWriter w(PltFormat::Plt45);
  w.Header({1, 0, 0, 2000, 1000, -1, 1});
  w.LayerName("NEW", 3);
  w.Layer(3);
  w.Bar(x1, y1, x2, y2);
  w.Save(path.toStdString());
}

int CountColour(const QImage& img, QRgb colour) {
  int n = 0;
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if (rgb.pixel(x, y) == colour) ++n;
  return n;
}

QSet<QRgb> ColoursOf(const QImage& img) {
  QSet<QRgb> colours;
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) colours.insert(rgb.pixel(x, y));
  return colours;
}

}  // namespace

class RenderTargetsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    seams_ = std::make_unique<test::FakeSeams>();
    QVERIFY(dir_.isValid());
  }
  void cleanup() {
    form_.reset();
    seams_.reset();
  }

  void openedPlotIsPaintedIntoTheWindow() {
    for (PltFormat format : {PltFormat::Plt45, PltFormat::Plt85}) {
      const QString path = dir_.filePath(format == PltFormat::Plt45 ? "board45.plt" : "board85.plt");
      WriteBoard(path, format);
      Open(path);
      form_->show();
      QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
      const QImage shot = form_->drawingArea()->grab().toImage();
      QVERIFY(CountColour(shot, kLayer1) > 100);
      QVERIFY(CountColour(shot, kLayer2) > 100);
      QVERIFY(CountColour(shot, qRgb(255, 255, 255)) > 100);  // the page
      // The first paint fitted the drawing and showed the zoom.
      QVERIFY(!form_->view().FitPending);
      QCOMPARE(form_->Edit1->text(), QString::number(form_->view().Zoom, 'f', 4).replace('.', ','));
      QVERIFY(form_->view().Zoom > 0);
      QVERIFY(seams_->errors.isEmpty());
    }
  }

  // The page preview appears where the frame computed it, the drawing area lying at (areaLeft,
  // areaTop) in the frame's coordinates: the page's black top border is visible below the tool
  // bar, whatever its height.
  void pagePreviewLiesWhereTheFramePutsIt() {
    const QString path = dir_.filePath("page.plt");
    WriteBoard(path);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QImage shot = form_->drawingArea()->grab().toImage();
    const FrameInput in = FrameInputOf(*form_, RenderTarget::Screen);
    FrameLayout f = ComputeFrame(in);
    f.PageLeft -= in.areaLeft, f.PageRight -= in.areaLeft;
    f.PageTop -= in.areaTop, f.PageBottom -= in.areaTop;
    const int midX = (f.PageLeft + f.PageRight) / 2, midY = (f.PageTop + f.PageBottom) / 2;
    const QPoint black[] = {{f.PageLeft, midY}, {f.PageRight, midY}, {f.PageRight + 1, midY}, {midX, f.PageTop}};
    for (const QPoint p : black) {
      QVERIFY2(shot.rect().contains(p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
      QCOMPARE(QColor(shot.pixel(p)), QColor(Qt::black));  // edges and shadow
    }
    // Background above the page and left of it.
    QVERIFY(f.PageTop > 0);
    QCOMPARE(QColor(shot.pixel(midX, f.PageTop - 1)), QColor(shot.pixel(0, 0)));
    QCOMPARE(QColor(shot.pixel(f.PageLeft - 1, midY)), QColor(shot.pixel(0, midY)));
  }

  // The plot's second layer is yellow here, so that red in the bitmap could only be margin lines.
  void bitmapTargetWritesTheDrawingBesideThePlot() {
    const QString path = dir_.filePath("board.plt");
    WriteBoard(path, PltFormat::Plt45, 2000, 3);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QVERIFY(CountColour(Shot(), kLayer2) > 0);  // the window's page preview has its red margin lines
    form_->view().FitPending = false;
    form_->view().Zoom = 10.0;
    const QSize screen(1000, 900);  // at least the window: the drawing lies inside the bitmap
    FrameInput in = FrameInputOf(*form_, RenderTarget::Bitmap);
    in.screenWidth = screen.width(), in.screenHeight = screen.height();
    const FrameLayout layout = ComputeFrame(in);

    QVERIFY(SaveBitmap(*form_, screen));
    QVERIFY(seams_->errors.isEmpty());
    const QString file = dir_.filePath("board.bmp");
    const QImage bmp(file, "BMP");
    QVERIFY(!bmp.isNull());
    // 8 bits per pixel, as the file header says (bytes 28-29 of the info header).
    const QByteArray head = ReadAll(file).left(54);
    QCOMPARE(head.left(2), QByteArray("BM"));
    QCOMPARE(uint8_t(head[28]) | uint8_t(head[29]) << 8, 8);
    QCOMPARE(bmp.depth(), 8);
    QCOMPARE(bmp.pixel(0, 0), qRgb(255, 255, 255));
    const DevicePoint bar1 = layout.place.Point(500, 500), bar2 = layout.place.Point(1500, 500);
    QCOMPARE(bmp.pixel(bar1.x, bar1.y), kLayer1);  // the layer colours exact
    QCOMPARE(bmp.pixel(bar2.x, bar2.y), kLayer3);
    // The drawing alone on white: no red margin lines, no black page frame or shadow.
    QCOMPARE(ColoursOf(bmp), (QSet<QRgb>{qRgb(255, 255, 255), kLayer1, kLayer3}));
    // The header box (2000 units wide, 1000 high) at the drawing's scale plus the screen: the scale
    // measured on the bitmap itself, from the 800-unit bars' inked runs.
    int barWidth = 0, barHeight = 0;
    for (int x = 0; x < bmp.width(); ++x) barWidth += bmp.pixel(x, bar1.y) == kLayer1;
    for (int y = 0; y < bmp.height(); ++y) barHeight += bmp.pixel(bar1.x, y) == kLayer1;
    QVERIFY(barWidth > 50);
    QVERIFY(std::abs(bmp.width() - 1000 - barWidth * 2000.0 / 800) <= 3);
    QVERIFY(std::abs(bmp.height() - 900 - barHeight * 1000.0 / 800) <= 3);
  }

  // The BMP name rule works on the file name only: the bitmap lands in the plot's own folder. An
  // existing bitmap is replaced whole, and no temporary file stays behind.
  void bitmapNamesStayInThePlotFolder() {
    const std::pair<const char*, const char*> cases[] = {
        {"a.plt", "a.bmp"}, {"sub/ab", "sub/bmp"},        {"x.", "bmp"},
        {"noext", "nobmp"}, {"v1.2/plain", "v1.2/plbmp"}, {"v1.2/b.plt", "v1.2/b.bmp"},
    };
    for (const auto& [plot, bmp] : cases) {
      QTemporaryDir root;
      const QString plotPath = root.filePath(plot);
      QDir().mkpath(QFileInfo(plotPath).path());
      WriteBoard(plotPath);
      const QString bmpPath = root.filePath(bmp);
      WriteBytes(bmpPath, "old");  // replaced
      Open(plotPath);
      seams_->errors.clear();
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      QVERIFY2(seams_->errors.isEmpty(), qPrintable(seams_->errors.join('|')));
      QCOMPARE(ReadAll(bmpPath).left(2), QByteArray("BM"));
      QStringList all;
      QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) all << QDir(root.path()).relativeFilePath(it.next());
      all.sort();
      QStringList expected{QString::fromLatin1(plot), QString::fromLatin1(bmp)};
      expected.sort();
      QCOMPARE(all, expected);
    }
  }

  void bitmapTargetRefusesAndReportsInsteadOfFailingSilently() {
    // A plot whose name already ends in "bmp" would be overwritten by its own bitmap.
    const QString own = dir_.filePath("plot.bmp");
    WriteBoard(own);
    Open(own);
    const QByteArray before = ReadAll(own);
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);
    QCOMPARE(ReadAll(own), before);

    // A name that cannot be written (a folder stands there) is reported.
    const QString path = dir_.filePath("locked.plt");
    WriteBoard(path);
    QVERIFY(QDir(dir_.path()).mkdir("locked.bmp"));
    Open(path);
    seams_->errors.clear();
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);

    // A zoom that would need gigabytes is refused before allocating.
    const QString big = dir_.filePath("big.plt");
    WriteBoard(big, PltFormat::Plt85, 2'000'000'000);
    Open(big);
    form_->view().FitPending = false;
    form_->view().Zoom = 100;
    seams_->errors.clear();
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);
    QVERIFY(!QFile::exists(dir_.filePath("big.bmp")));
  }

  // The export saves as every save of the tools does (common/replace_file.h); these cases show
  // that it does, and what the export adds: no name reaching the plot itself is replaced.
  void bitmapSavesKeepWhatTheUserProtected() {
    struct Case {
      const char* name;
      QString plot;
      std::function<void(const QString& plot, const QString& bmp)> prepare;
      bool saved;
      mode_t mode;  // of the bitmap afterwards (0: none)
    };
    const QString longStem(251, QLatin1Char('p'));
    const Case cases[] = {
        {"a 255-byte name", longStem + ".plt", nullptr, true, 0},
        {"a private bitmap", "private.plt", [](const QString&, const QString& bmp) { Protect(bmp, 0600); }, true, 0600},
        {"a protected bitmap", "protected.plt", [](const QString&, const QString& bmp) { Protect(bmp, 0444); }, false,
         0444},
        {"a link to the plot", "linked.plt",
         [](const QString& plot, const QString& bmp) { QVERIFY(QFile::link(plot, bmp)); }, false, 0},
        {"a hard link to the plot", "hard.plt",
         [](const QString& plot, const QString& bmp) {
           QVERIFY(::link(QFile::encodeName(plot).constData(), QFile::encodeName(bmp).constData()) == 0);
         },
         false, 0},
    };
    for (const Case& c : cases) {
      const QString plot = dir_.filePath(c.plot);
      const QString bmp = plot.chopped(3) + "bmp";
      WriteBoard(plot);
      const QByteArray plotBytes = ReadAll(plot);
      if (c.prepare) c.prepare(plot, bmp);
      const QByteArray before = ReadAll(bmp);
      Open(plot);
      seams_->errors.clear();
      QCOMPARE(SaveBitmap(*form_, QSize(10, 10)), c.saved);
      QCOMPARE(ReadAll(plot), plotBytes);
      if (c.saved) {
        QVERIFY2(seams_->errors.isEmpty(), c.name);
        QCOMPARE(ReadAll(bmp).left(2), QByteArray("BM"));
      } else {
        QCOMPARE(seams_->errors.size(), 1);
        QVERIFY2(seams_->errors[0].contains(bmp), qPrintable(seams_->errors[0]));
        QVERIFY2(seams_->errors[0].contains('\n'), "with its reason");
        QCOMPARE(ReadAll(bmp), before);
      }
      if (c.mode) QCOMPARE(ModeOf(bmp), c.mode);
    }
  }

  // Every byte of the bitmap is the picture's: the padding at the end of each row is zero, and
  // two saves of one drawing give the same file, whatever the row length.
  void bitmapBytesAreAllDefined() {
    const QString plot = dir_.filePath("rows.plt");
    const QString bmp = dir_.filePath("rows.bmp");
    WriteBoard(plot);
    Open(plot);
    // Memory that nobody wrote reads as 0xAA here (glibc fills new blocks so while M_PERTURB
    // is set, and the sanitizer build fills them too), not as the zeroes of fresh pages.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_PERTURB, 0x55);
    const auto restore = qScopeGuard([] {
      mallopt(M_PERTURB, 0);
      mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    });
    form_->view().FitPending = false;
    std::set<uint32_t> padded;  // the row lengths modulo 4 that were met
    for (const double zoom : {1.0, 1.1, 1.2, 1.3, 1.4, 1.5}) {
      form_->view().Zoom = zoom;
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      const QByteArray first = ReadAll(bmp);
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      QCOMPARE(ReadAll(bmp), first);
      const auto u32 = [&](int at) {
        return uint32_t(uint8_t(first[at])) | uint32_t(uint8_t(first[at + 1])) << 8 |
               uint32_t(uint8_t(first[at + 2])) << 16 | uint32_t(uint8_t(first[at + 3])) << 24;
      };
      const uint32_t offset = u32(10), width = u32(18), height = u32(22), stride = (width + 3) & ~3u;
      padded.insert(width % 4);
      QCOMPARE(uint32_t(first.size()), offset + stride * height);
      for (uint32_t row = 0; row < height; ++row)
        for (uint32_t x = width; x < stride; ++x) QCOMPARE(int(first[int(offset + row * stride + x)]), 0);
    }
    QVERIFY(padded.size() > 1);
  }

  void printerTargetGivesOnePdfPage() {
    const QString path = dir_.filePath("print.plt");
    WriteBoard(path);
    Open(path);
    const QString pdf = dir_.filePath("print.pdf");
    {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      QVERIFY(PrintPlot(*form_, printer));
      QCOMPARE(printer.resolution(), 300);
      QVERIFY(form_->view().FitPending == false);
    }
    const QByteArray bytes = ReadAll(pdf);
    QCOMPARE(bytes.left(5), QByteArray("%PDF-"));
    const auto pages = QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)"));
    QCOMPARE(pages, 1);
    QVERIFY(seams_->errors.isEmpty());
  }

  // The printer page is kept per window session: two windows never share it.
  void withoutAPrinterThePreviewShowsAnA4PageAt300Dpi() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed");
    WindowSession session, other;
    const PrinterPage portrait = CurrentPrinterPage(session, false), landscape = CurrentPrinterPage(session, true);
    QCOMPARE(portrait.width, 2480);  // 210 x 297 mm at 300 dots per inch
    QCOMPARE(portrait.height, 3508);
    QCOMPARE(landscape.width, 3508);
    QCOMPARE(landscape.height, 2480);
    session.printerPage = PrinterPage{100, 200};
    QCOMPARE(CurrentPrinterPage(session, false).width, 100);
    QCOMPARE(CurrentPrinterPage(other, false).width, 2480);
    ForgetCurrentPrinterPage(session);
    QCOMPARE(CurrentPrinterPage(session, false).width, 2480);
  }

  // No printer installed (Qt's file printer without a file) and a printer that cannot start: each
  // is reported and leaves the view as it was.
  void printingThatCannotStartSaysSoAndLeavesTheViewAlone() {
    const QString path = dir_.filePath("noprinter.plt");
    WriteBoard(path);
    Open(path);
    const bool ru = form_->russian();
    const std::pair<QString, QString> cases[] = {
        {QString(), ru ? QString::fromUtf8("Принтер не установлен") : QStringLiteral("No printer is installed")},
        {dir_.filePath("no/such/folder/x.pdf"),
         ru ? QString::fromUtf8("Не удалось начать печать") : QStringLiteral("Printing could not be started")},
    };
    for (const auto& [file, message] : cases) {
      seams_->errors.clear();
      QVERIFY(form_->view().FitPending);
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(file);
      QVERIFY(!PrintPlot(*form_, printer));
      QCOMPARE(seams_->errors, QStringList{message});
      QVERIFY(form_->view().FitPending);
    }
  }

  // A plot rewritten on disk under the same name (other layers and extents, or only touched, or
  // in the other format) is scanned again before the next paint: its layer names, layer table
  // and extents as a new open gives them, the view (zoom, shifts, mirroring, orientation) and
  // the recent list as they were, and no message.
  void aPlotRewrittenOnDiskIsScannedAgainBeforeItIsDrawn() {
    const QString path = dir_.filePath("replot.plt");
    WriteBoard(path);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(1);
    // The user's view: another zoom, a pan, mirror X, the other orientation, layer 2 off.
    const QString zoomText = QString::number(form_->view().Zoom * 0.8, 'f', 4).replace('.', ',');
    form_->Edit1->setText(zoomText);
    form_->view().IgnoreNextClick = false;
    form_->PanTo(form_->drawingArea()->rect().center() + QPoint(20, 10));
    form_->X2->trigger();
    form_->ToolButton3->click();
    form_->form2()->table().Grid.At(ColStatus, 2) = "   Выкл.";
    form_->form2()->ApplyLayerTable();
    RepaintTimes(1);
    const ViewState before = form_->view();
    QCOMPARE(form_->Edit1->text(), zoomText);
    QVERIFY(before.ShiftX != 0 || before.ShiftY != 0);

    // Plotted again: one bar on layer 3 (yellow) in a smaller box.
    WriteReplot(path, 200, 200, 600, 500);
    Touch(path, 5);
    RepaintTimes(2);
    QVERIFY2(seams_->errors.isEmpty(), qPrintable(seams_->errors.join('|')));
    const LayerGrid& grid = form_->form2()->table().Grid;
    QCOMPARE(grid.At(ColNames, 3), std::string("NEW,"));
    QCOMPARE(grid.At(ColStatus, 3), std::string("   Вкл."));
    QCOMPARE(grid.At(ColNames, 1), std::string());
    QCOMPARE(grid.At(ColStatus, 1), std::string("   Выкл."));
    LayerTable fresh;
    QCOMPARE(form_->scan().DrawBounds, ScanPlotFile(path.toStdString(), PltFormat::Plt45, fresh, true).DrawBounds);
    QVERIFY(form_->scan().DrawBounds != (PlotBounds{0, 2000, 0, 1000}));
    QVERIFY(CountColour(Shot(), qRgb(255, 255, 0)) > 10);
    QCOMPARE(CountColour(Shot(), kLayer1), 0);
    const ViewState& after = form_->view();
    QCOMPARE(after.Zoom, before.Zoom);
    QCOMPARE(form_->Edit1->text(), zoomText);
    QCOMPARE(after.ShiftX, before.ShiftX);
    QCOMPARE(after.ShiftY, before.ShiftY);
    QCOMPARE(after.SignY, +1);
    QVERIFY(form_->X2->isChecked() && !form_->view().FitPending);
    QCOMPARE(form_->pageOrientation(), PageOrientation::Portrait);
    QCOMPARE(form_->PositionGroup->checkedAction(), nullptr);
    QCOMPARE(RecentPaths(), QStringList{path});

    // Only touched: scanned again, drawn the same, nothing said.
    Touch(path, 10);
    RepaintTimes(2);
    QVERIFY(seams_->errors.isEmpty());
    QVERIFY(CountColour(Shot(), qRgb(255, 255, 0)) > 10);

    // Plotted in the other format: read as that format (at the zoom kept, its finer units draw
    // it small).
    WriteBoard(path, PltFormat::Plt85);
    Touch(path, 15);
    RepaintTimes(2);
    QVERIFY(seams_->errors.isEmpty());
    QVERIFY(form_->view().Plot85Loaded && !form_->view().Plot45Loaded);
    QCOMPARE(form_->statusPanel(3)->text(), QStringLiteral("PLT 8"));
    QCOMPARE(grid.At(ColNames, 1), std::string("TOP,"));
    form_->ToolButton11Click();  // fitted: drawn whole again
    RepaintTimes(1);
    QVERIFY(CountColour(Shot(), kLayer1) > 100);
    QCOMPARE(RecentPaths(), QStringList{path});
  }

  // A plot rewritten into a file that no longer opens or scans shows the page alone, and the
  // reason once in each state it is found in; written whole again it is drawn again without
  // being opened again. A print or an export of it writes nothing and says why.
  void aRewrittenPlotThatNoLongerScansShowsThePageAloneWithTheReason() {
    const QString path = dir_.filePath("broken.plt");
    WriteBoard(path);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(2);
    const QByteArray whole = ReadAll(path);
    const struct {
      QByteArray bytes;  // empty: the file removed
      const char* reason;
    } cases[] = {
        {whole.left(2), "Read beyond end of file"},  // too short for a signature
        {whole.left(6), "Read beyond end of file"},  // too short for the header
        {QByteArray("GIF89a and more"), "Формат не поддерживается"},
        {QByteArray(), "File not found"},
    };
    int seconds = 0;
    for (const auto& c : cases) {
      seams_->errors.clear();
      if (c.bytes.isEmpty()) {
        QVERIFY(QFile::remove(path));
      } else {
        WriteBytes(path, c.bytes);
        Touch(path, seconds += 5);
      }
      RepaintTimes(3);
      QCOMPARE(seams_->errors, QStringList{QString::fromUtf8(c.reason)});
      QCOMPARE(CountColour(Shot(), kLayer1), 0);
      QVERIFY(CountColour(Shot(), qRgb(255, 255, 255)) > 100);  // the page preview stays
      seams_->errors.clear();
      QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
      QCOMPARE(seams_->errors, QStringList{QString::fromUtf8(c.reason)});
      QVERIFY(!QFile::exists(dir_.filePath("broken.bmp")));
      seams_->errors.clear();
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(dir_.filePath("broken.pdf"));
      QVERIFY(!PrintPlot(*form_, printer));
      QCOMPARE(seams_->errors, QStringList{QString::fromUtf8(c.reason)});
      QVERIFY(!QFile::exists(dir_.filePath("broken.pdf")));
    }
    QCOMPARE(RecentPaths(), QStringList{path});
    // The reason follows the interface language.
    form_->English1->trigger();
    seams_->errors.clear();
    WriteBytes(path, "GIF89a and more");
    RepaintTimes(2);
    QCOMPARE(seams_->errors, QStringList{"Unknown format"});
    // Written whole again: drawn, nothing said.
    seams_->errors.clear();
    WriteBoard(path);
    Touch(path, seconds += 5);
    RepaintTimes(2);
    QVERIFY(seams_->errors.isEmpty());
    QVERIFY(CountColour(Shot(), kLayer1) > 100);
  }

  // Printing and exporting scan a rewritten plot again first: they draw what the file holds now.
  void printAndExportDrawTheRewrittenPlot() {
    const QString path = dir_.filePath("again.plt");
    WriteBoard(path);
    Open(path);
    WriteReplot(path, 100, 100, 1900, 900);
    Touch(path, 5);
    QVERIFY(SaveBitmap(*form_, QSize(1000, 900)));
    QVERIFY(seams_->errors.isEmpty());
    const QImage bmp(dir_.filePath("again.bmp"), "BMP");
    QVERIFY(CountColour(bmp, qRgb(255, 255, 0)) > 100);
    QCOMPARE(CountColour(bmp, kLayer1), 0);
    Touch(path, 10);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("again.pdf"));
    QVERIFY(PrintPlot(*form_, printer));
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(form_->form2()->table().Grid.At(ColNames, 3), std::string("NEW,"));
  }

  // A record whose fixed part is whole but whose further data the file cuts is drawn as far as it
  // is whole; the short tail is reported once, by the open, not again by the paints. The bitmap
  // export of such a plot writes what was drawn, says so once and counts as written.
  void aCutRecordIsDrawnAsFarAsItIsWholeAndReportedOnce() {
    const QString path = dir_.filePath("tail.plt");
    test::PltWriter w(PltFormat::Plt45);
    w.Header({1, 0, 0, 2000, 1000, -1, 1});
    w.LayerName("TOP", 1);
    w.Layer(1);
    w.Bar(100, 100, 900, 900);
    w.Line(0, 0, 0, 0, 2000, 1000);
    w.Word(0x0005);  // one stray word where a further vertex would be
    w.Save(path.toStdString());
    Open(path);
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});
    QCOMPARE(form_->scan().Index.RecordCount(KindLine, 1), size_t{1});
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(3);
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});
    QVERIFY(CountColour(Shot(), kLayer1) > 100);

    seams_->errors.clear();
    QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});
    const QImage bmp(dir_.filePath("tail.bmp"), "BMP");
    QVERIFY(CountColour(bmp, kLayer1) > 100);  // the bar, and the line's first segment over it
    FrameInput in = FrameInputOf(*form_, RenderTarget::Bitmap);
    in.screenWidth = 10, in.screenHeight = 10;
    const DevicePoint mid = ComputeFrame(in).place.Point(1000, 500);
    int inked = 0;  // the diagonal line crosses the middle of the header box
    for (int dx = -2; dx <= 2; ++dx)
      for (int dy = -2; dy <= 2; ++dy) inked += bmp.pixel(mid.x + dx, mid.y + dy) == kLayer1;
    QVERIFY(inked > 0);
  }

  // A file cut inside its last fixed part before the scan: the open reports it, the paints do not.
  void aFileCutBeforeItsScanIsReportedOnceByTheOpen() {
    const QString path = dir_.filePath("short.plt");
    WriteBoard(path);
    QFile f(path);
    QVERIFY(f.resize(f.size() - 6));  // cut before the scan: the open reports it
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(3);
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});
    QVERIFY(CountColour(Shot(), kLayer1) > 100);
  }

  // Printer setup through the seam: a 600 dpi landscape file printer becomes the session's
  // printer; the view takes its resolution, the landscape button goes down, the preview shows its
  // page, and printing prints one landscape page on it. A cancelled setup changes nothing.
  void printerSetupChoosesTheSessionPrinter() {
    const QString path = dir_.filePath("setup.plt");
    WriteBoard(path);
    Open(path);
    const int dpiBefore = form_->view().PrinterDpiX;
    const bool portraitBefore = form_->ToolButton3->isChecked();
    form_->N4Click();  // cancelled
    QCOMPARE(seams_->printerSetups, 1);
    QCOMPARE(form_->view().PrinterDpiX, dpiBefore);
    QCOMPARE(form_->ToolButton3->isChecked(), portraitBefore);

    const QString pdf = dir_.filePath("setup.pdf");
    seams_->printerFile = pdf;
    seams_->printerDpi = 600;
    seams_->printerOrientation = QPageLayout::Landscape;
    form_->N4Click();
    QCOMPARE(form_->view().PrinterDpiX, 600);
    QCOMPARE(form_->view().PrinterDpiY, 600);
    QVERIFY(form_->ToolButton4->isChecked() && !form_->ToolButton3->isChecked());
    QCOMPARE(form_->pageOrientation(), PageOrientation::Landscape);
    const PrinterPage page = CurrentPrinterPage(form_->session(), true);
    const PrinterPage expected = PageOf(form_->session().printer());
    QCOMPARE(page.width, std::max(expected.width, expected.height));
    QVERIFY(page.width > 4000);  // an A4 or letter width at 600 dpi
    const FrameInput before = FrameInputOf(*form_, RenderTarget::Screen);
    form_->N5Click();
    QVERIFY(seams_->errors.isEmpty());
    const FrameInput after = FrameInputOf(*form_, RenderTarget::Screen);
    QCOMPARE(after.pageWidth, before.pageWidth);  // printing leaves the preview's page alone
    QCOMPARE(after.printerDpiX, before.printerDpiX);
    const QByteArray bytes = ReadAll(pdf);
    QCOMPARE(bytes.left(5), QByteArray("%PDF-"));
    QCOMPARE(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
    const QRegularExpressionMatch box =
        QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)").match(QString::fromLatin1(bytes));
    QVERIFY(box.hasMatch());
    QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());  // landscape
  }

  // The real printer setup is the system's print dialog on the session printer, its accepting
  // button saying "OK"; accepting it keeps the chosen printer.
  void thePrinterSetupDialogAcceptsWithOk() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_.filePath("dialog.pdf"));
    QString acceptText;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
          if (box->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isVisible()) {
            acceptText = button->text();
            button->click();
            return;
          }
      dialog->close();
    });
    DefaultUiSeams real;
    const bool accepted = real.PrinterSetup(nullptr, printer);
    QCOMPARE(acceptText, QStringLiteral("OK"));
    QVERIFY(accepted);
  }

  // Printing through a real queue, only when QUARTO_TEST_CUPS_QUEUE names one (for example a
  // printer-driver-cups-pdf queue): never on its own to a real printer.
  void printsThroughANamedCupsQueue() {
    const QString queue = qEnvironmentVariable("QUARTO_TEST_CUPS_QUEUE");
    if (queue.isEmpty()) QSKIP("QUARTO_TEST_CUPS_QUEUE names no print queue");
    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    QVERIFY2(!info.isNull(), qPrintable(queue));
    const QString path = dir_.filePath("cups.plt");
    WriteBoard(path);
    Open(path);
    QPrinter printer(info, QPrinter::HighResolution);
    QVERIFY(PrintPlot(*form_, printer));
    QVERIFY(seams_->errors.isEmpty());
  }

  // The zoom buttons step the zoom box; the box's handler takes its four decimals. The fit writes
  // the box without running the handler, so the fitted zoom stays exact.
  void zoomButtonsStepTheZoomBox() {
    const QString path = dir_.filePath("zoom.plt");
    WriteBoard(path);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(1);
    const double fitted = form_->view().Zoom;
    QVERIFY(!form_->view().FitPending);
    QCOMPARE(form_->Edit1->text(), QString::number(fitted, 'f', 4).replace('.', ','));
    form_->ToolButton13->click();
    QCOMPARE(form_->view().Zoom, std::round((fitted + 0.5) * 10000) / 10000);
    form_->ToolButton14->click();
    form_->ToolButton14->click();
    QCOMPARE(form_->Edit1->text(), QString::number(std::max(0.0, fitted + 0.5 - 1.0), 'f', 4).replace('.', ','));
    form_->Edit1->setText("99,8");
    QCOMPARE(form_->view().Zoom, 99.8);
    form_->ToolButton13->click();
    QCOMPARE(form_->view().Zoom, 100.0);
    QCOMPARE(form_->Edit1->text(), QStringLiteral("100,0000"));
    form_->Edit1->setText("abc");  // no number: the zoom in force comes back
    QCOMPARE(form_->Edit1->text(), QStringLiteral("100,0000"));
    QCOMPARE(form_->view().Zoom, 100.0);
  }

 private:
  void Open(const QString& path) {
    if (!form_) form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
    seams_->openAnswers = {path};
    form_->N2Click();
    QVERIFY(form_->view().PlotLoaded());
  }
  void RepaintTimes(int n) {
    for (int i = 0; i < n; ++i) {
      form_->drawingArea()->repaint();
      QApplication::processEvents();
    }
  }
  QImage Shot() const { return form_->drawingArea()->grab().toImage(); }
  QStringList RecentPaths() const {
    QStringList paths;
    for (int n = 1; n <= kRecentFileCount; ++n)
      if (form_->fileMenu()->actions().contains(form_->recentItem(n)))
        paths << QString::fromUtf8(form_->recentItem(n)->data().toByteArray());
    return paths;
  }
  static void Touch(const QString& path, int seconds) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
  }
  static void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  static void Protect(const QString& path, mode_t mode) {
    WriteBytes(path, "old");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
  }
  static mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  static QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  std::unique_ptr<test::FakeSeams> seams_;
  std::unique_ptr<Form1> form_;
};

QTEST_MAIN(RenderTargetsTest)
#include "render_targets_test.moc"
