#include "core/plot_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

#include "testsupport/plt_writer.h"
#include "testsupport/random_plot.h"
#include "testsupport/sample_board.h"
#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

using test::IndexOf;
using test::MakeRandomPlot;
using test::PltWriter;
using test::RandomPlot;
using Positions = std::vector<uint64_t>;
using Expected = test::IndexEntries;  // (kind, layer) -> body offsets

PlotScanResult ScanBytes(const PltWriter& w, LayerTable& table, bool russian = true) {
  PlotReader r(w.bytes());
  return ScanPlot(r, w.format(), table, russian);
}

class ScanBothFormats : public ::testing::TestWithParam<PltFormat> {
 protected:
  void SetUp() override { InitLayerGrid(table.Grid); }
  bool is45() const { return GetParam() == PltFormat::Plt45; }
  LayerTable table;
};

// Every kind on several layers: the index holds exactly the body offsets the writer reported, per
// kind and layer, in file order.
TEST_P(ScanBothFormats, IndexHoldsEveryBodyOffsetPerKindAndLayer) {
  PltWriter w(GetParam());
  w.Header({.version = 3, .x1 = -1000, .y1 = -1000, .x2 = 1000, .y2 = 1000});
  w.LayerName("TOP", 1);
  w.LayerName("BOT", 2);
  Expected want;
  w.Line(0, 1, 0, 0, 5, 5);  // before the first layer record: not drawn, not indexed
  w.Layer(1);
  want[{KindLine, 1}].push_back(w.Line(0, 1, 1, 2, 3, 4, {{5, 6}, {7, 8}}));
  want[{KindRect, 1}].push_back(w.Rect(1, 2, -10, -10, 10, 10));
  w.Skip();
  want[{KindBar, 1}].push_back(w.Bar(0, 0, 20, 20));
  want[{KindCircle, 1}].push_back(w.Circle(0, 1, 0, 0, 30));
  want[{KindCircle, 1}].push_back(w.Circle(0, 1, 5, 5, 3, 0, 90, /*alt_code=*/true));
  w.Word(0x1234);  // no record: passed over
  w.Layer(19);     // read as 16
  want[{KindArc, 16}].push_back(w.Arc(0, 1, 0, 0, 10, 0, 0, 10));
  want[{KindText, 16}].push_back(w.Text(1, 1, 50, "U1"));
  want[{KindPolygon, 16}].push_back(w.Polygon(1, {{0, 0}, {50, 0}, {50, 50}},
                                              {test::PltContour{{{1, 1}, {2, 2}, {3, 1}}}, test::PltHole{25, 25, 5}}));
  w.Layer(2);
  want[{KindLine, 2}].push_back(w.Line(0, 1, -1, -1, -2, -2));
  want[{KindText, 2}].push_back(w.Text(0, 0, 30, "ABCD"));
  want[{KindText, 2}].push_back(w.Text(0, 0, 30, "ABCDEFGH"));
  want[{KindBar, 2}].push_back(w.Bar(1, 1, 2, 2));
  w.Layer(1);
  want[{KindLine, 1}].push_back(w.Line(0, 1, 9, 9, 8, 8));
  want[{KindPolygon, 1}].push_back(w.Polygon(2, {{1, 1}, {2, 2}, {3, 1}}));
  w.Skip();

  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_EQ(IndexOf(res), want);
  EXPECT_EQ(res.Index.RecordCount(KindCircle, 1), 2u);
  EXPECT_EQ(res.Index.RecordCount(KindLine, 0), 0u);
  EXPECT_FALSE(res.Truncated);
  EXPECT_EQ(res.Version, 3);
}

// A string holding code-like byte pairs at even offsets is stepped over whole: no spurious
// records, and the record after it is not lost.
TEST_P(ScanBothFormats, TextBytesThatLookLikeCodesStartNoRecords) {
  PltWriter w(GetParam());
  w.Header();
  w.Layer(3);
  // PLT 4.5 codes 0x8095 (skip), 0x80A8 (line), 0x80A9 (layer), 0x807A (arc) as little-endian
  // pairs; for PLT 8.5 the big-endian bytes of its line code inside the groups.
  const std::string tricky = is45() ? std::string("\x95\x80\xA8\x80\xA9\x80\x7A\x80", 8) + "xy"
                                    : std::string("\x18\x04\x00\x80", 4) + "\x80\x00\x04\x18" + "zz";
  const uint64_t text = w.Text(10, 10, 20, tricky);
  const uint64_t bar = w.Bar(1, 2, 3, 4);
  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_EQ(IndexOf(res), (Expected{{{KindText, 3}, {text}}, {{KindBar, 3}, {bar}}}));
}

TEST_P(ScanBothFormats, BoundsTakeOnlyTheListedPointsInsideTheHeaderBox) {
  PltWriter w(GetParam());
  w.Header({.x1 = -100, .y1 = -100, .x2 = 100, .y2 = 100});
  w.Layer(1);
  // Line: first segment only; the further vertex far out is not taken.
  w.Line(0, 1, -10, 0, 0, 0, {{-90, 90}});
  // Polygon: outline vertices count, the contour and hole do not.
  w.Polygon(1, {{0, -20}, {5, -20}}, {test::PltContour{{{0, -95}, {1, -95}}}, test::PltHole{0, 0, 99}});
  // Circle box: centre 30,0 radius 5 gives x 25..35.
  w.Circle(0, 1, 30, 0, 5);
  // Arc: centre, start, end.
  w.Arc(0, 1, 0, 0, 0, 40, 0, 0);
  // A point with x inside and y outside the header box grows x only.
  w.Bar(50, 500, 0, 0);
  // Text: its anchor.
  w.Text(-30, 0, 10, "T");
  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_EQ(res.HeaderBounds, (PlotBounds{-100, 100, -100, 100}));
  EXPECT_EQ(res.DrawBounds, (PlotBounds{-30, 50, -20, 40}));
}

TEST_P(ScanBothFormats, HeaderCornersInReverseOrderAndNoRecords) {
  PltWriter w(GetParam());
  w.Header({.x1 = 10, .y1 = 4, .x2 = 3, .y2 = 20});
  w.LayerName("ONLY", 4);
  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_EQ(res.HeaderBounds, (PlotBounds{3, 10, 4, 20}));
  EXPECT_EQ(res.DrawBounds, (PlotBounds{7, 8, 12, 13}));
  EXPECT_EQ(res.Index.Total(), 0u);
  EXPECT_EQ(res.Orientation, PageOrientation::Portrait);
  EXPECT_FALSE(res.Truncated);
}

// Layer numbers outside 1..16 select no layer: their records are stepped over and not indexed;
// name records outside 1..16 leave the table alone.
TEST_P(ScanBothFormats, OutOfRangeLayersAreIgnored) {
  PltWriter w(GetParam());
  w.Header();
  w.LayerName("ZERO", 0);
  w.LayerName("BIG", 17);
  w.LayerName("HUGE", 200);
  w.LayerName("OK", 16);
  w.LayerName("L19", 19);  // layer 19 is drawn as 16, so its name goes there too
  Expected want;
  for (int bad : {17, 18, 20, 255, 0}) {
    w.Layer(bad);
    w.Line(0, 1, 1, 1, 2, 2);
    w.Text(0, 0, 10, "x");
    w.Polygon(1, {{1, 1}});
  }
  w.Layer(16);
  want[{KindLine, 16}].push_back(w.Line(0, 1, 1, 1, 2, 2));
  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_EQ(IndexOf(res), want);
  EXPECT_EQ(res.LayerNames.size(), 5u);
  EXPECT_EQ(table.LayerOrderCount, 1);
  EXPECT_EQ(table.LayerOrder[0], 16);
  EXPECT_EQ(table.Grid.At(ColNames, 16), "OK,L19,");
  EXPECT_EQ(table.Grid.At(ColNumber, 0), "   Номер");  // the header row is never written
}

// A body cut short by the end of the file: the walk stops there, keeps what it indexed, still
// finishes the steps after it, and reports the short file once.
TEST_P(ScanBothFormats, TruncatedTailsKeepWhatWasIndexed) {
  PltWriter full(GetParam());
  full.Header({.x1 = 0, .y1 = 0, .x2 = 400, .y2 = 100, .unit = is45() ? 2 : 8});
  full.LayerName("TOP", 1);
  full.Layer(1);
  const uint64_t first = full.Bar(10, 10, 20, 20);
  const uint64_t last_start = full.size();
  // Cuts at these sizes fall between complete records (a PLT 4.5 line may end after any vertex).
  std::vector<size_t> complete;
  full.Text(5, 5, 10, "LONG TEXT");
  complete.push_back(full.size());
  full.Polygon(1, {{1, 1}, {2, 2}}, {test::PltHole{1, 1, 1}});
  complete.push_back(full.size());
  const uint64_t line = full.Line(0, 1, 1, 1, 2, 2, {{3, 3}});
  if (is45()) complete.push_back(line + 10);
  complete.push_back(full.size());
  full.Layer(2);
  const size_t end = full.size();
  for (size_t cut = last_start + 1; cut < end; ++cut) {
    PltWriter w = full;
    w.Truncate(cut);
    LayerTable t;
    InitLayerGrid(t.Grid);
    const PlotScanResult res = ScanBytes(w, t, false);
    SCOPED_TRACE(cut);
    EXPECT_EQ(res.Index.Positions(KindBar, 1).size(), 1u);
    EXPECT_EQ(res.Index.Positions(KindBar, 1)[0], first);
    // Whatever is indexed lies wholly inside the data.
    for (int k = 0; k < kPrimitiveKindCount; ++k)
      for (uint64_t p : res.Index.Positions(k, 1)) EXPECT_LT(p, cut);
    // Steps after the walk: bounds, statuses, orientation, N21, table.
    EXPECT_EQ(res.DrawBounds.MaxX, 201);
    EXPECT_EQ(res.Orientation, PageOrientation::Landscape);
    EXPECT_TRUE(res.PseudoInchAvailable);
    EXPECT_EQ(t.Grid.At(ColStatus, 1), "   ON");
    EXPECT_EQ(t.LayerOrderCount, 1);
    EXPECT_EQ(res.Truncated, std::find(complete.begin(), complete.end(), cut) == complete.end());
  }
  // A cut inside the header fails before anything is changed; inside the names it is short.
  LayerTable t;
  InitLayerGrid(t.Grid);
  AddLayerName(t.Grid, 9, "KEEP", true);
  PltWriter w = full;
  w.Truncate(is45() ? 19 : 39);
  EXPECT_THROW(ScanBytes(w, t), PlotIoError);
  EXPECT_EQ(t.Grid.At(ColNames, 9), "KEEP,");
  w = full;
  w.Truncate(is45() ? 25 : 50);
  EXPECT_TRUE(ScanBytes(w, t).Truncated);
}

// The sample board that plt-samples writes scans whole, with every kind and bars on two layers.
TEST_P(ScanBothFormats, SampleBoardUsesEveryKind) {
  PltWriter w(GetParam());
  test::WriteSampleBoard(w, is45() ? 1 : 100);
  const PlotScanResult res = ScanBytes(w, table);
  EXPECT_FALSE(res.Truncated);
  for (int k = 0; k < kPrimitiveKindCount; ++k) {
    size_t n = 0;
    for (int l = 1; l <= kMaxLayer; ++l) n += res.Index.RecordCount(k, l);
    EXPECT_GT(n, 0u) << "kind " << k;
  }
  int bar_layers = 0;
  for (int l = 1; l <= kMaxLayer; ++l) bar_layers += res.Index.RecordCount(KindBar, l) > 0;
  EXPECT_GE(bar_layers, 2);
  EXPECT_EQ(table.LayerOrderCount, 5);
  EXPECT_EQ(res.Orientation, PageOrientation::Landscape);
  EXPECT_LT(res.DrawBounds.MinX, res.DrawBounds.MaxX - 1);
}

// Damaged copies of the sample board (bytes overwritten, tails cut) never make the scan read past
// the data, and every indexed body lies wholly inside it.
TEST_P(ScanBothFormats, DamagedFilesStayInsideTheData) {
  PltWriter board(GetParam());
  test::WriteSampleBoard(board, is45() ? 1 : 100);
  const auto& fixed = is45() ? Plt45::kFixedBody : Plt85::kFixedBody;
  uint32_t seed = 7;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = board.bytes();
    for (int k = 0; k < 6; ++k) {
      seed = seed * 1664525u + 1013904223u;
      const size_t at = 40 + (seed >> 8) % (bytes.size() - 40);
      bytes[at] = static_cast<uint8_t>(seed >> 3);
    }
    bytes.resize(bytes.size() - (seed >> 12) % 64);
    PlotReader r(bytes);
    LayerTable t;
    const PlotScanResult res = ScanPlot(r, GetParam(), t, true);
    for (int k = 0; k < kPrimitiveKindCount; ++k)
      for (int l = 0; l < kLayerSlots; ++l)
        for (uint64_t p : res.Index.Positions(k, l)) ASSERT_LE(p + fixed[static_cast<size_t>(k)], bytes.size());
    EXPECT_EQ(res.Index.RecordCount(KindLine, 0), 0u);
  }
}

// Short random plots, whose bounds do not fill the header box: every point counts.
TEST_P(ScanBothFormats, RandomShortPlotsMatchTheOracle) {
  for (uint32_t seed = 1; seed <= 3000; ++seed) {
    const RandomPlot p = MakeRandomPlot(GetParam(), seed, 1 + seed % 97, 0);
    LayerTable t;
    const PlotScanResult res = ScanBytes(p.w, t);
    ASSERT_FALSE(res.Truncated) << seed;
    ASSERT_EQ(res.DrawBounds, p.want) << seed;
    ASSERT_EQ(IndexOf(res), p.index) << seed;
  }
}

// Long random plots scanned from memory and from a file whose records straddle the reader's block
// edges at many places (the leading stray words shift them): both find what was written, and cut
// short anywhere, both readers still see the same plot.
TEST_P(ScanBothFormats, RandomLongPlotsMatchTheOracleAcrossFileBlocks) {
  const testsupport::TempDir dir;
  const auto path = dir / "random.plt";
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const RandomPlot p = MakeRandomPlot(GetParam(), seed, 700 * 1024, static_cast<int>(seed) * 3);
    p.w.Save(path);
    SCOPED_TRACE(seed);
    LayerTable t;
    const PlotScanResult from_memory = ScanBytes(p.w, t);
    const PlotScanResult from_file = ScanPlotFile(path, GetParam(), t, true);
    for (const PlotScanResult* res : {&from_memory, &from_file}) {
      EXPECT_FALSE(res->Truncated);
      EXPECT_EQ(res->DrawBounds, p.want);
      EXPECT_EQ(IndexOf(*res), p.index);
    }
    for (size_t cut : {size_t{256 * 1024 - 1}, size_t{256 * 1024 + 7}, p.w.size() - 3}) {
      PltWriter short_plot = p.w;
      short_plot.Truncate(cut);
      short_plot.Save(path);
      const PlotScanResult a = ScanBytes(short_plot, t);
      const PlotScanResult b = ScanPlotFile(path, GetParam(), t, true);
      EXPECT_EQ(a.Truncated, b.Truncated) << cut;
      EXPECT_EQ(a.DrawBounds, b.DrawBounds) << cut;
      EXPECT_EQ(IndexOf(a), IndexOf(b)) << cut;
    }
  }
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Formats, ScanBothFormats, ::testing::Values(PltFormat::Plt45, PltFormat::Plt85),
                         [](const auto& info) { return info.param == PltFormat::Plt45 ? "Plt45" : "Plt85"; });

TEST(Scan, CircleBoxUsesWideArithmetic) {
  // PLT 8.5: cx + r with a radius above INT32_MAX and cx - r below INT32_MIN stay exact.
  PltWriter w(PltFormat::Plt85);
  w.Header({.x1 = INT32_MIN, .y1 = INT32_MIN, .x2 = INT32_MAX, .y2 = INT32_MAX});
  w.Layer(1);
  w.Circle(0, 1, INT32_MAX, INT32_MIN, 0xFFFFFFFFu);
  w.Circle(0, 1, -5, 7, 0x80000000u);
  LayerTable t;
  const PlotScanResult res = ScanBytes(w, t);
  // Circle 1 gives x INT32_MIN and y INT32_MAX; circle 2 gives y 7 - 2^31 and x 2^31 - 5; every
  // other coordinate lies outside the header box.
  EXPECT_EQ(res.DrawBounds, (PlotBounds{INT32_MIN, 2147483643, -2147483641, INT32_MAX}));
}

TEST(Scan, ManyRecordsOfOneKindOnOneLayerAreAllIndexed) {
  PltWriter w(PltFormat::Plt45);
  w.Header();
  w.Layer(7);
  Positions want;
  for (int i = 0; i < 70000; ++i) want.push_back(w.Bar(i % 100, 0, 1, 1));
  LayerTable t;
  const PlotScanResult res = ScanBytes(w, t);
  const auto got = res.Index.Positions(KindBar, 7);
  ASSERT_EQ(got.size(), 70000u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), want.begin()));
}

TEST(Scan, LayerTableFilledFromNames) {
  PltWriter w(PltFormat::Plt85);
  w.Header();
  w.LayerName("A", 5);
  w.LayerName("B", 5);
  w.LayerName("ABCDEFGH", 2);      // 8 characters, no zero byte
  w.LayerName("\xD2\xCE\xCF", 3);  // Cyrillic in the Windows code page
  LayerTable t;
  InitLayerGrid(t.Grid);
  AddLayerName(t.Grid, 9, "OLD", true);
  MoveLayerRow(t.Grid, 1, 16);  // rows dragged before the open
  const PlotScanResult res = ScanBytes(w, t, true);
  for (int row = 1; row <= 16; ++row) EXPECT_EQ(RowLayerNumber(t.Grid, row), row);
  EXPECT_EQ(t.Grid.At(ColNames, 5), "A,B,");
  EXPECT_EQ(t.Grid.At(ColNames, 2), "ABCDEFGH,");
  EXPECT_EQ(t.Grid.At(ColNames, 3), "ТОП,");
  EXPECT_EQ(t.Grid.At(ColNames, 9), "");
  EXPECT_EQ(t.Grid.At(ColStatus, 5), "   Вкл.");
  EXPECT_EQ(t.Grid.At(ColStatus, 9), "   Выкл.");
  // ApplyLayerTable ran: layer number order, layer 2 first (on top).
  EXPECT_EQ(std::vector<int>(t.LayerOrder.begin(), t.LayerOrder.begin() + t.LayerOrderCount),
            (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(res.LayerNames.at(3).Name, "\xD2\xCE\xCF");
}

TEST(Scan, NegativeNameCountMeansRecordsAtOffset40) {
  PltWriter w(PltFormat::Plt85);
  w.Header();
  w.SetLayerNameCount(-3);
  w.Layer(1);
  const uint64_t bar = w.Bar(1, 1, 2, 2);
  EXPECT_EQ(bar, 52u);  // header 40, layer record 8, bar code 4
  LayerTable t;
  const PlotScanResult res = ScanBytes(w, t);
  EXPECT_EQ(IndexOf(res), (Expected{{{KindBar, 1}, {bar}}}));
}

TEST(Scan, UnitsStatusTextsAndPseudoInch) {
  struct Case {
    PltFormat format;
    int unit;
    PlotUnit want;
    bool n21;
    const char* ru;
    const char* en;
  };
  const Case cases[] = {
      {PltFormat::Plt45, 2, PlotUnit::Mils, true, "Псевдодюйм", "Mils"},
      {PltFormat::Plt45, 7, PlotUnit::Metric, false, "Метрика", "Metrics"},
      {PltFormat::Plt45, 3, PlotUnit::Other, false, nullptr, nullptr},
      {PltFormat::Plt85, 8, PlotUnit::Mils, true, "Псевдодюйм", "Mils"},
      {PltFormat::Plt85, 9, PlotUnit::Metric, false, "Метрика", "Metrics"},
      {PltFormat::Plt85, 2, PlotUnit::Other, false, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    PltWriter w(c.format);
    w.Header({.version = c.format == PltFormat::Plt45 ? 45 : -2, .unit = c.unit});
    LayerTable t;
    const PlotScanResult res = ScanBytes(w, t);
    EXPECT_EQ(res.Unit, c.want);
    EXPECT_EQ(res.PseudoInchAvailable, c.n21);
    EXPECT_EQ(UnitPanelText(res.Unit, true).value_or(""), c.ru ? c.ru : "");
    EXPECT_EQ(UnitPanelText(res.Unit, false).value_or(""), c.en ? c.en : "");
    EXPECT_EQ(FormatPanelText(c.format), c.format == PltFormat::Plt45 ? "PLT 4" : "PLT 8");
    EXPECT_EQ(VersionPanelText(res), c.format == PltFormat::Plt45 ? "45" : "-2");
  }
}

TEST(Scan, OrientationFromTheHeaderBoxShape) {
  struct Case {
    int64_t x1, y1, x2, y2;
    PageOrientation want;
  };
  const Case cases[] = {
      {0, 0, 200, 100, PageOrientation::Landscape}, {0, 0, 100, 100, PageOrientation::Portrait},
      {0, 0, 100, 200, PageOrientation::Portrait},  {0, 5, 100, 5, PageOrientation::Landscape},  // zero height
      {7, 5, 7, 5, PageOrientation::Portrait},      {100, 0, -100, 50, PageOrientation::Landscape},
  };
  for (const auto& c : cases) EXPECT_EQ(OrientationOf(c.x1, c.y1, c.x2, c.y2), c.want);
}

TEST(Scan, FileScanOpensReadsAndReportsMissingFiles) {
  const testsupport::TempDir dir;
  const auto path = dir / "scan.plt";
  PltWriter w(PltFormat::Plt45);
  w.Header();
  w.LayerName("TOP", 1);
  w.Layer(1);
  const uint64_t line = w.Line(0, 1, 1, 1, 2, 2);
  w.Save(path);
  LayerTable t;
  const PlotScanResult res = ScanPlotFile(path, PltFormat::Plt45, t, true);
  EXPECT_EQ(IndexOf(res), (Expected{{{KindLine, 1}, {line}}}));
  std::filesystem::remove(path);
  EXPECT_THROW(ScanPlotFile(path, PltFormat::Plt45, t, true), PlotIoError);
  EXPECT_THROW(ScanPlotFile(std::filesystem::temp_directory_path(), PltFormat::Plt45, t, true), PlotIoError);
}

}  // namespace
}  // namespace quarto
