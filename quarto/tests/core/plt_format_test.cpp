#include "core/plt_format.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/plt_walk.h"
#include "testsupport/plt_writer.h"

namespace quarto {
namespace {

using Bytes = std::vector<uint8_t>;
using test::PltWriter;

TEST(PltSignature, DetectsBothFormatsAndRejectsNearMisses) {
  struct Case {
    std::array<uint8_t, 4> bytes;
    std::optional<PltFormat> want;
  };
  const Case cases[] = {
      {{0x4E, 0x80, 0x00, 0x00}, PltFormat::Plt45},
      {{0x4E, 0x80, 0xFF, 0x12}, PltFormat::Plt45},
      {{0x80, 0x00, 0x03, 0xBE}, PltFormat::Plt85},
      {{0x80, 0x4E, 0x00, 0x00}, std::nullopt},  // PLT 4.5 magic in the wrong byte order
      {{0xBE, 0x03, 0x00, 0x80}, std::nullopt},  // PLT 8.5 magic little-endian
      {{0x80, 0x00, 0x03, 0xBF}, std::nullopt},
      {{0x4E, 0x81, 0x00, 0x00}, std::nullopt},
      {{0x00, 0x00, 0x00, 0x00}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectPltFormat(std::span<const uint8_t, 4>(c.bytes)), c.want);
}

TEST(PltSignature, ThreeByteFileIsAShortRead) {
  const Bytes three = {0x4E, 0x80, 0x00};
  PlotReader r(three);
  uint8_t sig[4];
  EXPECT_FALSE(r.Read(sig, 4));
  EXPECT_TRUE(r.AtEnd());
}

TEST(PltHeader, DecodesBothLayouts) {
  const Bytes h45 = {0x4E, 0x80, 0x2D, 0x00, 0xF6, 0xFF, 0x14, 0x00, 0x10, 0x27,
                     0x20, 0x4E, 0x02, 0x00, 0x05, 0x00, 0x03, 0x00, 0xAA, 0xBB};
  const auto a = DecodePlot45Header(h45.data());
  EXPECT_EQ(a.Magic, Plot45Magic);
  EXPECT_EQ(a.Version, 45);
  EXPECT_EQ(a.X1, -10);
  EXPECT_EQ(a.Y1, 20);
  EXPECT_EQ(a.X2, 10000);
  EXPECT_EQ(a.Y2, 20000);
  EXPECT_EQ(a.UnitCode, 2);
  EXPECT_EQ(a.Multiplier, 5);
  EXPECT_EQ(a.LayerNameCount, 3);
  EXPECT_EQ(Plt45::Unit(a), PlotUnit::Mils);

  const Bytes h85 = {0x80, 0x00, 0x03, 0xBE, 0x00, 0x00, 0x00, 0x55, 0xFF, 0xFF, 0xFF, 0xFE, 0x00, 0x00,
                     0x00, 0x02, 0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09,
                     0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
  const auto b = DecodePlot85Header(h85.data());
  EXPECT_EQ(b.Magic, Plot85Magic);
  EXPECT_EQ(b.Version, 0x55);
  EXPECT_EQ(b.X1, -2);
  EXPECT_EQ(b.Y1, 2);
  EXPECT_EQ(b.X2, INT32_MAX);
  EXPECT_EQ(b.Y2, INT32_MIN);
  EXPECT_EQ(b.UnitCode, 9);
  EXPECT_EQ(b.Unused28, 0x12345678u);
  EXPECT_EQ(Plt85::LayerNameCount(b), 0);  // negative count: no names
  EXPECT_EQ(Plt85::Unit(b), PlotUnit::Metric);
  EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
}

TEST(PltLayerName, NameEndsAtZeroOrFieldLength) {
  struct Case {
    Bytes rec;
    bool is45;
    std::string name;
    int32_t layer;
  };
  const Case cases[] = {
      {{'T', 'O', 'P', 0, 'x', 'y', 5, 0}, true, "TOP", 5},
      {{'B', 'O', 'T', 'T', 'O', 'M', 19, 0}, true, "BOTTOM", 19},  // no zero: 6 characters
      {{0, 'A', 'B', 0, 0, 0, 1, 0}, true, "", 1},
      // PLT 8.5: characters in byte order 3,2,1,0,7,6,5,4
      {{'P', 'O', 'T', 'S', 0, 0, 'I', 'D', 0, 0, 0, 0, 0, 0, 0, 3}, false, "STOPDI", 3},
      {{'D', 'C', 'B', 'A', 'H', 'G', 'F', 'E', 0, 0, 0, 0, 0, 0, 0, 16}, false, "ABCDEFGH", 16},
      {{'D', 'C', 0, 'A', 'H', 'G', 'F', 'E', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, false, "A", -1},
  };
  for (const auto& c : cases) {
    const auto rec = c.is45 ? Plt45::DecodeLayerName(c.rec.data()) : Plt85::DecodeLayerName(c.rec.data());
    EXPECT_EQ(rec.Name, c.name);
    EXPECT_EQ(rec.Layer, c.layer);
  }
}

TEST(PltBody, DecodesPlt45Records) {
  const Bytes line = {1, 3, 0xFE, 0xFF, 0x02, 0x00, 0x00, 0x80, 0xFF, 0x7F};
  const auto l = Plt45::DecodeLine(line.data());
  EXPECT_EQ(l.Style, 1);
  EXPECT_EQ(l.Width, 3);
  EXPECT_EQ(l.X1, -2);
  EXPECT_EQ(l.Y1, 2);
  EXPECT_EQ(l.X2, -32768);
  EXPECT_EQ(l.Y2, 32767);

  const Bytes bar = {9, 9, 1, 0, 2, 0, 3, 0, 4, 0};
  const auto b = Plt45::DecodeBar(bar.data());
  EXPECT_EQ(b.X1, 1);
  EXPECT_EQ(b.Y2, 4);

  const Bytes circle = {2, 4, 0x9C, 0xFF, 0x64, 0x00, 0xFF, 0xFF, 0, 0, 0x5A, 0x00, 0x0E, 0x01};
  const auto c = Plt45::DecodeCircle(circle.data());
  EXPECT_EQ(c.Cx, -100);
  EXPECT_EQ(c.Cy, 100);
  EXPECT_EQ(c.R, 65535u);  // radius is unsigned
  EXPECT_EQ(c.StartAngle, 90);
  EXPECT_EQ(c.EndAngle, 270);

  const Bytes arc = {0, 1, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0xFA, 0xFF};
  const auto a = Plt45::DecodeArc(arc.data());
  EXPECT_EQ(a.Cx, 1);
  EXPECT_EQ(a.Xs, 3);
  EXPECT_EQ(a.Ye, -6);

  const Bytes text = {0, 0, 10, 0, 20, 0, 0x05, 100, 2, 35};
  const auto t = Plt45::DecodeText(text.data());
  EXPECT_EQ(t.X, 10);
  EXPECT_EQ(t.Y, 20);
  EXPECT_EQ(t.Flags, 5);
  EXPECT_EQ(t.Height, 100u + 128u * 2u);  // the high byte weighs 128
  EXPECT_EQ(TextJustificationCode(PltFormat::Plt45, t.Justification), 35);

  const Bytes hole = {0, 0, 7, 0, 8, 0, 0x80, 0x80, 0, 0};
  const auto h = Plt45::DecodeHole(hole.data());
  EXPECT_EQ(h.Cx, 7);
  EXPECT_EQ(h.R, 0x8080u);

  const uint8_t layer[2] = {0, 19};
  EXPECT_EQ(Plt45::LayerOfOpLayer(layer), 16);
  const uint8_t head[2] = {0xAA, 7};
  EXPECT_EQ(Plt45::DecodePolygonWidth(head), 7);
}

TEST(PltBody, DecodesPlt85Records) {
  const Bytes line = {0, 5, 0, 2, 0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 0, 3, 0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0};
  const auto l = Plt85::DecodeLine(line.data());
  EXPECT_EQ(l.Width, 5);  // width comes first in PLT 8.5
  EXPECT_EQ(l.Style, 2);
  EXPECT_EQ(l.X1, -2);
  EXPECT_EQ(l.Y1, 3);
  EXPECT_EQ(l.X2, INT32_MAX);
  EXPECT_EQ(l.Y2, INT32_MIN);

  Bytes circle(28, 0);
  circle[1] = 9;
  circle[7] = 50;
  circle[11] = 60;
  circle[12] = 0xFF;
  circle[13] = 0xFF;
  circle[14] = 0xFF;
  circle[15] = 0xFF;
  const auto c = Plt85::DecodeCircle(circle.data());
  EXPECT_EQ(c.Width, 9);
  EXPECT_EQ(c.Cx, 50);
  EXPECT_EQ(c.Cy, 60);
  EXPECT_EQ(c.R, 0xFFFFFFFFu);

  Bytes text(20, 0);
  text[7] = 1;
  text[11] = 2;
  text[14] = 0x01;  // flags 0x0151: rotation 1, no mirror, justification value 42 (code 21: none)
  text[15] = 0x51;
  text[19] = 77;
  auto t = Plt85::DecodeText(text.data());
  EXPECT_EQ(t.X, 1);
  EXPECT_EQ(t.Y, 2);
  EXPECT_EQ(t.Flags & 3, 1);
  EXPECT_EQ(t.Justification, 42);
  EXPECT_EQ(t.Height, 77u);
  EXPECT_EQ(TextJustificationCode(PltFormat::Plt85, t.Justification), 0);
  EXPECT_EQ(TextJustificationCode(PltFormat::Plt85, 68), 34);
  EXPECT_EQ(TextJustificationCode(PltFormat::Plt85, 69), 0);

  const Bytes bar = {9, 9, 9, 9, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0, 0x80, 0, 0, 1};
  const auto b = Plt85::DecodeBar(bar.data());
  EXPECT_EQ(std::tuple(b.X1, b.Y1, b.X2, b.Y2), std::tuple(1, -1, 256, INT32_MIN + 1));

  Bytes arc(28, 0);
  arc[1] = 3;  // width
  arc[3] = 1;  // style
  for (int i = 0; i < 6; ++i) arc[static_cast<size_t>(7 + 4 * i)] = static_cast<uint8_t>(10 + i);
  arc[24] = 0xFF;  // end y negative
  const auto a = Plt85::DecodeArc(arc.data());
  EXPECT_EQ(std::tuple(a.Width, a.Style, a.Cx, a.Cy, a.Xs, a.Ys, a.Xe), std::tuple(3, 1, 10, 11, 12, 13, 14));
  EXPECT_EQ(a.Ye, static_cast<int32_t>(0xFF00000Fu));

  const Bytes hole = {7, 7, 7, 7, 0, 0, 0, 5, 0xFF, 0xFF, 0xFF, 0xFA, 0x80, 0, 0, 0, 7, 7, 7, 7};
  const auto h = Plt85::DecodeHole(hole.data());
  EXPECT_EQ(std::tuple(h.Cx, h.Cy, h.R), std::tuple(5, -6, 0x80000000u));
  const uint8_t head[4] = {0x01, 0x02, 0xAA, 0xBB};
  EXPECT_EQ(Plt85::DecodePolygonWidth(head), 0x0102);

  const uint8_t layer[4] = {0, 19, 0, 0};
  EXPECT_EQ(Plt85::LayerOfOpLayer(layer), 16);
  EXPECT_EQ(Plt85::KindOf(0x80000414), -1);  // only the counterpart of 0x80A5 is a circle
  EXPECT_EQ(Plt45::KindOf(0x80A4), KindCircle);
  EXPECT_EQ(Plt45::KindOf(0x80A5), KindCircle);
}

// String groups, decoded from raw bytes: characters, and where the reader stops.
TEST(PltText, StringGroupsBothEncodings) {
  struct Case {
    bool is45;
    Bytes groups;
    std::string text;
    size_t consumed;
  };
  const Case cases[] = {
      {true, {'A', 'B', 'C', 0, 0xEE}, "ABC", 4},                 // 3 characters: one group
      {true, {'A', 'B', 'C', 'D', 0, 0, 0, 0, 0xEE}, "ABCD", 8},  // 4 characters: two groups
      {true, {0, 'X', 'Y', 'Z', 0xEE}, "", 4},                    // empty, junk after the zero
      {true, {'a', 'b', 'c', 'd', 'e', 0, 'q', 'q'}, "abcde", 8},
      {false, {0, 0, 'B', 'A', 0, 0, 0, 0, 0xEE}, "AB", 8},
      {false, {'D', 'C', 'B', 'A', 'H', 'G', 'F', 'E', 0, 0, 0, 0, 0, 0, 0, 0}, "ABCDEFGH", 16},  // 8 chars
      {false, {'D', 0, 'B', 'A', 'H', 'G', 0, 'E', 0, 0, 0, 'I', 0, 0, 0, 0}, "ABDEGHI", 16},     // inner zeros
      {false, {0, 0, 0, 0, 'Z', 0, 0, 0, 0, 0, 0, 'Q', 0, 0, 0, 0}, "ZQ", 16},                    // only b4: goes on
  };
  for (const auto& c : cases) {
    PlotReader r(c.groups);
    std::string s;
    const bool ok = c.is45 ? ReadTextString<Plt45>(r, &s) : ReadTextString<Plt85>(r, &s);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s, c.text);
    EXPECT_EQ(r.Tell(), c.consumed);
  }
  const Bytes cut45 = {'A', 'B', 'C', 'D', 'E'};
  PlotReader r45(cut45);
  EXPECT_FALSE(ReadTextString<Plt45>(r45, nullptr));
  const Bytes cut85 = {'D', 'C', 'B', 'A', 'H', 'G', 'F', 'E', 0, 0};
  PlotReader r85(cut85);
  EXPECT_FALSE(ReadTextString<Plt85>(r85, nullptr));
}

TEST(PltLine45, FurtherVerticesEndAtARecordCodeOrEndOfData) {
  struct Case {
    uint32_t x2;
    Bytes after;
    size_t vertices;
    bool ok;
    uint64_t stop;
  };
  const Case cases[] = {
      {5, {0xA8, 0x80, 1, 0}, 0, true, 0},                    // next record right away
      {5, {1, 0, 2, 0, 3, 0, 4, 0, 0xA6, 0x80}, 2, true, 8},  // two vertices, then a code
      {5, {1, 0, 2, 0}, 1, true, 4},                          // vertices up to the end of the data
      {5, {0xFF, 0x81, 2, 0}, 0, true, 0},                    // 0x81FF still ends the list
      {5, {0x00, 0x82, 2, 0}, 1, true, 4},                    // 0x8200 is a vertex
      {0x8000, {1, 0, 2, 0}, 0, true, 0},                     // x2 in the code range: no vertices
      {5, {1, 0}, 0, false, 2},                               // a lone word at the end
  };
  for (const auto& c : cases) {
    PlotReader r(c.after);
    size_t n = 0;
    const bool ok = ReadLineVertices45(r, c.x2, [&](int32_t, int32_t) { ++n; });
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(n, c.vertices);
    EXPECT_EQ(r.Tell(), c.stop);
  }
}

// Records what a polygon walk reports.
struct PolygonLog {
  std::vector<std::pair<int32_t, int32_t>> outline, contour;
  std::vector<HoleBody> holes;
  int boundaries = 0;
  void Point(PolygonPart part, int32_t x, int32_t y) {
    (part == PolygonPart::Outline ? outline : contour).emplace_back(x, y);
  }
  void EndBoundary(PolygonPart) { ++boundaries; }
  void Hole(const HoleBody& h) { holes.push_back(h); }
};

// Writer and reader agree on every record of both formats.
class PltRoundTrip : public ::testing::TestWithParam<PltFormat> {};

template <class F>
void CheckRoundTrip(PltWriter& w) {
  const auto& d = w.bytes();
  const auto h = F::DecodeHeader(d.data());
  EXPECT_EQ(F::LayerNameCount(h), 2);
  const auto n1 = F::DecodeLayerName(d.data() + F::kHeaderSize);
  const auto n2 = F::DecodeLayerName(d.data() + F::kHeaderSize + F::kLayerNameSize);
  EXPECT_EQ(n1.Name, "TOP");
  EXPECT_EQ(n1.Layer, 1);
  EXPECT_EQ(n2.Name, F::kNameBytes == 6 ? "SILKSC" : "SILKSCRE");
  EXPECT_EQ(n2.Layer, 19);
}

TEST_P(PltRoundTrip, EveryRecordDecodesToWhatWasWritten) {
  const PltFormat fmt = GetParam();
  const bool is45 = fmt == PltFormat::Plt45;
  PltWriter w(fmt);
  w.Header({.version = 7, .x1 = -100, .y1 = -200, .x2 = 300, .y2 = 400});
  w.LayerName("TOP", 1);
  w.LayerName("SILKSCREEN", 19);
  const uint64_t layer = w.Layer(19);
  const uint64_t line = w.Line(1, 3, -5, 6, 7, -8, {{10, 11}, {-12, 13}});
  const uint64_t rect = w.Rect(2, 4, 1, 2, 3, 4);
  const uint64_t bar = w.Bar(-1, -2, -3, -4);
  const uint64_t circle = w.Circle(0, 2, -50, 60, 40000, 45, 300);
  const uint64_t arc = w.Arc(1, 1, 0, 0, 10, 0, 0, -10);
  const uint64_t text = w.Text(33, -44, 300, "Hello, board", 6, 27);
  const uint64_t poly = w.Polygon(
      5, {{0, 0}, {100, 0}, {100, -32640}},
      {test::PltContour{{{1, 1}, {2, 2}}, 0x807E}, test::PltHole{50, 50, 0x8080}, test::PltContour{{{3, 3}}, 0}},
      0x1234);
  const uint64_t skip = w.Skip();
  const auto& d = w.bytes();

  auto word = [&](uint64_t at) { return is45 ? Plt45::Word(&d[at]) : Plt85::Word(&d[at]); };
  const size_t ws = is45 ? 2 : 4;
  EXPECT_EQ(word(layer - ws), is45 ? Plt45::OpLayer : Plt85::OpLayer);
  EXPECT_EQ(is45 ? Plt45::LayerOfOpLayer(&d[layer]) : Plt85::LayerOfOpLayer(&d[layer]), 16);
  EXPECT_EQ(word(skip - ws), is45 ? Plt45::OpSkip : Plt85::OpSkip);
  EXPECT_EQ(d.size(), skip + (is45 ? 6 : 12));

  if (is45) {
    CheckRoundTrip<Plt45>(w);
  } else {
    CheckRoundTrip<Plt85>(w);
  }

  auto check = [&](auto traits) {
    using F = decltype(traits);
    EXPECT_EQ(F::KindOf(F::Word(&d[line - ws])), KindLine);
    const auto l = F::DecodeLine(&d[line]);
    EXPECT_EQ(std::tuple(l.Style, l.Width, l.X1, l.Y1, l.X2, l.Y2), std::tuple(1, 3, -5, 6, 7, -8));
    if constexpr (F::kWord == 2) {
      PlotReader r(d);
      r.Seek(line + 10);
      std::vector<std::pair<int32_t, int32_t>> v;
      EXPECT_TRUE(ReadLineVertices45(r, ReadLE16(&d[line + 6]), [&](int32_t x, int32_t y) { v.emplace_back(x, y); }));
      EXPECT_EQ(v, (std::vector<std::pair<int32_t, int32_t>>{{10, 11}, {-12, 13}}));
      EXPECT_EQ(r.Tell() + ws, rect);
    }
    EXPECT_EQ(F::KindOf(F::Word(&d[rect - ws])), KindRect);
    const auto rc = F::DecodeLine(&d[rect]);
    EXPECT_EQ(std::tuple(rc.Style, rc.Width, rc.X1, rc.Y2), std::tuple(2, 4, 1, 4));
    EXPECT_EQ(F::KindOf(F::Word(&d[bar - ws])), KindBar);
    const auto b = F::DecodeBar(&d[bar]);
    EXPECT_EQ(std::tuple(b.X1, b.Y1, b.X2, b.Y2), std::tuple(-1, -2, -3, -4));
    EXPECT_EQ(F::KindOf(F::Word(&d[circle - ws])), KindCircle);
    const auto c = F::DecodeCircle(&d[circle]);
    EXPECT_EQ(std::tuple(c.Width, c.Cx, c.Cy, c.R), std::tuple(2, -50, 60, 40000u));
    if constexpr (F::kWord == 2) {
      EXPECT_EQ(std::tuple(c.StartAngle, c.EndAngle), std::tuple(45, 300));
    }
    EXPECT_EQ(F::KindOf(F::Word(&d[arc - ws])), KindArc);
    const auto a = F::DecodeArc(&d[arc]);
    EXPECT_EQ(std::tuple(a.Cx, a.Cy, a.Xs, a.Ys, a.Xe, a.Ye), std::tuple(0, 0, 10, 0, 0, -10));
    EXPECT_EQ(F::KindOf(F::Word(&d[text - ws])), KindText);
    const auto t = F::DecodeText(&d[text]);
    EXPECT_EQ(std::tuple(t.X, t.Y, t.Flags & 7, t.Height), std::tuple(33, -44, 6, 300u));
    EXPECT_EQ(TextJustificationCode(F::kFormat, t.Justification), 27);
    {
      PlotReader r(d);
      r.Seek(text + F::kFixedBody[KindText]);
      std::string s;
      EXPECT_TRUE(ReadTextString<F>(r, &s));
      EXPECT_EQ(s, "Hello, board");
      EXPECT_EQ(r.Tell() + ws, poly);
    }
    EXPECT_EQ(F::KindOf(F::Word(&d[poly - ws])), KindPolygon);
    EXPECT_EQ(F::DecodePolygonWidth(&d[poly]), 5);
    PlotReader r(d);
    r.Seek(poly + F::kPolygonHead);
    PolygonLog log;
    EXPECT_TRUE((WalkPolygonBody<F>(r, log)));
    EXPECT_EQ(log.outline, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {100, 0}, {100, -32640}}));
    EXPECT_EQ(log.contour, (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {2, 2}, {3, 3}}));
    ASSERT_EQ(log.holes.size(), 1u);
    EXPECT_EQ(std::tuple(log.holes[0].Cx, log.holes[0].Cy, log.holes[0].R), std::tuple(50, 50, 0x8080u));
    EXPECT_EQ(log.boundaries, 3);
    EXPECT_EQ(r.Tell() + ws, skip);
  };
  if (is45) {
    check(Plt45{});
  } else {
    check(Plt85{});
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PltRoundTrip, ::testing::Values(PltFormat::Plt45, PltFormat::Plt85),
                         [](const auto& info) { return info.param == PltFormat::Plt45 ? "Plt45" : "Plt85"; });

TEST(PltPolygon, ShortDataAndStrayValuesAfterAHole) {
  // PLT 4.5: head, one point, a hole, two stray values, then the end marker and its trailing word.
  PltWriter w(PltFormat::Plt45);
  w.Header();
  const uint64_t at = w.Polygon(1, {{1, 2}}, {test::PltHole{5, 6, 7}});
  // Insert stray words between the hole body and OpPolyEnd.
  auto bytes = w.bytes();
  const size_t end_marker = bytes.size() - 4;
  bytes.insert(bytes.begin() + static_cast<long>(end_marker), {0x11, 0x00, 0x22, 0x00});
  {
    PlotReader r(bytes);
    r.Seek(at + 2);
    PolygonLog log;
    EXPECT_TRUE((WalkPolygonBody<Plt45>(r, log)));
    EXPECT_EQ(log.holes.size(), 1u);
    EXPECT_TRUE(r.AtEnd());
  }
  // Every cut shorter than the full body reports short data.
  for (size_t cut = at + 2; cut < bytes.size(); ++cut) {
    const Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    PlotReader r(part);
    r.Seek(at + 2);
    PolygonLog log;
    EXPECT_FALSE((WalkPolygonBody<Plt45>(r, log))) << cut;
  }
}

// Only x values are markers: y values equal to a marker code are points like any other, wherever
// they fall among the points read together.
TEST(PltPolygon, MarkerValuesAsYAreOrdinaryPoints) {
  std::vector<test::PltPoint> outline;
  for (int i = 0; i < 11; ++i) outline.push_back({i, static_cast<int16_t>(Plt45::OpContour + i % 3)});
  PltWriter w(PltFormat::Plt45);
  w.Header();
  const uint64_t at = w.Polygon(1, outline);
  PlotReader r(w.bytes());
  r.Seek(at + Plt45::kPolygonHead);
  PolygonLog log;
  EXPECT_TRUE((WalkPolygonBody<Plt45>(r, log)));
  ASSERT_EQ(log.outline.size(), outline.size());
  for (size_t i = 0; i < outline.size(); ++i) EXPECT_EQ(log.outline[i].second, outline[i].y) << i;
  EXPECT_EQ(log.boundaries, 1);
  EXPECT_TRUE(r.AtEnd());
}

}  // namespace
}  // namespace quarto
