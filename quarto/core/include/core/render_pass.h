#pragma once
// The two drawing passes of a renderer call: DrawPolygons (the filled polygons of every switched-on
// layer, with their cut-outs) and then DrawPrimitives (per layer: lines, rectangle outlines, filled
// rectangles, circles, three-point arcs, and last the texts). Both walk the layers from the last
// LayerOrder entry to the first, seek to every record body through the record positions and read
// it again from the plot file. A body that cannot be read ends that record or polygon; the drawing
// goes on with the next record and the problem is reported to the caller.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/canvas.h"
#include "core/plot_reader.h"
#include "core/plt_format.h"
#include "core/render_frame.h"

namespace quarto {

// Where the bodies of the records of one kind on one layer start, in file order.
using RecordPositions = std::function<std::span<const uint64_t>(int kind, int layer)>;

inline constexpr int kLayerCount = 16;

// The layer table as the passes see it: LayerColors (index layer - 1), LayerOrder and its count.
struct LayerSetup {
  std::array<Color, kLayerCount> colors{};
  std::array<uint8_t, kLayerCount> order{};
  int orderCount = 0;
};

// Fill-style list of the tool bar: position of its text, or this for a text that is none of them.
inline constexpr int kFillStyleUnchanged = -1;

struct PassContext;

// Draws the texts of a layer; the primitive pass calls it for every text record, last in the
// layer, with pen, brush and font already in the layer colour and the file at the record's body.
// The stroke font and the system fonts plug in here.
class TextHook {
 public:
  virtual ~TextHook() = default;
  virtual void DrawText(PassContext& ctx, PltFormat format) = 0;
};

// The system font of the texts while the stroke font is off: the face as ComboBox1 shows it, the
// height correction of RxSpinEdit2 and the character set of ANSI1 and OEM1 (neither checked keeps
// the canvas font's set).
struct SystemFontInput {
  std::string face;
  int32_t heightCorrection = 0;
  bool ansi = true;
  bool oem = false;
};

// What the passes read besides the placement. DrawPlot takes colour, negative and toPrinter from
// the frame input; the passes alone take them from here.
struct PassInput {
  RecordPositions positions;
  LayerSetup layers;
  bool colour = true;     // N9
  bool negative = false;  // N11
  int fillStyle = 0;      // ComboBox2: 0 Solid .. 6 Vertical, or kFillStyleUnchanged
  bool toPrinter = false;
  int32_t printerMinPenWidth = 0;  // RxSpinEdit1, rounded
  TextHook* texts = nullptr;
  bool strokeFont = true;  // PCAD1: texts in the built-in stroke font, else in a system font
  SystemFontInput systemFont;
  // The size and time of the file as the scan saw it; when set, a file that no longer matches (or
  // is gone) is not drawn from: its record positions would point into other data.
  std::optional<FileStamp> scannedStamp;
};

struct PassContext {
  Canvas& canvas;
  PlotReader& file;
  const Placement& place;
  const PassInput& in;
  // Set when a body could not be read (the file shortened or replaced since the scan).
  bool readProblem = false;
  // The point list of one boundary or cut-out.
  std::vector<DevicePoint> points;
};

// Layer colour of layer L (1..16) on pen and brush, and on the font when withFont: its LayerColors
// entry, black when not in colour, white in negative mode.
void SetLayerColor(PassContext& ctx, int layer, bool withFont);
// Pen width of a record of width w file units: round(w * ScaleX), raised to the printer minimum,
// at most kMaxPenWidth.
void SetPenWidth(PassContext& ctx, double width);
// Pen style of a record's style code: 0 solid, 1 dot, 2 dash; other codes keep the current style.
void SetPenStyle(Canvas& canvas, uint32_t code);
// Device point on a PLT 4.5 circle at the angle in degrees (offsets from the centre not mirrored).
DevicePoint ArcEndPoint(const Placement& place, int32_t cx, int32_t cy, uint32_t r, uint32_t angle);

void DrawPolygons45(PassContext& ctx);
void DrawPolygons85(PassContext& ctx);
void DrawPrimitives45(PassContext& ctx);
void DrawPrimitives85(PassContext& ctx);

struct RenderOutcome {
  // Changed: the file differs from the scanned one (PassInput::scannedStamp); nothing of the plot
  // was drawn, and the caller words the message in the interface language.
  enum class Problem { None, Open, Read, Changed };
  Problem problem = Problem::None;
  // Open and Read: the file error behind the problem, which callers tell problems apart by.
  std::optional<PlotIoError::Kind> cause;
  // The error text for the user's box, empty without a problem and for Changed.
  std::string message;
  // Changed: the state the file was found in (nullopt when it is gone), so a caller can tell one
  // change from the next.
  std::optional<FileStamp> found;
};

// One renderer call on its target canvas, after ComputeFrame: the page preview (screen target
// only), the white ground of a bitmap, the negative ground, then both passes over the plot file,
// opened read-only for this drawing and closed again. A file changed since the scan gets only the
// preview and the white ground. A file problem never throws: what could be
// drawn is drawn and the outcome names the problem. DrawPlot picks the format of the input.
RenderOutcome DrawPlot45(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                         const std::string& plotFileName);
RenderOutcome DrawPlot85(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                         const std::string& plotFileName);
RenderOutcome DrawPlot(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                       const std::string& plotFileName);

}  // namespace quarto
