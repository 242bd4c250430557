// A plot file that changes under the window: rewritten on disk, it is scanned again before every
// paint, print and export; one that no longer opens or scans shows the page alone with the reason;
// a file cut short is drawn as far as it is whole and reported once.
#include <QFile>
#include <QPrinter>
#include <QtTest>

#include "app/form2.h"
#include "app/render_targets.h"
#include "render_targets_fixture.h"

using namespace quarto;
using namespace quarto::test;

class ChangedPlotTest : public QObject, private RenderTargetsFixture {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

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
      const std::unique_ptr<QPrinter> printer = PdfFilePrinter(dir_.filePath("broken.pdf"));
      QVERIFY(!PrintPlot(*form_, *printer));
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
    const std::unique_ptr<QPrinter> printer = PdfFilePrinter(dir_.filePath("again.pdf"));
    QVERIFY(PrintPlot(*form_, *printer));
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(form_->form2()->table().Grid.At(ColNames, 3), std::string("NEW,"));
  }

  // A record whose fixed part is whole but whose further data the file cuts is drawn as far as it
  // is whole; the short tail is reported once, by the open, not again by the paints. The bitmap
  // export of such a plot writes what was drawn, says so once and counts as written.
  void aCutRecordIsDrawnAsFarAsItIsWholeAndReportedOnce() {
    const QString path = dir_.filePath("tail.plt");
    PltWriter w(PltFormat::Plt45);
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
};

QTEST_MAIN(ChangedPlotTest)
#include "render_changed_plot_test.moc"
