// The QPainter canvas keeps the device-context rules the renderers rely on: checked as pixel
// properties on small images, not as whole pictures.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <functional>

#include "app/qpainter_canvas.h"
#include "core/render_frame.h"

using namespace quarto;

namespace {

const QRgb kWhitePx = qRgb(255, 255, 255);
const QRgb kBlackPx = qRgb(0, 0, 0);

// A white image of the given size with one canvas drawing on it.
QImage Draw(int w, int h, const std::function<void(Canvas&)>& draw, QPoint translate = {}, QRgb ground = kWhitePx) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(ground);
  QPainter p(&img);
  p.translate(translate);
  QPainterCanvas c(p);
  draw(c);
  return img;
}

// Pixels of a colour inside a rectangle (inclusive bounds).
int Count(const QImage& img, QRect r, QRgb colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (img.pixel(x, y) == colour) ++n;
  return n;
}

// Black pixels of the four quadrants around (50, 50), leaving out a band along the axes.
struct Quadrants {
  int upperRight, upperLeft, lowerLeft, lowerRight;
};
Quadrants BlackByQuadrant(const QImage& img) {
  return {Count(img, QRect(QPoint(55, 0), QPoint(99, 45)), kBlackPx),
          Count(img, QRect(QPoint(0, 0), QPoint(45, 45)), kBlackPx),
          Count(img, QRect(QPoint(0, 55), QPoint(45, 99)), kBlackPx),
          Count(img, QRect(QPoint(55, 55), QPoint(99, 99)), kBlackPx)};
}

// Lengths of the runs of black pixels along row y from x0 to x1.
QList<int> BlackRuns(const QImage& img, int y, int x0, int x1) {
  QList<int> runs;
  int run = 0;
  for (int x = x0; x <= x1; ++x) {
    if (img.pixel(x, y) == kBlackPx) {
      ++run;
    } else if (run) {
      runs << run;
      run = 0;
    }
  }
  if (run) runs << run;
  return runs;
}

}  // namespace

class QPainterCanvasTest : public QObject {
  Q_OBJECT

 private slots:
  void rectangleExcludesRightAndBottomInAnyCornerOrder() {
    for (auto corners : {QRect(QPoint(10, 10), QPoint(20, 20)), QRect(QPoint(20, 20), QPoint(10, 10)),
                         QRect(QPoint(20, 10), QPoint(10, 20))}) {
      const QImage img = Draw(32, 32, [&](Canvas& c) {
        c.pen = {kBlack, 0, PenStyle::Solid};
        c.brush = {kRed, BrushStyle::Solid};
        c.Rectangle(corners.left(), corners.top(), corners.right(), corners.bottom());
      });
      QCOMPARE(img.pixel(10, 10), kBlackPx);
      QCOMPARE(img.pixel(19, 19), kBlackPx);
      QCOMPARE(img.pixel(15, 15), qRgb(255, 0, 0));
      QCOMPARE(Count(img, QRect(20, 0, 1, 32), kWhitePx), 32);  // column 20 untouched
      QCOMPARE(Count(img, QRect(0, 20, 32, 1), kWhitePx), 32);  // row 20 untouched
    }
  }

  void ellipseStaysInsideItsExclusiveBox() {
    const QImage img = Draw(40, 40, [](Canvas& c) {
      c.pen = {kBlack, 0, PenStyle::Solid};
      c.Ellipse(30, 30, 10, 10);
    });
    QCOMPARE(Count(img, QRect(30, 0, 10, 40), kWhitePx), 400);
    QCOMPARE(Count(img, QRect(0, 30, 40, 10), kWhitePx), 400);
    QVERIFY(Count(img, QRect(10, 0, 1, 40), kBlackPx) > 0);
    QVERIFY(Count(img, QRect(29, 0, 1, 40), kBlackPx) > 0);
    QVERIFY(Count(img, QRect(0, 29, 40, 1), kBlackPx) > 0);
  }

  void arcRunsCounterClockwiseFromStartToEnd() {
    auto arc = [](int xs, int ys, int xe, int ye) {
      return BlackByQuadrant(Draw(101, 101, [&](Canvas& c) {
        c.pen = {kBlack, 0, PenStyle::Solid};
        c.Arc(0, 0, 100, 100, xs, ys, xe, ye);
      }));
    };
    // From the ray to the right to the ray upwards: the upper right quarter only.
    Quadrants q = arc(100, 50, 50, 0);
    QVERIFY(q.upperRight > 0);
    QCOMPARE(q.upperLeft + q.lowerLeft + q.lowerRight, 0);
    // The other way round: three quarters, the upper right one left out.
    q = arc(50, 0, 100, 50);
    QCOMPARE(q.upperRight, 0);
    QVERIFY(q.upperLeft > 0 && q.lowerLeft > 0 && q.lowerRight > 0);
    // Points far out on the rays count as the rays (start at the lower left, end at the lower right).
    q = arc(-500, 600, 700, 800);
    QVERIFY(q.lowerLeft > 0 && q.lowerRight > 0);
    QCOMPARE(q.upperLeft + q.upperRight, 0);
    // Equal rays: the whole ellipse.
    q = arc(100, 50, 100, 50);
    QVERIFY(q.upperRight > 0 && q.upperLeft > 0 && q.lowerLeft > 0 && q.lowerRight > 0);
  }

  void thinPensUseFixedPatternsAndWidePensDrawSolid() {
    auto line = [](int width, PenStyle style) {
      return Draw(100, 9, [&](Canvas& c) {
        c.pen = {kBlack, width, style};
        c.MoveTo(0, 4);
        c.LineTo(96, 4);
      });
    };
    const QList<int> dots = BlackRuns(line(0, PenStyle::Dot), 4, 0, 99);
    QCOMPARE(dots.size(), 16);
    for (int r : dots) QCOMPARE(r, 3);
    const QList<int> dashes = BlackRuns(line(1, PenStyle::Dash), 4, 0, 99);
    QCOMPARE(dashes, (QList<int>{18, 18, 18, 18}));
    // Width 3 dotted: solid along the line, three rows thick.
    const QImage wide = line(3, PenStyle::Dot);
    QCOMPARE(Count(wide, QRect(5, 4, 80, 1), kBlackPx), 80);
    QCOMPARE(Count(wide, QRect(5, 3, 80, 3), kBlackPx), 240);
    // Width 0: one pixel thick, the end pixel left out.
    const QImage thin = line(0, PenStyle::Solid);
    QCOMPARE(Count(thin, QRect(0, 0, 100, 9), kBlackPx), 96);
    QCOMPARE(thin.pixel(96, 4), kWhitePx);
  }

  void hatchGapsStayTransparentAndAlignedToTheDevice() {
    const QRgb green = qRgb(0, 255, 0);
    auto hatch = [&](QPoint translate) {
      return Draw(
          40, 40,
          [&](Canvas& c) {
            c.pen = {kRed, 0, PenStyle::Solid};
            c.brush = {kBlack, BrushStyle::Cross};
            c.FillRect(8 - translate.x(), 8 - translate.y(), 32 - translate.x(), 32 - translate.y());
          },
          translate, green);
    };
    const QImage plain = hatch({});
    const QRect inside(8, 8, 24, 24);
    const int black = Count(plain, inside, kBlackPx), gaps = Count(plain, inside, green);
    QVERIFY(black > 0 && gaps > 0);
    QCOMPARE(black + gaps, 24 * 24);
    // Drawn through a translated painter, the same device pixels are hatched.
    QCOMPARE(hatch(QPoint(3, 5)), plain);
  }

  // A pen as wide as the canvas allows inks that width; a wider one (which the painting library
  // would refuse, drawing 1 pixel instead) is drawn at the limit.
  void widePensInkTheirWidthUpToTheLimit() {
    const int32_t cases[][2] = {
        {40, 40}, {kMaxPenWidth, kMaxPenWidth}, {kMaxPenWidth + 1, kMaxPenWidth}, {1 << 17, kMaxPenWidth}};
    QImage img(kMaxPenWidth + 200, 3, QImage::Format_RGB32);
    for (const auto& [width, inked] : cases) {
      img.fill(Qt::white);
      {
        QPainter painter(&img);
        QPainterCanvas c(painter);
        c.pen = {kBlack, width, PenStyle::Solid};
        // A vertical line far longer than the strip: its ink across the middle row is the width.
        const int32_t x = img.width() / 2;
        c.MoveTo(x, -100000);
        c.LineTo(x, 100000);
      }
      int n = 0;
      for (int x = 0; x < img.width(); ++x) n += img.pixel(x, 1) == qRgb(0, 0, 0);
      QVERIFY2(std::abs(n - inked) <= 1, qPrintable(QString("%1: %2").arg(width).arg(n)));
    }
  }

  void coordinatesAtTheDeviceLimitAreClipped() {
    const int32_t far = kDeviceLimit;
    const QImage img = Draw(20, 20, [&](Canvas& c) {
      c.pen = {kBlack, 3, PenStyle::Dash};
      c.brush = {kRed, BrushStyle::Solid};
      c.Rectangle(-far, -far, far, far);
      c.Ellipse(-far, -far, far, far);
      c.Arc(-far, -far, far, far, far, 0, 0, -far);
      const DevicePoint poly[] = {{-far, -far}, {far, -far}, {far, far}, {-far, far}};
      c.Polygon(poly);
      c.Polyline(poly);
      c.MoveTo(-far, 10);
      c.LineTo(far, 10);
    });
    QCOMPARE(img.pixel(5, 5), qRgb(255, 0, 0));  // inside everything: the fill
    QCOMPARE(img.pixel(5, 10), kBlackPx);        // the line across
  }
};

QTEST_MAIN(QPainterCanvasTest)
#include "render_qpainter_canvas_test.moc"
