// Stroke text through the real QPainter canvas: the letter shapes land where the layout puts them,
// and a plot opened in the headless main window shows its texts in the layer colour, as strokes
// while the PCAD font item is checked.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qpainter_canvas.h"
#include "app/startup.h"
#include "core/stroke_text.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"
#include "testsupport/sample_board.h"

using namespace quarto;

namespace {

const QRgb kInk = qRgb(0, 0, 0);

// A white image with one text drawn in black with a pen 3 pixels wide; screen signs (y up in the
// file is up on the image), one file unit a pixel.
QImage DrawText(QSize size, const std::string& chars, TextPlacement at, QPoint offset) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  QPainterCanvas canvas(painter);
  canvas.pen = {kBlack, 3, PenStyle::Solid};
  Placement pl;
  pl.ScaleX = pl.ScaleY = 1;
  pl.SignX = 1, pl.SignY = -1;
  pl.OffsetX = offset.x(), pl.OffsetY = offset.y();
  DrawStrokeText(canvas, pl, DecodedText{chars, false}, at, GlyphIndex45);
  return img;
}

int Count(const QImage& img, QRect r, QRgb colour) {
  int n = 0;
  const QRect in = r.intersected(img.rect());
  for (int y = in.top(); y <= in.bottom(); ++y)
    for (int x = in.left(); x <= in.right(); ++x)
      if (img.pixel(x, y) == colour) ++n;
  return n;
}

QRgb ToQRgb(Color c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

class StrokeTextTest : public QObject {
  Q_OBJECT

 private slots:
  void aLargeAHasInkAlongItsCrossbarAndNoneInItsCounter() {
    // h = 200: font units are pixels; the cell's bottom-left corner at (0, 300) of the image.
    const QImage img = DrawText({200, 320}, "A", {0, 0, 0, 34, 200}, {0, 300});
    // The crossbar at y = 125 of the cell (image row 175) from x = 25 to 125.
    for (int x = 30; x <= 120; x += 10) QCOMPARE(img.pixel(x, 175), kInk);
    // The counter above the crossbar (below the corners cut at y = 175), and the room between the legs below it, stay
    // white.
    QCOMPARE(Count(img, QRect(QPoint(32, 130), QPoint(118, 171)), kInk), 0);
    QCOMPARE(Count(img, QRect(QPoint(35, 180), QPoint(115, 255)), kInk), 0);
    // The legs down to the baseline (row 250), the flat top at row 100.
    QCOMPARE(img.pixel(25, 240), kInk);
    QCOMPARE(img.pixel(125, 240), kInk);
    QCOMPARE(img.pixel(75, 100), kInk);
    QCOMPARE(Count(img, QRect(QPoint(0, 0), QPoint(199, 95)), kInk), 0);
  }

  void aQuarterTurnRunsTheTextUpWithTheTopsToTheLeft() {
    // "AA" turned by 90 degrees from the anchor at image (300, 400).
    const QImage img = DrawText({400, 420}, "AA", {0, 0, 1, 34, 200}, {300, 400});
    // Nothing right of the anchor or below it: the letters grow up and to the left.
    QCOMPARE(Count(img, QRect(QPoint(304, 0), QPoint(399, 419)), kInk), 0);
    QCOMPARE(Count(img, QRect(QPoint(0, 404), QPoint(399, 419)), kInk), 0);
    // The flat tops lie 200 to the left of the anchor, the feet 50: the first letter's top from
    // 50 to 100 above the anchor, the second's 150 further up.
    QCOMPARE(img.pixel(100, 400 - 75), kInk);
    QCOMPARE(img.pixel(100, 400 - 75 - 150), kInk);
    QCOMPARE(img.pixel(250, 400 - 25), kInk);  // a foot of the first letter
    // The crossbar of the first letter: a column at x = 300 - 125 from 25 to 125 above the anchor.
    for (int y = 400 - 120; y <= 400 - 30; y += 10) QCOMPARE(img.pixel(175, y), kInk);
    QCOMPARE(Count(img, QRect(QPoint(0, 0), QPoint(95, 419)), kInk), 0);
  }

  void aSamplePlotShowsItsTextsInTheLayerColour() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("sample.plt");
    test::PltWriter w(PltFormat::Plt45);
    test::WriteSampleBoard(w, 1);
    w.Save(path.toStdString());

    test::FakeSeams seams;
    std::unique_ptr<Form1> form = test::OpenInShownWindow(seams, path);
    QVERIFY(form);
    QVERIFY(form->PCAD1->isChecked());  // the stroke font by default

    const QRgb silk = ToQRgb(form->form2()->table().LayerColors[6 - 1]);  // the texts' layer
    auto silkPixels = [&] {
      const QImage shot = test::PaintedArea(*form);
      return Count(shot, shot.rect(), silk);
    };
    const int withTexts = silkPixels();
    form->PCAD1->setChecked(false);
    const int withoutTexts = silkPixels();
    // The silk layer's outlines are there either way; the small texts, in a system font without
    // the stroke pen, ink clearly less than the strokes.
    QVERIFY2(withoutTexts > 0, "the silk outlines are drawn");
    QVERIFY2(withTexts > withoutTexts + 100, qPrintable(QString("%1 vs %2").arg(withTexts).arg(withoutTexts)));
    QVERIFY(seams.errors.isEmpty());
  }
};

QTEST_MAIN(StrokeTextTest)
#include "render_stroke_text_test.moc"
