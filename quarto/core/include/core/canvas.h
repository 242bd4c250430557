#pragma once
// Canvas: the drawing surface every renderer of the plot viewer draws on, with the semantics of the
// classic Windows device context: a pen (colour, width, style) for outlines, a brush (colour, solid
// or hatched) for fills, a current point for MoveTo/LineTo, and integer device coordinates.
// Rectangles and ellipses exclude their right and bottom edge, lines exclude their last pixel, and
// Arc runs counter-clockwise on the device from the ray through its start point to the ray through
// its end point. Text is written in a font (face, cell height, escapement, character set) as 8-bit
// character codes of that character set. The screen, the printer and the bitmap each supply one
// implementation; the tests use a recording one.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace quarto {

// 0x00BBGGRR: red in the low byte, then green, then blue.
using Color = uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kRed = 0x0000FF;

enum class PenStyle : uint8_t { Solid, Dot, Dash };
// The order is that of the polygon fill-style list of the tool bar.
enum class BrushStyle : uint8_t { Solid, BDiagonal, FDiagonal, Cross, DiagCross, Horizontal, Vertical };

// The widest pen a canvas draws, in device units: the largest width the painting library takes
// (a wider one it refuses). The renderers draw a wider pen at this width.
inline constexpr int32_t kMaxPenWidth = 32767;

struct Pen {
  Color color = kBlack;
  // Device units, 0 to kMaxPenWidth; 0 is the thinnest pen the device has.
  int32_t width = 1;
  PenStyle style = PenStyle::Solid;
  bool operator==(const Pen&) const = default;
};

struct Brush {
  Color color = kWhite;
  BrushStyle style = BrushStyle::Solid;
  bool operator==(const Brush&) const = default;
};

// The character set of a font: it decides what the 8-bit codes of a text mean. Ansi is the
// Windows Cyrillic page (1251), Oem the DOS Cyrillic page (866); Default, the font's own set, is
// the Windows Cyrillic page too, as the texts of the plots are written in it.
enum class CharSet : uint8_t { Ansi = 0, Default = 1, Oem = 255 };

struct Font {
  std::string face;
  // The height of the character cell in device units (ascent plus descent); at least 1.
  int64_t height = 0;
  // Counter-clockwise on the device, in tenths of a degree.
  int32_t escapement = 0;
  CharSet charSet = CharSet::Default;
  bool operator==(const Font&) const = default;
};

// Width and height of a text in device units, unrotated.
struct TextSize {
  int64_t width = 0;
  int64_t height = 0;
  bool operator==(const TextSize&) const = default;
};

struct DevicePoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const DevicePoint&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Drawing state, read by every call below (a fresh canvas: black pen of width 1, white brush).
  Pen pen;
  Brush brush;
  Color fontColor = kBlack;

  void MoveTo(int32_t x, int32_t y) {
    current_ = {x, y};
    OnMoveTo(current_);
  }
  // Line from the current point to (x, y), without that last pixel; (x, y) becomes current.
  void LineTo(int32_t x, int32_t y) {
    const DevicePoint to{x, y};
    DrawLine(current_, to);
    current_ = to;
  }
  DevicePoint CurrentPoint() const { return current_; }

  // The font of the text calls below; it stays until the next SetFont (a fresh canvas: no face,
  // cell height 0, no escapement, the default character set).
  void SetFont(Font f) {
    font_ = std::move(f);
    OnSetFont(font_);
  }
  const Font& font() const { return font_; }
  // Width and height of the text in the current font, unrotated. A canvas without text measures 0.
  virtual TextSize TextExtent(std::string_view text) {
    (void)text;
    return {};
  }
  // The text in the current font and fontColor, the background left as it is; (x, y) is the
  // top-left corner of the text's cell before the escapement turns it about that point.
  virtual void TextOut(int32_t x, int32_t y, std::string_view text) { (void)x, (void)y, (void)text; }

  // Open line through the points with the pen; fewer than two points draw nothing.
  virtual void Polyline(std::span<const DevicePoint> points) = 0;
  // Closed outline with the pen, filled with the brush by the alternate (even-odd) rule.
  virtual void Polygon(std::span<const DevicePoint> points) = 0;
  // Outline with the pen and fill with the brush; corners in any order, right and bottom excluded.
  virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // Ellipse inscribed in the rectangle, outlined with the pen and filled with the brush.
  virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // Outline arc of the ellipse in the rectangle, counter-clockwise from the ray through
  // (xs, ys) to the ray through (xe, ye); equal rays give the whole ellipse.
  virtual void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xs, int32_t ys, int32_t xe,
                   int32_t ye) = 0;
  // Fills the rectangle with the brush, no outline; right and bottom excluded.
  virtual void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

 protected:
  virtual void OnMoveTo(DevicePoint) {}
  virtual void OnSetFont(const Font&) {}
  virtual void DrawLine(DevicePoint from, DevicePoint to) = 0;

 private:
  DevicePoint current_{};
  Font font_;
};

}  // namespace quarto
