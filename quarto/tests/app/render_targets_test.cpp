// The three targets end to end: a plot opened through the open command is painted into the
// window, saved as a BMP file beside the plot and printed as one PDF page; file problems are
// reported, never taken as success.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/render_targets.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "testsupport/plt_writer.h"

using namespace quarto;

namespace {

const QRgb kLayer1 = qRgb(0, 128, 0);  // built-in colours of layers 1 and 2
const QRgb kLayer2 = qRgb(255, 0, 0);

// A board of 2000 x 1000 units (or a wider header box) with a large bar on layer 1 and another
// on layer 2.
void WriteBoard(const QString& path, PltFormat format = PltFormat::Plt45, int32_t headerWidth = 2000) {
  test::PltWriter w(format);
  w.Header({1, 0, 0, headerWidth, 1000, -1, 1});
  w.LayerName("TOP", 1);
  w.LayerName("BOTTOM", 2);
  w.Layer(1);
  w.Bar(100, 100, 900, 900);
  w.Layer(2);
  w.Bar(1100, 100, 1900, 900);
  w.Line(0, 0, 0, 0, 2000, 1000);
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
      QCOMPARE(form_->Edit1->text(), QString::fromStdString(FormatZoom(form_->view().Zoom)));
      QVERIFY(form_->view().Zoom > 0);
      QVERIFY(seams_->errors.isEmpty());
    }
  }

  // The page preview appears where the frame computed it: the paint and the frame input agree on
  // the client coordinates (which start below the menu bar).
  void pagePreviewLiesWhereTheFramePutsIt() {
    const QString path = dir_.filePath("page.plt");
    WriteBoard(path);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const QImage shot = form_->drawingArea()->grab().toImage();
    const FrameLayout f = ComputeFrame(FrameInputOf(*form_, RenderTarget::Screen));
    const QPoint o = DrawingAreaOrigin(*form_);
    QVERIFY(o.y() < form_->drawingArea()->mapTo(form_.get(), QPoint(0, 0)).y());
    const int midY = (f.PageTop + f.PageBottom) / 2;
    const QPoint black[] = {{f.PageLeft, midY},
                            {f.PageRight, midY},
                            {f.PageRight + 1, midY},
                            {(f.PageLeft + f.PageRight) / 2, f.PageBottom + 1}};
    for (const QPoint p : black) QCOMPARE(QColor(shot.pixel(p - o)), QColor(Qt::black));  // edges and shadow
    QCOMPARE(QColor(shot.pixel(QPoint(f.PageLeft - 1, midY) - o)), QColor(shot.pixel(0, midY - o.y())));
  }

  void bitmapTargetWritesTheDrawingBesideThePlot() {
    const QString path = dir_.filePath("board.plt");
    WriteBoard(path);
    Open(path);
    form_->view().FitPending = false;
    form_->view().Zoom = 1.0;
    const QSize screen(1000, 900);  // at least the window: the drawing lies inside the bitmap
    FrameInput in = FrameInputOf(*form_, RenderTarget::Bitmap);
    in.screenWidth = screen.width(), in.screenHeight = screen.height();
    const FrameLayout layout = ComputeFrame(in);

    QVERIFY(SaveBitmap(*form_, screen));
    QVERIFY(seams_->errors.isEmpty());
    const QImage bmp(dir_.filePath("board.bmp"), "BMP");
    QVERIFY(!bmp.isNull());
    QCOMPARE(bmp.size(), QSize(int(std::lround(2000 * layout.place.ScaleX)) + 1000,
                               int(std::lround(1000 * layout.place.ScaleY)) + 900));
    QVERIFY(bmp.depth() <= 8);
    QCOMPARE(bmp.pixel(0, 0), qRgb(255, 255, 255));
    const DevicePoint bar1 = layout.place.Point(500, 500), bar2 = layout.place.Point(1500, 500);
    QCOMPARE(bmp.pixel(bar1.x, bar1.y), kLayer1);
    QCOMPARE(bmp.pixel(bar2.x, bar2.y), kLayer2);
    QVERIFY(CountColour(bmp, qRgb(0, 0, 255)) == 0);  // no red margin lines or page frame
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

  void withoutAPrinterThePreviewShowsAnA4PageAt300Dpi() {
    if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed");
    ForgetCurrentPrinterPage();
    const PrinterPage portrait = CurrentPrinterPage(false), landscape = CurrentPrinterPage(true);
    QCOMPARE(portrait.width, 2480);  // 210 x 297 mm at 300 dots per inch
    QCOMPARE(portrait.height, 3508);
    QCOMPARE(landscape.width, 3508);
    QCOMPARE(landscape.height, 2480);
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

  void aBrokenFileIsReportedOnceAfterThePaint() {
    const QString path = dir_.filePath("short.plt");
    WriteBoard(path);
    Open(path);
    // Shortened after the scan: the last records are gone.
    QFile f(path);
    QVERIFY(f.resize(f.size() - 6));
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    RepaintTimes(3);
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});
    // What could be read is drawn.
    QVERIFY(CountColour(form_->drawingArea()->grab().toImage(), kLayer1) > 100);
    // A fit of the same file draws again without a second report.
    form_->view().FitPending = true;
    RepaintTimes(2);
    QCOMPARE(seams_->errors.size(), 1);

    // A file cut short before the scan: the open reports it, the paints do not again.
    seams_->errors.clear();
    Open(path);
    RepaintTimes(3);
    QCOMPARE(seams_->errors, QStringList{kTextReadBeyondEnd});

    // Another file, gone after its open: reported once too, and the paint still completes.
    const QString gone = dir_.filePath("gone.plt");
    WriteBoard(gone);
    Open(gone);
    QVERIFY(QFile::remove(gone));
    seams_->errors.clear();
    RepaintTimes(3);
    QCOMPARE(seams_->errors, QStringList{kTextFileNotFound});
  }

 private:
  void Open(const QString& path) {
    if (!form_) form_ = StartUp({});
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
