// The polygon and primitive passes over generated plot files, recorded call by call. The
// placement is ScaleX = ScaleY = 0.5 without offset unless a test says otherwise, so a file point
// (x, y) is drawn at (round(x / 2), round(SignY * y / 2)) with halves to even.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/render_pass.h"
#include "testsupport/plt_writer.h"
#include "testsupport/recording_canvas.h"
#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

using test::PltContour;
using test::PltHole;
using test::PltPoint;
using test::PltWriter;

// A generated plot with its record positions, as the scan would index them.
class Plot {
 public:
  explicit Plot(PltFormat format) : w(format) { w.Header(); }

  PltWriter w;
  void On(int layer) {
    w.Layer(layer);
    layer_ = layer;
  }
  // Adds the position that a record call returned under its kind and the current layer.
  void Index(int kind, uint64_t pos) { index_[{kind, layer_}].push_back(pos); }

  RecordPositions Positions() const {
    return [this](int kind, int layer) -> std::span<const uint64_t> {
      auto it = index_.find({kind, layer});
      if (it == index_.end()) return {};
      return it->second;
    };
  }
  std::string Save() {
    const auto path = dir_ / ("plot" + std::to_string(saved_++) + ".plt");
    w.Save(path);
    return path.string();
  }

 private:
  int layer_ = 0;
  std::map<std::pair<int, int>, std::vector<uint64_t>> index_;
  testsupport::TempDir dir_;
  int saved_ = 0;
};

LayerSetup Layers(std::initializer_list<uint8_t> order) {
  LayerSetup ls;
  for (int i = 0; i < kLayerCount; ++i) ls.colors[size_t(i)] = 0x010000u * uint32_t(i + 1) + 0x11;  // distinct
  int i = 0;
  for (uint8_t l : order) ls.order[size_t(i++)] = l;
  ls.orderCount = i;
  return ls;
}

Placement Half(int signX = 1, int signY = 1) {
  Placement p;
  p.ScaleX = p.ScaleY = 0.5;
  p.OffsetX = p.OffsetY = 0;
  p.SignX = signX, p.SignY = signY;
  return p;
}

struct PassRun {
  RecordingCanvas canvas;
  bool readProblem = false;
};

// Runs both passes of the plot's format over the saved file.
void RunPasses(Plot& plot, const PassInput& in, const Placement& place, PassRun& run) {
  PassInput pass = in;
  pass.positions = plot.Positions();
  PlotReader file = PlotReader::OpenFile(plot.Save());
  PassContext ctx{run.canvas, file, place, pass, false, {}};
  if (plot.w.format() == PltFormat::Plt45) {
    DrawPolygons45(ctx);
    DrawPrimitives45(ctx);
  } else {
    DrawPolygons85(ctx);
    DrawPrimitives85(ctx);
  }
  run.readProblem = ctx.readProblem;
}

std::vector<std::string> Ops(const RecordingCanvas& c) {
  std::vector<std::string> ops;
  for (const auto& line : c.Lines(false)) ops.push_back(line.substr(0, line.find(' ')));
  return ops;
}

class BothFormats : public testing::TestWithParam<PltFormat> {};
INSTANTIATE_TEST_SUITE_P(Render, BothFormats, testing::Values(PltFormat::Plt45, PltFormat::Plt85),
                         [](const auto& info) { return info.param == PltFormat::Plt45 ? "Plt45" : "Plt85"; });

TEST_P(BothFormats, PolygonsOfAllLayersFirstThenKindsInOrderTopLayerLast) {
  Plot p(GetParam());
  p.On(3);
  p.Index(KindLine, p.w.Line(0, 0, 0, 0, 10, 10));
  p.Index(KindPolygon, p.w.Polygon(0, {{0, 0}, {10, 0}, {0, 10}}));
  p.On(5);
  p.Index(KindArc, p.w.Arc(0, 0, 0, 0, 10, 0, 0, 10));
  p.Index(KindCircle, p.w.Circle(0, 0, 0, 0, 10));
  p.Index(KindBar, p.w.Bar(0, 0, 4, 4));
  p.Index(KindRect, p.w.Rect(0, 0, 0, 0, 4, 4));
  p.Index(KindLine, p.w.Line(0, 0, 2, 2, 6, 6));
  p.Index(KindPolygon, p.w.Polygon(0, {{0, 0}, {20, 0}, {0, 20}}));
  p.On(7);  // switched off: not in the order
  p.Index(KindBar, p.w.Bar(0, 0, 4, 4));
  PassInput in;
  in.layers = Layers({5, 3});  // layer 5 in the top row: drawn last
  PassRun run;
  RunPasses(p, in, Half(), run);
  const std::string circle = GetParam() == PltFormat::Plt45 ? "Arc" : "Ellipse";
  const std::vector<std::string> expected = {"Polygon", "Polygon",  // 3, then 5
                                             "MoveTo",  "LineTo",   // layer 3
                                             "MoveTo",  "LineTo",  "Polyline", "Rectangle", circle, "Arc"};  // layer 5
  EXPECT_EQ(Ops(run.canvas), expected);
  const auto& calls = run.canvas.calls();
  EXPECT_EQ(calls[0].brush.color, in.layers.colors[2]);  // layer 3's polygon first, under layer 5's
  EXPECT_EQ(calls[1].brush.color, in.layers.colors[4]);
  EXPECT_FALSE(run.readProblem);

  in.layers.orderCount = 0;
  PassRun none;
  RunPasses(p, in, Half(), none);
  EXPECT_TRUE(none.canvas.calls().empty());
}

TEST_P(BothFormats, LayerColourInColourMonochromeAndNegative) {
  struct Case {
    bool colour, negative;
    Color expected;
  };
  Plot p(GetParam());
  p.On(2);
  p.Index(KindLine, p.w.Line(0, 0, 0, 0, 10, 10));
  const LayerSetup layers = Layers({2});
  for (const Case& c : {Case{true, false, layers.colors[1]}, Case{false, false, kBlack}, Case{true, true, kWhite},
                        Case{false, true, kWhite}}) {
    PassInput in;
    in.layers = layers;
    in.colour = c.colour, in.negative = c.negative;
    PassRun run;
    RunPasses(p, in, Half(), run);
    ASSERT_EQ(run.canvas.calls().size(), 2u);
    EXPECT_EQ(run.canvas.calls()[1].pen.color, c.expected);
    EXPECT_EQ(run.canvas.calls()[1].brush.color, c.expected);
    EXPECT_EQ(run.canvas.fontColor, c.expected);
  }
}

TEST_P(BothFormats, CutOutsInFileOrderWithTheCutOutBrush) {
  Plot p(GetParam());
  p.On(1);
  p.Index(KindPolygon,
          p.w.Polygon(4, {{0, 0}, {40, 0}, {40, 40}}, {PltHole{11, 13, 3}, PltContour{{{1, 1}, {5, 1}, {5, 5}}, 0}}));
  for (bool negative : {false, true}) {
    PassInput in;
    in.layers = Layers({1});
    in.layers.colors[0] = 0x00FF00;
    in.negative = negative;
    in.fillStyle = static_cast<int>(BrushStyle::Cross);
    PassRun run;
    RunPasses(p, in, Half(), run);
    const std::string fill = negative ? "ffffff cross" : "00ff00 cross";
    const std::string pen = negative ? "pen ffffff 2 solid" : "pen 00ff00 2 solid";
    const std::string cut = negative ? "000000 solid" : "ffffff solid";
    const std::vector<std::string> expected = {
        "Polygon 0 0 20 0 20 20 " + pen + " brush " + fill,
        "Ellipse 4 5 7 8 " + pen + " brush " + cut,  // (8, 10)-(14, 16) halved, halves to even
        "Polygon 0 0 2 0 2 2 " + pen + " brush " + cut,
    };
    EXPECT_EQ(run.canvas.Lines(), expected);
    EXPECT_EQ(run.canvas.brush.style, BrushStyle::Solid);
  }
}

// A hole followed by a value that is no marker: the values up to the next marker are passed
// over, so the contour after them is still drawn and the polygon ends at its end marker.
TEST_P(BothFormats, StrayValueAfterAHoleIsPassedOver) {
  const bool is45 = GetParam() == PltFormat::Plt45;
  const uint32_t polygon = is45 ? Plt45::OpPolygon : Plt85::OpPolygon;
  const uint32_t contour = is45 ? Plt45::OpContour : Plt85::OpContour;
  const uint32_t hole = is45 ? Plt45::OpHole : Plt85::OpHole;
  const uint32_t end = is45 ? Plt45::OpPolyEnd : Plt85::OpPolyEnd;
  Plot p(GetParam());
  p.On(1);
  p.w.Word(polygon);
  p.Index(KindPolygon, p.w.size());
  p.w.Word(is45 ? 2u << 8 : 2u << (8 * 2));  // head: pen width 2 (high byte / first 16 bits)
  for (uint32_t v : {0u, 0u, 8u, 0u, 8u, 8u, hole}) p.w.Word(v);
  p.w.Bytes(std::vector<uint8_t>(is45 ? 10 : 20, 0));  // centre (0, 0), radius 0
  for (uint32_t v : {7u, 9u, contour, 0xFFFFu, 2u, 2u, 4u, 2u, end, 0u}) p.w.Word(v);
  p.Index(KindBar, p.w.Bar(0, 0, 2, 2));
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, Half(), run);
  EXPECT_EQ(run.canvas.Lines(false), (std::vector<std::string>{"Polygon 0 0 4 0 4 4", "Ellipse 0 0 0 0",
                                                               "Polygon 1 1 2 1", "Rectangle 0 0 1 1"}));
  EXPECT_EQ(run.canvas.calls()[0].pen.width, 1);  // round(2 * 0.5)
  EXPECT_FALSE(run.readProblem);
}

TEST_P(BothFormats, PolygonWithoutPointsDrawsNothingAndTheNextOneFollows) {
  Plot p(GetParam());
  p.On(1);
  p.Index(KindPolygon, p.w.Polygon(0, {}));
  p.Index(KindPolygon, p.w.Polygon(0, {{2, 2}, {6, 2}, {6, 6}}));
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, Half(), run);
  EXPECT_EQ(run.canvas.Lines(false), (std::vector<std::string>{"Polygon", "Polygon 1 1 3 1 3 3"}));
  EXPECT_FALSE(run.readProblem);
}

TEST_P(BothFormats, PenWidthPrinterMinimumAndStyleCarryOver) {
  Plot p(GetParam());
  p.On(1);
  p.Index(KindLine, p.w.Line(1, 3, 0, 0, 2, 2));  // dot, round(1.5) = 2
  p.Index(KindLine, p.w.Line(3, 5, 0, 0, 2, 2));  // style 3 keeps dot, round(2.5) = 2
  p.Index(KindLine, p.w.Line(2, 0, 0, 0, 2, 2));  // dash, width 0
  p.Index(KindLine, p.w.Line(0, 7, 0, 0, 2, 2));  // solid, round(3.5) = 4
  p.Index(KindBar, p.w.Bar(0, 0, 2, 2));
  struct Case {
    bool toPrinter;
    std::vector<std::string> pens;  // the pens of the four LineTo calls, then of the bar
  };
  const Case cases[] = {
      {false, {"2 dot", "2 dot", "0 dash", "4 solid", "0 solid"}},
      {true, {"3 dot", "3 dot", "3 dash", "4 solid", "0 solid"}},  // minimum 3; bars stay at 0
  };
  for (const auto& c : cases) {
    PassInput in;
    in.layers = Layers({1});
    in.layers.colors[0] = 0;
    in.toPrinter = c.toPrinter;
    in.printerMinPenWidth = 3;
    PassRun run;
    RunPasses(p, in, Half(), run);
    std::vector<std::string> pens;
    for (const auto& call : run.canvas.calls()) {
      if (call.op == RecordingCanvas::Op::MoveTo) continue;
      const std::string line = RecordingCanvas::Format(call, true);
      const size_t at = line.find(" pen 000000 ") + 12;
      pens.push_back(line.substr(at, line.find(" brush") - at));
    }
    EXPECT_EQ(pens, c.pens);
  }
}

TEST(RenderPass45, PolylineWithNoneAndThreeFurtherVertices) {
  Plot p(PltFormat::Plt45);
  p.On(1);
  p.Index(KindLine, p.w.Line(0, 0, 1, 3, 5, 7));
  p.Index(KindLine, p.w.Line(0, 0, 0, 0, 2, 2, {{4, -4}, {7, 9}, {-3, -5}}));
  p.w.Bar(0, 0, 1, 1);  // a record code ends the vertex list (not indexed: not drawn)
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, Half(), run);
  const std::vector<std::string> expected = {"MoveTo 0 2", "LineTo 2 4",  // (1,3) (5,7): halves to even
                                             "MoveTo 0 0", "LineTo 1 1", "LineTo 2 -2", "LineTo 4 4", "LineTo -2 -2"};
  EXPECT_EQ(run.canvas.Lines(false), expected);
  EXPECT_FALSE(run.readProblem);
}

TEST(RenderPass45, ArcEndPointTable) {
  Placement pl;
  pl.ScaleX = pl.ScaleY = 1;
  pl.OffsetX = 500, pl.OffsetY = 400;
  pl.SignX = 1, pl.SignY = 1;
  const std::pair<uint32_t, DevicePoint> table[] = {
      {0, {600, 400}},   {45, {571, 471}},  {90, {500, 500}},  {135, {429, 471}}, {180, {400, 400}},
      {225, {429, 329}}, {270, {500, 300}}, {315, {571, 329}}, {360, {600, 400}}, {400, {577, 464}},
  };
  for (const auto& [angle, point] : table) EXPECT_EQ(ArcEndPoint(pl, 0, 0, 100, angle), point) << angle;
  // Mirroring moves the centre only: the offsets from it keep their signs.
  pl.SignX = -1, pl.SignY = -1;
  EXPECT_EQ(ArcEndPoint(pl, 10, 20, 100, 45), (DevicePoint{490 + 71, 380 + 71}));
}

TEST(RenderPass45, CircleNeverExchangesStartAndEnd) {
  Plot p(PltFormat::Plt45);
  p.On(1);
  p.Index(KindCircle, p.w.Circle(0, 0, -20, 10, 8, 0, 90));
  for (auto [sx, sy] : {std::pair{1, 1}, {1, -1}, {-1, 1}, {-1, -1}}) {
    PassInput in;
    in.layers = Layers({1});
    PassRun run;
    RunPasses(p, in, Half(sx, sy), run);
    const DevicePoint c = Half(sx, sy).Point(-20, 10);
    // Box from the device points of (cx -+ r, cy -+ r); start at angle 0, end at 90.
    const DevicePoint a = Half(sx, sy).Point(-28, 2), b = Half(sx, sy).Point(-12, 18);
    const std::string expected = "Arc " + std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(b.x) +
                                 " " + std::to_string(b.y) + " " + std::to_string(c.x + 4) + " " + std::to_string(c.y) +
                                 " " + std::to_string(c.x) + " " + std::to_string(c.y + 4);
    EXPECT_EQ(run.canvas.Lines(false), std::vector<std::string>{expected}) << sx << " " << sy;
  }
}

TEST(RenderPass45, ThreePointArcRadiusFromWideSquares) {
  Plot p(PltFormat::Plt45);
  p.On(1);
  // 60000 units from the centre: the square passes 2^31.
  p.Index(KindArc, p.w.Arc(0, 0, -30000, 0, 30000, 0, -30000, 60000 - 65536));
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, Half(1, -1), run);
  // r = 60000: box from (-90000, -60000) and (30000, 60000), halved, y mirrored; start and end in
  // file order (the signs differ).
  EXPECT_EQ(run.canvas.Lines(false), std::vector<std::string>{"Arc -45000 30000 15000 -30000 15000 0 -15000 2768"});
}

TEST_P(BothFormats, ThreePointArcExchangesStartAndEndWhenSignsAreEqual) {
  Plot p(GetParam());
  p.On(1);
  p.Index(KindArc, p.w.Arc(0, 0, 0, 0, 6, 0, 0, 6));
  for (auto [sx, sy, swapped] : {std::tuple{1, -1, false}, {-1, 1, false}, {1, 1, true}, {-1, -1, true}}) {
    PassInput in;
    in.layers = Layers({1});
    PassRun run;
    RunPasses(p, in, Half(sx, sy), run);
    DevicePoint s{3 * sx, 0}, e{0, 3 * sy};
    if (swapped) std::swap(s, e);
    ASSERT_EQ(run.canvas.calls().size(), 1u);
    const auto& a = run.canvas.calls()[0].args;
    EXPECT_EQ((DevicePoint{a[4], a[5]}), s) << sx << sy;
    EXPECT_EQ((DevicePoint{a[6], a[7]}), e) << sx << sy;
  }
}

TEST(RenderPass85, ThreePointArcRadiusInDeviceUnits) {
  Plot p(PltFormat::Plt85);
  p.On(1);
  p.Index(KindArc, p.w.Arc(0, 0, 10, 20, 16, 28, 10, 30));
  Placement pl;
  pl.ScaleX = 1, pl.ScaleY = 2, pl.OffsetX = 100, pl.OffsetY = 200, pl.SignX = 1, pl.SignY = -1;
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, pl, run);
  // R = round(sqrt(6^2 + 16^2)) = 17; box from the scaled centre (10, 40) +- 17.
  EXPECT_EQ(run.canvas.Lines(false), std::vector<std::string>{"Arc 93 177 127 143 116 144 110 140"});
}

TEST(RenderPass85, CircleIsAWhiteDiscInEveryMode) {
  Plot p(PltFormat::Plt85);
  p.On(1);
  p.Index(KindCircle, p.w.Circle(1, 5, 10, 10, 3));
  for (auto [colour, negative] : {std::pair{true, false}, {false, false}, {true, true}}) {
    PassInput in;
    in.layers = Layers({1});
    in.colour = colour, in.negative = negative;
    PassRun run;
    RunPasses(p, in, Half(), run);
    const std::string pen = negative ? "ffffff" : colour ? "010011" : "000000";
    EXPECT_EQ(run.canvas.Lines(), std::vector<std::string>{"Ellipse 4 4 6 6 pen " + pen + " 2 dot brush ffffff solid"});
  }
}

TEST(RenderPassFaults, ShortBodiesEndTheRecordAndTheDrawingGoesOn) {
  struct Case {
    const char* name;
    PltFormat format;
    std::function<void(Plot&)> build;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"polygon without end marker",
       PltFormat::Plt45,
       [](Plot& p) {
         p.Index(KindBar, p.w.Bar(0, 0, 2, 2));
         p.Index(KindPolygon, p.w.Polygon(0, {{0, 0}, {4, 0}, {4, 4}}, {PltContour{{{1, 1}, {3, 1}}, 0}}));
         p.w.Truncate(p.w.size() - 4);  // the end marker and the word after it are gone
       },
       // The outline is drawn; the contour that never ends is not.
       {"Polygon 0 0 2 0 2 2", "Rectangle 0 0 1 1"}},
      {"line continuation ending in a lone word",
       PltFormat::Plt45,
       [](Plot& p) {
         p.Index(KindLine, p.w.Line(0, 0, 0, 0, 2, 2, {{4, 4}}));
         p.w.Word(6);  // an x without its y
       },
       {"MoveTo 0 0", "LineTo 1 1", "LineTo 2 2"}},
      {"truncated fixed body",
       PltFormat::Plt85,
       [](Plot& p) {
         p.Index(KindBar, p.w.Bar(0, 0, 2, 2));
         p.Index(KindLine, p.w.Line(0, 0, 0, 0, 2, 2));
         p.w.Truncate(p.w.size() - 1);
       },
       {"Rectangle 0 0 1 1"}},
  };
  for (const auto& c : cases) {
    Plot p(c.format);
    p.On(1);
    c.build(p);
    PassInput in;
    in.layers = Layers({1});
    PassRun run;
    RunPasses(p, in, Half(), run);
    EXPECT_EQ(run.canvas.Lines(false), c.expected) << c.name;
    EXPECT_TRUE(run.readProblem) << c.name;
  }
}

TEST(RenderPassFaults, PositionsBeyondTheFileAreProblemsNotCrashes) {
  Plot p(PltFormat::Plt45);
  p.On(1);
  p.Index(KindBar, uint64_t{1} << 40);
  p.Index(KindBar, p.w.Bar(0, 0, 2, 2));
  PassInput in;
  in.layers = Layers({1});
  PassRun run;
  RunPasses(p, in, Half(), run);
  EXPECT_EQ(run.canvas.Lines(false), std::vector<std::string>{"Rectangle 0 0 1 1"});
  EXPECT_TRUE(run.readProblem);
}

// The whole call on each target: preview only on the screen, white ground on the bitmap, the
// black header box before any primitive in negative mode, and file problems as outcomes.
TEST(RenderPlot, TargetsAndNegativeGround) {
  Plot p(PltFormat::Plt45);
  p.On(1);
  p.Index(KindBar, p.w.Bar(0, 0, 100, 100));
  const std::string path = p.Save();
  FrameInput in;
  in.windowWidth = 800, in.windowHeight = 600, in.areaWidth = 800, in.areaHeight = 560;
  in.screenWidth = 100, in.screenHeight = 100;
  in.headerX1 = 0, in.headerY1 = 0, in.headerX2 = 1000, in.headerY2 = 1000;
  in.drawBounds = {0, 100, 0, 100};
  in.negative = true;
  PassInput pass;
  pass.layers = Layers({1});
  pass.positions = p.Positions();
  for (RenderTarget t : {RenderTarget::Screen, RenderTarget::Printer, RenderTarget::Bitmap}) {
    in.target = t;
    const FrameLayout f = ComputeFrame(in);
    RecordingCanvas c;
    const RenderOutcome out = DrawPlot(c, in, f, pass, path);
    EXPECT_EQ(out.problem, RenderOutcome::Problem::None);
    const auto ops = Ops(c);
    const size_t first = t == RenderTarget::Screen ? 12 : t == RenderTarget::Bitmap ? 1 : 0;
    ASSERT_EQ(ops.size(), first + 2);
    if (t == RenderTarget::Bitmap) {
      EXPECT_EQ(RecordingCanvas::Format(c.calls()[0], true), "FillRect 0 0 " + std::to_string(f.BitmapWidth) + " " +
                                                                 std::to_string(f.BitmapHeight) +
                                                                 " pen 000000 1 solid brush ffffff solid");
    }
    EXPECT_EQ(c.calls()[first].op, RecordingCanvas::Op::Rectangle);
    EXPECT_EQ(c.calls()[first].brush.color, kBlack);
    EXPECT_EQ(c.calls()[first + 1].brush.color, kWhite);  // the bar in white on the black ground
  }
  in.target = RenderTarget::Screen;
  RecordingCanvas c;
  const RenderOutcome missing = DrawPlot(c, in, ComputeFrame(in), pass, path + ".gone");
  EXPECT_EQ(missing.problem, RenderOutcome::Problem::Open);
  EXPECT_EQ(missing.message, kTextFileNotFound);
  EXPECT_EQ(c.calls().size(), 13u);  // the preview and the ground are drawn all the same
}

}  // namespace
}  // namespace quarto
