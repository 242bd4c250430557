#pragma once
// QPainterCanvas: the plot viewer's canvas on a QPainter, with the device-context semantics the
// renderers expect: no antialiasing; Rectangle and Ellipse exclude the right and bottom edge; Arc
// runs counter-clockwise from the ray through the start point to the ray through the end point;
// pen width 0 is the thinnest pen; a dotted or dashed pen wider than one device unit draws solid,
// thin ones use fixed 3/3 and 18/6 patterns; hatch gaps stay transparent and the hatch pattern
// stays aligned to the device even when the painter is translated. Texts are drawn in a system
// font fitted to the cell height, without antialiasing, their codes decoded by the character set.
#include <QPainter>
#include <optional>

#include "app/system_fonts.h"
#include "core/canvas.h"

namespace quarto {

class QPainterCanvas : public Canvas {
 public:
  // The painter must be active on its device. Any translation set before this call is kept
  // (the screen target draws in window coordinates on a widget that starts lower).
  explicit QPainterCanvas(QPainter& painter);

  void Polyline(std::span<const DevicePoint> points) override;
  void Polygon(std::span<const DevicePoint> points) override;
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xs, int32_t ys, int32_t xe,
           int32_t ye) override;
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  TextSize TextExtent(std::string_view text) override;
  void TextOut(int32_t x, int32_t y, std::string_view text) override;

  static QColor ToQColor(Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

 protected:
  void DrawLine(DevicePoint from, DevicePoint to) override;
  void OnSetFont(const Font& f) override;

 private:
  // Hands the canvas pen and brush to the painter when they changed since the last call.
  void UsePen();
  void UseBrush();
  void UseNoBrush();
  QPolygon ToPolygon(std::span<const DevicePoint> points) const;
  // The Qt rectangle of a Rectangle or Ellipse call with pen and brush readied; none when empty.
  std::optional<QRect> OutlinedBox(int32_t left, int32_t top, int32_t right, int32_t bottom);

  QPainter& painter_;
  Pen appliedPen_;
  Brush appliedBrush_;
  bool penApplied_ = false;
  bool brushApplied_ = false;         // false also while the painter holds no brush
  std::optional<FittedFont> fitted_;  // the Qt font of the canvas font, made at SetFont
};

}  // namespace quarto
