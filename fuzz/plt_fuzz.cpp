// Plot files: the scan pass over the bytes, then the frame and both drawing passes (texts in the
// stroke font, then again in a system font) onto a canvas that only counts and checks what it is
// given. The last input
// byte chooses the target, the zoom, mirroring, negative mode, the fill style and the language; the
// rest is the plot file.
// The scan from the file (its fast record walk) is checked against the plain walk record by record from memory.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/layer_table.h"
#include "core/plot_scan.h"
#include "core/plt_format.h"
#include "core/render_frame.h"
#include "core/render_pass.h"
#include "core/text_records.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace quarto;

// Counts the calls and checks that every coordinate stays inside the device range the renderer
// promises; keeps nothing, so memory stays flat however many records a plot holds.
class CountingCanvas : public Canvas {
 public:
  size_t calls = 0;
  void Polyline(std::span<const DevicePoint> p) override { Points(p); }
  void Polygon(std::span<const DevicePoint> p) override { Points(p); }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override { Box(l, t, r, b); }
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override { Box(l, t, r, b); }
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override {
    Box(l, t, r, b);
    Box(xs, ys, xe, ye);
  }
  void FillRect(int32_t l, int32_t t, int32_t r, int32_t b) override { Box(l, t, r, b); }
  // Texts measure like a wide font: half the cell a character.
  TextSize TextExtent(std::string_view text) override {
    return {font().height / 2 * static_cast<int64_t>(text.size()), font().height};
  }
  void TextOut(int32_t x, int32_t y, std::string_view text) override {
    Box(x, y, x, y);
    if (text.empty()) fuzz::Fail("empty text drawn");
    if (font().height < 2) fuzz::Fail("font cell below 2");
    if (font().escapement % 900 != 0 || font().escapement < 0 || font().escapement > 2700)
      fuzz::Fail("escapement not a quarter turn");
  }

 protected:
  void DrawLine(DevicePoint from, DevicePoint to) override { Box(from.x, from.y, to.x, to.y); }

 private:
  static void Check(int32_t v) {
    if (v < -kDeviceLimit || v > kDeviceLimit) fuzz::Fail("device coordinate outside the device range");
  }
  void Box(int32_t a, int32_t b, int32_t c, int32_t d) {
    ++calls;
    Check(a), Check(b), Check(c), Check(d);
    if (pen.width < 0) fuzz::Fail("negative pen width");
  }
  void Points(std::span<const DevicePoint> p) {
    ++calls;
    for (const DevicePoint& q : p) Check(q.x), Check(q.y);
  }
};

constexpr std::array<double, 4> kZooms = {1.0, 0.05, 37.5, 100.0};
constexpr std::array<RenderTarget, 4> kTargets = {RenderTarget::Screen, RenderTarget::Printer, RenderTarget::Bitmap,
                                                  RenderTarget::Screen};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const uint8_t knobs = data[size - 1];
  --size;
  const std::optional<PltFormat> format = DetectPltFormat(std::span<const uint8_t, 4>(data, 4));
  if (!format) return 0;
  const std::filesystem::path path = fuzz::WriteInput("plot.plt", data, size);

  const bool russian = knobs & 0x80;
  LayerTable table;
  InitLayerGrid(table.Grid);
  PlotScanResult scan;
  try {
    scan = ScanPlotFile(path, *format, table, russian);
  } catch (const PlotIoError&) {
    return 0;  // refused before the table was touched
  }
  {
    PlotReader memory(std::span<const uint8_t>(data, size));
    LayerTable plain_table;
    const PlotScanResult plain = ScanPlot(memory, *format, plain_table, russian, RecordWalk::Reference);
    if (plain.Truncated != scan.Truncated || !(plain.DrawBounds == scan.DrawBounds))
      fuzz::Fail("the fast walk's bounds or cut differ from the plain walk's");
    for (int k = 0; k < kPrimitiveKindCount; ++k)
      for (int l = 0; l < kLayerSlots; ++l) {
        const auto a = plain.Index.Positions(k, l), b = scan.Index.Positions(k, l);
        if (!std::equal(a.begin(), a.end(), b.begin(), b.end()))
          fuzz::Fail("the fast walk indexed other positions than the plain walk");
      }
  }

  FrameInput in;
  if (*format == PltFormat::Plt85)
    SetFrameHeader(in, scan.Header85);
  else
    SetFrameHeader(in, scan.Header45);
  in.target = kTargets[knobs & 3];
  in.windowWidth = 1024, in.windowHeight = 768;
  in.areaLeft = 0, in.areaTop = 60, in.areaWidth = 1000, in.areaHeight = 640;
  in.screenWidth = 1920, in.screenHeight = 1080;
  in.zoom = kZooms[(knobs >> 2) & 3];
  in.fitPending = knobs & 0x10;
  in.signX = (knobs & 0x20) ? -1 : +1;
  in.signY = (knobs & 0x40) ? +1 : -1;
  in.negative = knobs & 0x08;
  in.colour = !(knobs & 0x04);
  in.mils = scan.Unit == PlotUnit::Mils;
  in.drawBounds = scan.DrawBounds;
  const FrameLayout layout = ComputeFrame(in);
  if (!std::isfinite(layout.Zoom) || !std::isfinite(layout.place.ScaleX) || !std::isfinite(layout.place.ScaleY))
    fuzz::Fail("frame gave a value that is not finite");
  if (in.target == RenderTarget::Bitmap && layout.BitmapTooLarge) return 0;

  PassInput pass;
  const RecordIndex* index = &scan.Index;
  pass.positions = [index](int kind, int layer) { return index->Positions(kind, layer); };
  pass.layers.colors = table.LayerColors;
  pass.layers.order = table.LayerOrder;
  pass.layers.orderCount = table.LayerOrderCount;
  pass.fillStyle = static_cast<int>(knobs % 7);
  pass.printerMinPenWidth = knobs & 0x0F;
  pass.texts = &PlotTextHook();
  CountingCanvas canvas;
  DrawPlot(canvas, in, layout, pass, path.string());
  pass.strokeFont = false;
  pass.systemFont = {"Face", static_cast<int32_t>(knobs % 26), (knobs & 1) != 0, (knobs & 2) != 0};
  DrawPlot(canvas, in, layout, pass, path.string());
  return 0;
}
