// The screen target end to end: a plot opened through the open command is painted into the
// window with its page preview where the frame puts it, and the zoom buttons step the zoom box.
#include <QtTest>

#include "app/render_targets.h"
#include "render_targets_fixture.h"

using namespace quarto;
using namespace quarto::test;

class ScreenTargetTest : public QObject, private RenderTargetsFixture {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

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
};

QTEST_MAIN(ScreenTargetTest)
#include "render_screen_target_test.moc"
