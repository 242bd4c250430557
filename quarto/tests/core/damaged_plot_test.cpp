// Damaged and changed plot files from the scan to the drawing: a record whose fixed part is whole
// is indexed and drawn as far as it is whole, a file rewritten after the scan is not drawn from,
// what is no regular file is refused at once, and the scan and the drawing pass walk a polygon
// through the same points.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/plot_scan.h"
#include "core/plt_walk.h"
#include "core/render_pass.h"
#include "testsupport/plt_writer.h"
#include "testsupport/recording_canvas.h"

namespace quarto {
namespace {

using test::PltContour;
using test::PltHole;
using test::PltWriter;

std::filesystem::path TempPath(const std::string& stem) {
  static std::atomic<int> n{0};
  return std::filesystem::path(testing::TempDir()) /
         ("damaged_" + std::to_string(::getpid()) + "_" + std::to_string(n++) + "_" + stem);
}

// Scale 1, no mirroring, no offset: device points equal file points.
Placement Identity() {
  Placement p;
  p.SignX = 1, p.SignY = 1;
  return p;
}

LayerSetup LayerOne() {
  LayerSetup ls;
  ls.colors.fill(0x123456);
  ls.order[0] = 1;
  ls.orderCount = 1;
  return ls;
}

struct Drawn {
  PlotScanResult scan;
  std::vector<std::string> calls;  // without state
  bool readProblem = false;
};

// Scans the saved file as the open does, then runs both passes over the scan's index.
Drawn ScanAndDraw(const std::filesystem::path& path, PltFormat format) {
  Drawn d;
  LayerTable table;
  InitLayerGrid(table.Grid);
  d.scan = ScanPlotFile(path, format, table, false);
  PassInput in;
  in.layers = LayerOne();
  const RecordIndex* index = &d.scan.Index;
  in.positions = [index](int kind, int layer) { return index->Positions(kind, layer); };
  RecordingCanvas canvas;
  PlotReader file = PlotReader::OpenFile(path);
  const Placement place = Identity();
  PassContext ctx{canvas, file, place, in, false, {}};
  if (format == PltFormat::Plt45) {
    DrawPolygons45(ctx);
    DrawPrimitives45(ctx);
  } else {
    DrawPolygons85(ctx);
    DrawPrimitives85(ctx);
  }
  d.readProblem = ctx.readProblem;
  d.calls = canvas.Lines(false);
  return d;
}

// The fixtures: a sound bar on layer 1, then the damaged record last in the file.
struct DamagedCase {
  const char* name;
  PltFormat format;
  void (*write)(PltWriter& w);  // writes the damaged tail
  int kind;                     // the damaged record's kind
  bool indexed;                 // its fixed part is whole
  std::vector<std::string> drawn;
};

TEST(DamagedPlot, RecordsWithAWholeFixedPartAreIndexedAndDrawnAsFarAsTheyAreWhole) {
  const std::string bar = "Rectangle 2 2 6 6";
  const DamagedCase cases[] = {
      {"lone word after a line",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Line(0, 0, 10, 20, 30, 40);
         w.Word(0x0005);  // half of a further vertex
       },
       KindLine,
       true,
       {"MoveTo 10 20", "LineTo 30 40", bar}},
      {"line cut after one further vertex",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Line(0, 0, 10, 20, 30, 40, {{50, 60}, {70, 80}});
         w.Truncate(w.size() - 2);
       },
       KindLine,
       true,
       {"MoveTo 10 20", "LineTo 30 40", "LineTo 50 60", bar}},
      {"cut text",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Text(5, 5, 10, "LONG TEXT");
         w.Truncate(w.size() - 3);
       },
       KindText,
       true,
       {bar}},
      {"cut text",
       PltFormat::Plt85,
       [](PltWriter& w) {
         w.Text(5, 5, 10, "LONG TEXT");
         w.Truncate(w.size() - 5);
       },
       KindText,
       true,
       {bar}},
      {"cut bar",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Bar(100, 100, 200, 200);
         w.Truncate(w.size() - 2);
       },
       KindBar,
       false,
       {bar}},
      {"cut bar",
       PltFormat::Plt85,
       [](PltWriter& w) {
         w.Bar(100, 100, 200, 200);
         w.Truncate(w.size() - 1);
       },
       KindBar,
       false,
       {bar}},
      {"polygon cut inside its contour",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Polygon(0, {{0, 0}, {40, 0}, {0, 40}}, {PltContour{{{5, 5}, {9, 5}, {5, 9}}}});
         w.Truncate(w.size() - 8);
       },
       KindPolygon,
       true,
       {"Polygon 0 0 40 0 0 40", bar}},
      {"polygon cut inside its contour",
       PltFormat::Plt85,
       [](PltWriter& w) {
         w.Polygon(0, {{0, 0}, {40, 0}, {0, 40}}, {PltContour{{{5, 5}, {9, 5}, {5, 9}}}});
         w.Truncate(w.size() - 16);
       },
       KindPolygon,
       true,
       {"Polygon 0 0 40 0 0 40", bar}},
      {"polygon cut inside its outline",
       PltFormat::Plt45,
       [](PltWriter& w) {
         w.Polygon(0, {{0, 0}, {40, 0}, {0, 40}});
         w.Truncate(w.size() - 8);
       },
       KindPolygon,
       true,
       {bar}},
  };
  for (const DamagedCase& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.format == PltFormat::Plt45 ? " (PLT 4.5)" : " (PLT 8.5)"));
    PltWriter w(c.format);
    w.Header();
    w.Layer(1);
    w.Bar(2, 2, 6, 6);
    c.write(w);
    const auto path = TempPath("case.plt");
    w.Save(path);
    const Drawn d = ScanAndDraw(path, c.format);
    std::filesystem::remove(path);
    EXPECT_TRUE(d.scan.Truncated);  // the short tail is reported by the open
    EXPECT_EQ(d.scan.Index.RecordCount(c.kind, 1), (c.kind == KindBar ? 1u : 0u) + (c.indexed ? 1u : 0u));
    EXPECT_EQ(d.calls, c.drawn);
    // A drawn record that ended early is a read problem of the drawing too (texts are drawn by a
    // text hook, which this run has none of).
    EXPECT_EQ(d.readProblem, c.indexed && c.kind != KindText);
  }
}

// The scan and the drawing pass see the same points of a polygon: both go through one walk. The
// scan's points are taken from the bounds it grows, one outline point at a time.
TEST(DamagedPlot, ScanAndDrawingWalkAPolygonThroughTheSamePoints) {
  struct WalkCase {
    const char* name;
    std::vector<test::PltPoint> outline;
    std::vector<test::PltCutout> cutouts;
    uint32_t afterEnd;
  };
  const WalkCase cases[] = {
      {"outline only", {{1, 2}, {30, 2}, {1, 40}}, {}, 0},
      {"contour and hole",
       {{0, 0}, {50, 0}, {50, 50}},
       {PltContour{{{5, 5}, {9, 5}, {5, 9}}, 7}, PltHole{20, 20, 3}},
       0},
      {"hole, then a contour", {{0, 0}, {50, 0}, {0, 50}}, {PltHole{10, 10, 2}, PltContour{{{30, 3}, {33, 3}}, 0}}, 9},
      {"negative coordinates", {{0, 0}, {-1, 5}, {8, 8}}, {}, 0},
  };
  // What the walk reports, as text.
  struct TextSink {
    std::vector<std::string> parts;
    void Point(PolygonPart part, int32_t x, int32_t y) {
      parts.push_back(std::string(part == PolygonPart::Outline ? "o " : "c ") + std::to_string(x) + " " +
                      std::to_string(y));
    }
    void EndBoundary(PolygonPart part) { parts.push_back(part == PolygonPart::Outline ? "end o" : "end c"); }
    void Hole(const HoleBody& h) {
      parts.push_back("hole " + std::to_string(h.Cx) + " " + std::to_string(h.Cy) + " " + std::to_string(h.R));
    }
  };
  for (PltFormat format : {PltFormat::Plt45, PltFormat::Plt85}) {
    for (const WalkCase& c : cases) {
      SCOPED_TRACE(c.name);
      PltWriter w(format);
      w.Header({.x1 = -100, .y1 = -100, .x2 = 100, .y2 = 100});
      w.Layer(1);
      const uint64_t body = w.Polygon(1, c.outline, c.cutouts, c.afterEnd);
      w.Bar(0, 0, 1, 1);  // the record after the polygon: both must land on it
      const uint64_t next = w.size() - (format == PltFormat::Plt45 ? 12 : 24);

      // The walk as written down by hand from the fixture.
      std::vector<std::string> expected;
      for (const auto& p : c.outline) expected.push_back("o " + std::to_string(p.x) + " " + std::to_string(p.y));
      expected.push_back("end o");
      for (const auto& cut : c.cutouts) {
        if (const auto* k = std::get_if<PltContour>(&cut)) {
          for (const auto& p : k->points) expected.push_back("c " + std::to_string(p.x) + " " + std::to_string(p.y));
          expected.push_back("end c");
        } else {
          const auto& h = std::get<PltHole>(cut);
          expected.push_back("hole " + std::to_string(h.cx) + " " + std::to_string(h.cy) + " " + std::to_string(h.r));
        }
      }
      PlotReader scanReader(w.bytes());
      scanReader.Seek(body + (format == PltFormat::Plt45 ? Plt45::kPolygonHead : Plt85::kPolygonHead));
      TextSink sink;
      const bool whole = format == PltFormat::Plt45 ? WalkPolygonBody<Plt45>(scanReader, sink)
                                                    : WalkPolygonBody<Plt85>(scanReader, sink);
      EXPECT_TRUE(whole);
      EXPECT_EQ(sink.parts, expected);
      EXPECT_EQ(scanReader.Tell(), next);

      // The scan indexes the polygon and the bar after it; the drawing draws the same outline and
      // cut-outs (device points equal file points here, mirrored in y by nothing).
      const auto path = TempPath("walk.plt");
      w.Save(path);
      const Drawn d = ScanAndDraw(path, format);
      std::filesystem::remove(path);
      EXPECT_FALSE(d.scan.Truncated);
      EXPECT_EQ(d.scan.Index.RecordCount(KindBar, 1), 1u);
      std::vector<std::string> drawn;
      std::string outline = "Polygon";
      for (const auto& p : c.outline)
        outline.append(" ").append(std::to_string(p.x)).append(" ").append(std::to_string(p.y));
      drawn.push_back(outline);
      for (const auto& cut : c.cutouts) {
        if (const auto* k = std::get_if<PltContour>(&cut)) {
          std::string contour = "Polygon";
          for (const auto& p : k->points)
            contour.append(" ").append(std::to_string(p.x)).append(" ").append(std::to_string(p.y));
          drawn.push_back(contour);
        } else {
          const auto& h = std::get<PltHole>(cut);
          const int32_t r = static_cast<int32_t>(h.r);
          drawn.push_back("Ellipse " + std::to_string(h.cx - r) + " " + std::to_string(h.cy - r) + " " +
                          std::to_string(h.cx + r) + " " + std::to_string(h.cy + r));
        }
      }
      drawn.push_back("Rectangle 0 0 1 1");
      EXPECT_EQ(d.calls, drawn);
      EXPECT_FALSE(d.readProblem);
    }
  }
}

// A file changed after the scan (same size and other content, shorter, removed) is not drawn
// from: only the preview is drawn and the outcome says the file changed, with the state found.
TEST(DamagedPlot, AFileChangedSinceTheScanIsNotDrawnFrom) {
  PltWriter w(PltFormat::Plt85);
  w.Header();
  w.Layer(1);
  w.Bar(10, 10, 20, 20);
  w.Line(0, 0, 0, 0, 30, 30);
  const auto path = TempPath("changed.plt");
  FrameInput in;
  in.format = PltFormat::Plt85;
  in.windowWidth = 800, in.windowHeight = 600, in.areaWidth = 800, in.areaHeight = 560;
  in.headerX2 = 1000, in.headerY2 = 1000;
  in.negative = true;  // the black ground belongs to the plot: not drawn either
  const FrameLayout layout = ComputeFrame(in);
  RecordingCanvas preview;
  DrawPagePreview(preview, in, layout);
  const size_t previewCalls = preview.calls().size();

  enum class Change { None, SameSizeOtherTime, Shorter, Removed };
  for (Change change : {Change::None, Change::SameSizeOtherTime, Change::Shorter, Change::Removed}) {
    w.Save(path);
    LayerTable table;
    InitLayerGrid(table.Grid);
    const PlotScanResult scan = ScanPlotFile(path, PltFormat::Plt85, table, false);
    EXPECT_EQ(scan.Stamp.size, w.size());
    if (change == Change::SameSizeOtherTime) {
      PltWriter other = w;
      other.Truncate(w.size() - 24);
      other.Bar(500, 500, 600, 600);  // the line's place now holds another bar
      other.Save(path);
      ASSERT_EQ(std::filesystem::file_size(path), w.size());
      std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(2));
    }
    if (change == Change::Shorter) std::filesystem::resize_file(path, w.size() - 6);
    if (change == Change::Removed) std::filesystem::remove(path);
    PassInput pass;
    pass.layers = LayerOne();
    pass.positions = [&scan](int kind, int layer) { return scan.Index.Positions(kind, layer); };
    pass.scannedStamp = scan.Stamp;
    RecordingCanvas canvas;
    const RenderOutcome out = DrawPlot(canvas, in, layout, pass, path.string());
    SCOPED_TRACE(static_cast<int>(change));
    if (change == Change::None) {
      EXPECT_EQ(out.problem, RenderOutcome::Problem::None);
      EXPECT_EQ(canvas.calls().size(), previewCalls + 4);  // ground, bar, line
      continue;
    }
    EXPECT_EQ(out.problem, RenderOutcome::Problem::Changed);
    EXPECT_EQ(canvas.calls().size(), previewCalls);
    EXPECT_EQ(out.found.has_value(), change != Change::Removed);
    if (out.found) {
      EXPECT_NE(*out.found, scan.Stamp);
    }
  }
  std::filesystem::remove(path);
}

// A pipe named as the plot is refused at once (a plain open would wait for a writer forever),
// like a folder.
TEST(DamagedPlot, OnlyRegularFilesAreOpened) {
  const auto fifo = TempPath("fifo.plt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto folder = TempPath("folder.plt");
  std::filesystem::create_directory(folder);
  for (const auto& path : {fifo, folder}) {
    try {
      PlotReader::OpenFile(path);
      ADD_FAILURE() << path << " opened";
    } catch (const PlotIoError& e) {
      EXPECT_EQ(e.kind(), PlotIoError::Kind::AccessDenied) << path;
      EXPECT_STREQ(e.what(), kTextFileAccessDenied);
    }
  }
  std::filesystem::remove(fifo);
  std::filesystem::remove(folder);
}

// Pen widths beyond what a canvas draws are drawn at the canvas's limit, the printer minimum
// included.
TEST(DamagedPlot, WidePensAreDrawnAtTheCanvasLimit) {
  struct PenCase {
    double scale;
    uint32_t width;
    int32_t printerMin;
    int32_t expected;
  };
  const PenCase cases[] = {
      {1.0, 100, 0, 100},     {1.0, 32767, 0, 32767}, {1.0, 32768, 0, 32767}, {4.0, 65535, 0, 32767},
      {0.5, 65535, 0, 32767}, {1e9, 1, 0, 32767},     {1.0, 3, 40000, 32767}, {1.0, 3, 20, 20},
  };
  for (const PenCase& c : cases) {
    RecordingCanvas canvas;
    PlotReader none(std::span<const uint8_t>{});
    Placement place;
    place.ScaleX = place.ScaleY = c.scale;
    PassInput in;
    in.toPrinter = c.printerMin > 0;
    in.printerMinPenWidth = c.printerMin;
    PassContext ctx{canvas, none, place, in, false, {}};
    SetPenWidth(ctx, c.width);
    EXPECT_EQ(canvas.pen.width, c.expected) << c.scale << " x " << c.width;
  }
}

}  // namespace
}  // namespace quarto
