#pragma once
// The frame of one renderer call: the page preview on the main window, the scale from file units
// to device units, the fit of the drawing to the page, the placement by the position items and the
// offsets, for the three targets (the main window, the printer page, a bitmap file). Everything
// here is arithmetic on explicit inputs, so it is tested without a window or a printer.
#include <cmath>
#include <cstdint>
#include <string>

#include "core/canvas.h"
#include "core/numeric.h"
#include "core/plot_scan.h"
#include "core/plt_format.h"
#include "core/view_state.h"

namespace quarto {

enum class RenderTarget : uint8_t { Screen, Printer, Bitmap };
// Where the drawing is placed on the page, row by row: by a corner, an edge's middle or the centre
// of the page's printable area; None keeps the shifts as panning left them.
enum class PagePosition : uint8_t {
  None,
  TopLeft,
  TopCentre,
  TopRight,
  MiddleLeft,
  Centre,
  MiddleRight,
  BottomLeft,
  BottomCentre,
  BottomRight,
};

// The page the preview shows when the printer gives none: A4 at 300 dots per inch.
inline constexpr int32_t kFallbackPageWidth = 2480;
inline constexpr int32_t kFallbackPageHeight = 3508;
inline constexpr int32_t kFallbackDpi = 300;
// A bitmap export larger than this is refused instead of allocating gigabytes.
inline constexpr int32_t kMaxBitmapSide = 32000;
inline constexpr int64_t kMaxBitmapPixels = 50'000'000;
// Device coordinates are clamped to this magnitude (no overflow, infinity or NaN reaches a canvas;
// the difference of two coordinates still fits in 31 bits).
inline constexpr int32_t kDeviceLimit = 1 << 29;

// The window layout the page preview is laid out by. The frame measures the main window by its
// outer size W x H (frame, caption and menu bar included) but draws in client coordinates, which
// begin below the caption and the menu bar:
// the page fills the outer size less this on its tighter axis, 60 pixels on each side;
inline constexpr int32_t kPreviewBorder = 120;
// H div 2 less this is the window's centre height in client coordinates (cyw);
inline constexpr int32_t kClientCentreRise = 15;
// the page, and the drawing placed on it, lie this much higher than the window's centre;
inline constexpr int32_t kPageRise = 7;
// so the page's centre is (W div 2, H div 2 - kPageCentreRise).
inline constexpr int32_t kPageCentreRise = kClientCentreRise + kPageRise;

struct FrameInput {
  PltFormat format = PltFormat::Plt45;
  RenderTarget target = RenderTarget::Screen;
  // Outer size of the main window (W, H), and the drawing area in the coordinates the frame draws
  // in (CentreDrawingArea places it there).
  int32_t windowWidth = 0;
  int32_t windowHeight = 0;
  int32_t areaLeft = 0, areaTop = 0, areaWidth = 0, areaHeight = 0;
  // Current printer page in dots (PW, PH) and its resolution; values that are not positive are
  // replaced by the A4 page and 300 dots per inch.
  int32_t pageWidth = kFallbackPageWidth;
  int32_t pageHeight = kFallbackPageHeight;
  int32_t printerDpiX = kFallbackDpi;
  int32_t printerDpiY = kFallbackDpi;
  // Screen size, the padding of a bitmap export.
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  PageMarginsCm margins{};
  double zoom = 1.0;
  bool fitPending = false;
  int32_t signX = +1;
  int32_t signY = -1;
  int32_t shiftX = 0;
  int32_t shiftY = 0;
  bool viewWindowSet = false;
  ViewWindowBox viewWindow{};
  PlotBounds drawBounds{};
  // Header: corners in header order, whether the unit is mils, and (PLT 4.5) the unit multiplier.
  int32_t headerX1 = 0, headerY1 = 0, headerX2 = 0, headerY2 = 0;
  bool mils = false;
  uint32_t unitMultiplier = 1;
  // Checked states: N9 colour, N11 negative, N21 pseudo-inch; the position of the checked item.
  bool colour = true;
  bool negative = false;
  bool pseudoInch = true;
  PagePosition position = PagePosition::Centre;
  // Background of the main window (the system's button face).
  Color buttonFace = 0xF0F0F0;
  // Decimal separator of the zoom text (FrameLayout::ZoomText).
  char zoomSeparator = ',';
};

// Copies the header fields the frame needs (format, corners, unit, multiplier) into the input.
void SetFrameHeader(FrameInput& in, const Plot45Header& h);
void SetFrameHeader(FrameInput& in, const Plot85Header& h);

// Rounds half to even (RoundHalfEven) and clamps into the device range (NaN gives 0). Called for
// every point drawn.
inline int32_t ToDevice(double v) {
  if (!(v > -kDeviceLimit)) return std::isnan(v) ? 0 : -kDeviceLimit;
  if (!(v < kDeviceLimit)) return kDeviceLimit;
  return static_cast<int32_t>(RoundHalfEven(v));
}

// Scale and offsets of one drawing: the device point of the file point (x, y), where SignX * x
// and SignY * y are exact integer products and the rest is double arithmetic.
struct Placement {
  double ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
  int32_t SignX = 1, SignY = -1;
  DevicePoint Point(int64_t x, int64_t y) const {
    return {ToDevice(static_cast<double>(SignX * x) * ScaleX + OffsetX),
            ToDevice(static_cast<double>(SignY * y) * ScaleY + OffsetY)};
  }
};

struct FrameLayout {
  double PageScale = 0;
  int32_t PageLeft = 0, PageTop = 0, PageRight = 0, PageBottom = 0;
  // Margins in preview pixels as the margin lines show them.
  int32_t MarginLeft = 0, MarginRight = 0, MarginTop = 0, MarginBottom = 0;
  Placement place;
  // Zoom after the call; Fitted when a pending fit was done (Zoom and ZoomText are new, the
  // caller shows ZoomText in the zoom box and then clears FitPending).
  double Zoom = 1.0;
  bool Fitted = false;
  std::string ZoomText;
  // Shifts after the call (the position item may have set them).
  int32_t ShiftX = 0, ShiftY = 0;
  // Bitmap target: its size, or BitmapTooLarge when the size passes the limits.
  int32_t BitmapWidth = 0, BitmapHeight = 0;
  bool BitmapTooLarge = false;
};

// Steps 2 to 11 of the frame: page, margins, scale, fit or placement, offsets, bitmap size.
FrameLayout ComputeFrame(const FrameInput& in);

// Places the main window's drawing area, width x height pixels, in the frame's coordinates
// (areaLeft, areaTop, areaWidth, areaHeight) so that its centre is the page's centre
// (W div 2, H div 2 - kPageCentreRise). The frame's constants count from the top of a client area that
// also holds the tool bar; taken from the drawing area's own top they put the page lower
// by the bars' height and its bottom under the status bar. The screen target draws with the
// area's top-left at (areaLeft, areaTop).
void CentreDrawingArea(FrameInput& in, int32_t width, int32_t height);

// The zoom as the zoom box shows it: fixed notation with four decimals ("1,0000").
std::string FormatZoom(double zoom, char separator = ',');

// The page preview on the main window (screen target only): background, white page, shadow and
// the dotted red margin lines.
void DrawPagePreview(Canvas& window, const FrameInput& in, const FrameLayout& layout);

// Negative mode: the header box as a black ground, on every target.
void DrawNegativeGround(Canvas& target, const FrameInput& in, const FrameLayout& layout);

// The BMP file written beside the plot, in the plot's folder: the last three characters of the
// file name (without its folder) replaced by "bmp", a name shorter than that replaced whole. Empty
// when that would name the plot file itself (a name already ending in "bmp") or there is no name.
std::string BitmapFileName(const std::string& plotFileName);

}  // namespace quarto
