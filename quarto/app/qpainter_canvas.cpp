#include "app/qpainter_canvas.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/code_page.h"
#include "core/render_frame.h"

namespace quarto {

namespace {

Qt::BrushStyle ToQtBrushStyle(BrushStyle s) {
  switch (s) {
    case BrushStyle::Solid: return Qt::SolidPattern;
    case BrushStyle::BDiagonal: return Qt::BDiagPattern;
    case BrushStyle::FDiagonal: return Qt::FDiagPattern;
    case BrushStyle::Cross: return Qt::CrossPattern;
    case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
    case BrushStyle::Horizontal: return Qt::HorPattern;
    case BrushStyle::Vertical: return Qt::VerPattern;
  }
  return Qt::SolidPattern;
}

// Corners in any order become left <= right, top <= bottom, each inside the device range so that
// widths and heights cannot overflow.
void Normalise(int32_t& l, int32_t& t, int32_t& r, int32_t& b) {
  for (int32_t* v : {&l, &t, &r, &b}) *v = std::clamp(*v, -kDeviceLimit, kDeviceLimit);
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
}

// The shape of Rectangle and Ellipse: Qt's outline covers one pixel more to the right and
// below than the device-context call it stands for.
QRect ExclusiveRect(int32_t l, int32_t t, int32_t r, int32_t b) { return QRect(l, t, r - l - 1, b - t - 1); }

CodePage PageOf(CharSet set) { return set == CharSet::Oem ? CodePage::Cp866 : CodePage::Cp1251; }

QString Decode(CharSet set, std::string_view text) {
  const std::u16string u = DecodeToUtf16(PageOf(set), text);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

}  // namespace

QPainterCanvas::QPainterCanvas(QPainter& painter) : painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  // Hatches are aligned to the device, not to the translated origin.
  const QTransform& t = painter_.transform();
  painter_.setBrushOrigin(QPointF(-t.dx(), -t.dy()));
}

void QPainterCanvas::UsePen() {
  if (penApplied_ && appliedPen_ == pen) return;
  QPen p(ToQColor(pen.color));
  if (pen.width <= 1) {
    // The thinnest pen: one device pixel, last pixel of a line left out, fixed dash patterns.
    p.setWidth(1);
    p.setCosmetic(true);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    if (pen.style == PenStyle::Dot) p.setDashPattern({3, 3});
    if (pen.style == PenStyle::Dash) p.setDashPattern({18, 6});
  } else {
    // A wide pen is round at the ends and joints and always solid.
    p.setWidth(std::min(pen.width, kMaxPenWidth));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
  }
  painter_.setPen(p);
  appliedPen_ = pen;
  penApplied_ = true;
}

void QPainterCanvas::UseBrush() {
  if (brushApplied_ && appliedBrush_ == brush) return;
  painter_.setBrush(QBrush(ToQColor(brush.color), ToQtBrushStyle(brush.style)));
  appliedBrush_ = brush;
  brushApplied_ = true;
}

void QPainterCanvas::UseNoBrush() {
  if (!brushApplied_) return;
  painter_.setBrush(Qt::NoBrush);
  brushApplied_ = false;
}

QPolygon QPainterCanvas::ToPolygon(std::span<const DevicePoint> points) const {
  QPolygon poly(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  return poly;
}

void QPainterCanvas::DrawLine(DevicePoint from, DevicePoint to) {
  UsePen();
  painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QPainterCanvas::Polyline(std::span<const DevicePoint> points) {
  if (points.size() < 2) return;
  UsePen();
  painter_.drawPolyline(ToPolygon(points));
}

void QPainterCanvas::Polygon(std::span<const DevicePoint> points) {
  if (points.size() < 2) return;
  UsePen();
  UseBrush();
  painter_.drawPolygon(ToPolygon(points), Qt::OddEvenFill);
}

std::optional<QRect> QPainterCanvas::OutlinedBox(int32_t l, int32_t t, int32_t r, int32_t b) {
  Normalise(l, t, r, b);
  if (r == l || b == t) return std::nullopt;
  UsePen();
  UseBrush();
  return ExclusiveRect(l, t, r, b);
}

void QPainterCanvas::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (const auto box = OutlinedBox(l, t, r, b)) painter_.drawRect(*box);
}

void QPainterCanvas::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (const auto box = OutlinedBox(l, t, r, b)) painter_.drawEllipse(*box);
}

void QPainterCanvas::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  Normalise(l, t, r, b);
  if (r == l || b == t) return;
  const double cx = (double(l) + r) / 2, cy = (double(t) + b) / 2;
  const double ax = (double(r) - l) / 2, by = (double(b) - t) / 2;
  // Qt's angles are parametric on the ellipse, counter-clockwise on the device (y down).
  auto angle = [&](int32_t x, int32_t y) {
    return std::atan2(-(y - cy) / by, (x - cx) / ax) * 180.0 / std::numbers::pi;
  };
  const double start = angle(xs, ys);
  double span = angle(xe, ye) - start;
  if (span <= 0) span += 360.0;
  UsePen();
  painter_.drawArc(ExclusiveRect(l, t, r, b), static_cast<int>(std::lround(start * 16)),
                   static_cast<int>(std::lround(span * 16)));
}

void QPainterCanvas::FillRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  Normalise(l, t, r, b);
  if (r == l || b == t) return;
  UseBrush();
  painter_.fillRect(QRect(QPoint(l, t), QPoint(r - 1, b - 1)), painter_.brush());
}

}  // namespace quarto

namespace quarto {

void QPainterCanvas::OnSetFont(const Font& f) { fitted_ = FitSystemFont(QString::fromStdString(f.face), f.height); }

TextSize QPainterCanvas::TextExtent(std::string_view text) {
  if (!fitted_) return {};
  const QFontMetrics& m = fitted_->metrics;
  const double s = fitted_->scale;
  return {std::llround(double(fitted_->Width(PageOf(font().charSet), text)) * s), std::llround(m.height() * s)};
}

void QPainterCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (!fitted_ || text.empty()) return;
  const QString s = Decode(font().charSet, text);
  const QFontMetrics& m = fitted_->metrics;
  QTransform place;
  place.translate(x, y);
  place.rotate(-font().escapement / 10.0);
  place.scale(fitted_->scale, fitted_->scale);
  // A text whose cell lies wholly outside the device is not handed to Qt at all. The bound is
  // generous, so no ink is lost: twice the widest character (or the cell height) a character,
  // and a cell height of room on every side for glyphs that reach out of their cell.
  const double h = m.height();
  const double wide = 2.0 * std::max<double>(m.maxWidth(), h) * double(s.size());
  const QRectF cell = (place * painter_.transform()).mapRect(QRectF(-h, -h, wide + 2 * h, 3 * h));
  const QPaintDevice* device = painter_.device();
  if (device && !cell.intersects(QRectF(0, 0, device->width(), device->height()))) return;
  painter_.save();
  painter_.setFont(fitted_->font);
  painter_.setPen(ToQColor(fontColor));
  painter_.setTransform(place, true);
  painter_.drawText(QPointF(0, m.ascent()), s);
  painter_.restore();
}

}  // namespace quarto
