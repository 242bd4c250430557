// Texts in the built-in stroke font: the decoding of the strings, the glyph index of both formats,
// and the layout recorded call by call. Expected points are worked out by hand from the glyphs
// whose bytes are fixed (space, A, g, plus-minus, 0x7F, the rectangle), or from plain geometry.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/pcad_font.h"
#include "core/stroke_text.h"
#include "core/text_records.h"
#include "testsupport/plt_writer.h"
#include "testsupport/recording_canvas.h"
#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

using Bytes = std::vector<uint8_t>;

// ---- Strings ---------------------------------------------------------------------------------------

struct Decoded {
  bool whole;
  std::string chars;
  bool overbar;
  uint64_t consumed;
};

Decoded Decode(PltFormat format, const Bytes& bytes) {
  PlotReader r(bytes);
  DecodedText t;
  const bool whole = format == PltFormat::Plt45 ? ReadText45(r, t) : ReadText85(r, t);
  return {whole, t.chars, t.overbar, r.Tell()};
}

TEST(TextString, DecodingOfBothFormats) {
  struct Case {
    const char* what;
    PltFormat format;
    Bytes bytes;
    std::string chars;
    bool overbar;
    uint64_t consumed;
  };
  const auto P45 = PltFormat::Plt45, P85 = PltFormat::Plt85;
  const Case cases[] = {
      {"byte after the zero read and dropped", P45, {0x41, 0x42, 0x00, 0x7A, 0x99}, "AB", false, 4},
      {"four characters take two groups", P45, {0x41, 0x42, 0x43, 0x44, 0, 0, 0, 0, 0x99}, "ABCD", false, 8},
      {"empty", P45, {0, 'x', 'y', 'z'}, "", false, 4},
      {"b4 zero ends the string", P85, {0, 0, 0x42, 0x41, 0, 0, 0, 0, 0x99}, "AB", false, 8},
      {"only b4 set goes on", P85, {0, 0, 0, 0, 'Z', 0, 0, 0, 0, 0, 0, 'Q', 0, 0, 0, 0}, "ZQ", false, 16},
      {"trailing apostrophe is the bar", P45, {'A', '\'', 0, 0}, "A", true, 4},
      {"a lone apostrophe", P45, {'\'', 0, 0, 0}, "", true, 4},
      {"only the last apostrophe", P45, {'\'', '\'', 0, 0}, "'", true, 4},
      {"no escapes in PLT 4.5", P45, {'$', '$', 'p', 0}, "$$p", false, 4},
      {"plus-minus", P85, {'p', '$', '$', 'A', 0, 0, 0, 0}, "A\xB1", false, 8},
      {"a second $$p is kept",
       P85,
       {'p', '$', '$', 'x', 'p', '$', '$', 'y', 0, 0, 0, 0, 0, 0, 0, 0},
       "x\xB1y$$p",
       false,
       16},
      {"diameter and degree", P85, {'x', 'd', '$', '$', 0, 'a', '$', '$'}, "\xF8x\xB0", false, 8},
      {"escape then apostrophe: sign and bar", P85, {'a', '$', '$', '5', 0, 0, 0, '\''}, "5\xB0", true, 8},
      {"an apostrophe before the end stays", P85, {'$', '$', '\'', 'A', 0, 0, 0, 'p'}, "A'\xB1", false, 8},
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.format, c.bytes);
    EXPECT_TRUE(d.whole) << c.what;
    EXPECT_EQ(d.chars, c.chars) << c.what;
    EXPECT_EQ(d.overbar, c.overbar) << c.what;
    EXPECT_EQ(d.consumed, c.consumed) << c.what;
  }
}

TEST(TextString, ACutStringKeepsTheCharactersReadBeforeTheCut) {
  struct Case {
    PltFormat format;
    Bytes bytes;
    std::string chars;
  };
  const Case cases[] = {
      {PltFormat::Plt45, {'A', 'B', 'C', 'D', 'E', '\''}, "ABCDE'"},  // no bar: the string never ended
      {PltFormat::Plt45, {'A', 'B', 0}, "AB"},                        // the group itself is cut
      {PltFormat::Plt45, {}, ""},
      {PltFormat::Plt85, {'D', 'C', 'B', 'A', 'H', 'G', 'F', 'E', 'p', '$', '$', 'I', 'x'}, "ABCDEFGHI$$p"},
      {PltFormat::Plt85, {'D', 'C', 'B', 'A', 'H', 'G', 'F', 'E', 0, '$', '$'}, "ABCDEFGH"},
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.format, c.bytes);
    EXPECT_FALSE(d.whole);
    EXPECT_EQ(d.chars, c.chars);
    EXPECT_FALSE(d.overbar);
    EXPECT_EQ(d.consumed, c.bytes.size());
  }
}

// ---- Glyph index --------------------------------------------------------------------------------------

TEST(GlyphIndex, BothFormats) {
  struct Case {
    int code, g45, g85;
  };
  const Case cases[] = {
      {0x20, 0, 0},
      {0x41, 33, 33},
      {0x67, 71, 71},
      {0x7E, 94, 94},
      {0x7F, 95, 95},
      {0x80, 96, 96},
      {0x9F, 127, 127},
      {0xA0, 128, 128},
      {0xAF, 143, 143},
      {0xB0, 96, 165},
      {0xB1, 97, 163},
      {0xB2, 98, 98},
      {0xDF, 143, 143},
      {0xE0, 144, 144},
      {0xEF, 159, 159},
      {0xF0, 160, 160},
      {0xF1, 161, 161},
      {0xF2, 162, 162},
      {0xF8, 162, 164},
      {0xFD, 162, 162},
      {0xFE, 97, 97},
      {0xFF, 162, 162},
      {0x01, kNoGlyph, kNoGlyph},
      {0x1F, kNoGlyph, kNoGlyph},
      {0x00, kNoGlyph, kNoGlyph},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GlyphIndex45(uint8_t(c.code)), c.g45) << std::hex << c.code;
    EXPECT_EQ(GlyphIndex85(uint8_t(c.code)), c.g85) << std::hex << c.code;
  }
  for (int code = 0; code < 256; ++code) {
    const int g = GlyphIndex45(uint8_t(code));
    EXPECT_TRUE(g == kNoGlyph || (g >= 0 && g < kPcadGlyphCount)) << code;
  }
}

// ---- Layout ----------------------------------------------------------------------------------------

Placement Place(double scale, int signX, int signY, double offX = 0, double offY = 0) {
  Placement p;
  p.ScaleX = p.ScaleY = scale;
  p.SignX = signX, p.SignY = signY;
  p.OffsetX = offX, p.OffsetY = offY;
  return p;
}

std::vector<std::string> Draw(const Placement& pl, const std::string& chars, bool overbar, TextPlacement at,
                              GlyphMapping map = GlyphIndex45) {
  RecordingCanvas c;
  DrawStrokeText(c, pl, DecodedText{chars, overbar}, at, map);
  return c.Lines(false);
}

std::string Op(const char* op, int x, int y) {
  return std::string(op) + " " + std::to_string(x) + " " + std::to_string(y);
}

// The strokes of A, (25,50)-(25,175)-(50,200)-(100,200)-(125,175)-(125,50) and (25,125)-(125,125).
const std::vector<std::pair<int, int>> kA = {{25, 50},   {25, 175}, {50, 200}, {100, 200},
                                             {125, 175}, {125, 50}, {25, 125}, {125, 125}};
std::vector<std::string> StrokesOfA(auto&& device) {
  std::vector<std::string> out;
  for (size_t i = 0; i < kA.size(); ++i) {
    const auto [x, y] = device(kA[i].first, kA[i].second);
    out.push_back(Op(i == 0 || i == 6 ? "MoveTo" : "LineTo", x, y));
  }
  return out;
}

TEST(StrokeLayout, ARotatedMirroredAndUnderEverySignPair) {
  // h = 200 (one file unit a font unit), scale 1, anchor (10, 20), offsets (1000, 2000). The
  // expected offset of a glyph point is plain geometry: mirror the glyph across its vertical axis,
  // then turn it by r quarter turns counter-clockwise.
  for (int signX : {1, -1})
    for (int signY : {1, -1})
      for (int flags = 0; flags < 8; ++flags) {
        const Placement pl = Place(1, signX, signY, 1000, 2000);
        const auto expected = StrokesOfA([&](int gx, int gy) {
          if (flags & 4) gx = -gx;
          for (int q = 0; q < (flags & 3); ++q) std::tie(gx, gy) = std::pair(-gy, gx);
          return std::pair((gx + 10) * signX + 1000, (gy + 20) * signY + 2000);
        });
        EXPECT_EQ(Draw(pl, "A", false, {10, 20, uint16_t(flags), 34, 200}), expected)
            << "flags " << flags << " signs " << signX << " " << signY;
      }
  // Mirrored at r = 0 the text runs toward file -x: the second letter starts a cell to the left.
  const auto two = Draw(Place(1, 1, 1), "AA", false, {0, 0, 4, 34, 200});
  ASSERT_EQ(two.size(), 2 * kA.size());
  EXPECT_EQ(two[0], "MoveTo -25 50");
  EXPECT_EQ(two[kA.size()], "MoveTo -175 50");
  // The same by hand for r = 1 on the screen's signs: the first point (25, 50) lies 50 to the left
  // of the anchor and 25 above it in file units, so at device (1000 + 10 - 50, 2000 - 20 - 25).
  EXPECT_EQ(Draw(Place(1, 1, -1, 1000, 2000), "A", false, {10, 20, 1, 34, 200})[0], "MoveTo 960 1955");
}

TEST(StrokeLayout, JustificationInBothRotationClasses) {
  // Scale 0.5 and h = 200: w = 75 and K = 125 device units, both odd, so half() truncates toward
  // zero; the anchor (1000, 2000) is (500, 1000). The first point of A, (25, 50), is (12.5, 25)
  // from the justified anchor in the directions of the rotation; halves round to even.
  const Placement pl = Place(0.5, 1, 1);
  struct Case {
    int j;
    std::pair<int, int> r0, r2, r1;
  };
  const Case cases[] = {
      {25, {476, 900}, {524, 1100}, {600, 976}},  {26, {476, 1025}, {524, 975}, {475, 976}},
      {27, {476, 963}, {524, 1037}, {537, 976}},  {33, {512, 900}, {488, 1100}, {600, 1012}},
      {34, {512, 1025}, {488, 975}, {475, 1012}}, {35, {512, 963}, {488, 1037}, {537, 1012}},
      {41, {438, 900}, {562, 1100}, {600, 938}},  {42, {438, 1025}, {562, 975}, {475, 938}},
      {43, {438, 963}, {562, 1037}, {537, 938}},  {0, {512, 1025}, {488, 975}, {475, 1012}},
      {28, {512, 1025}, {488, 975}, {475, 1012}}, {44, {512, 1025}, {488, 975}, {475, 1012}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Draw(pl, "A", false, {1000, 2000, 0, c.j, 200})[0], Op("MoveTo", c.r0.first, c.r0.second)) << c.j;
    EXPECT_EQ(Draw(pl, "A", false, {1000, 2000, 2, c.j, 200})[0], Op("MoveTo", c.r2.first, c.r2.second)) << c.j;
    EXPECT_EQ(Draw(pl, "A", false, {1000, 2000, 1, c.j, 200})[0], Op("MoveTo", c.r1.first, c.r1.second)) << c.j;
  }
}

TEST(StrokeLayout, OverbarOfBothRotationClasses) {
  const Placement pl = Place(1, 1, 1);
  // "A'" at r = 0: the text ends at x = 150; the bar at y = 225 runs from 125 back to 25.
  auto bar = Draw(pl, "A", true, {0, 0, 0, 34, 200});
  ASSERT_EQ(bar.size(), kA.size() + 2);
  EXPECT_EQ(std::vector(bar.end() - 2, bar.end()), (std::vector<std::string>{"MoveTo 125 225", "LineTo 25 225"}));
  // r = 1: the text runs up to y = 150, the tops of the letters face -x: the bar at x = -225.
  bar = Draw(pl, "A", true, {0, 0, 1, 34, 200});
  EXPECT_EQ(std::vector(bar.end() - 2, bar.end()), (std::vector<std::string>{"MoveTo -225 125", "LineTo -225 25"}));
  // A lone apostrophe: only the bar, 50 long, from 25 before to 25 after the justified anchor.
  EXPECT_EQ(Draw(pl, "", true, {0, 0, 0, 34, 200}), (std::vector<std::string>{"MoveTo -25 225", "LineTo 25 225"}));
  EXPECT_EQ(Draw(pl, "", true, {0, 0, 0, 41, 200}), (std::vector<std::string>{"MoveTo -25 -25", "LineTo 25 -25"}));
  EXPECT_EQ(Draw(pl, "", true, {0, 0, 3, 34, 200}), (std::vector<std::string>{"MoveTo 225 25", "LineTo 225 -25"}));
}

TEST(StrokeLayout, AdvanceIsRoundedAfterEveryCharacter) {
  // 150 * ScaleX * s = 2.5: each advance rounds half to even, so from Ax = 7 the characters start
  // at 7, 10 (9.5) and 12 (12.5) and the text ends at 14 (14.5), while w = round(7.5) = 8. The bar
  // therefore runs from 14 back to 6, one unit before the first character.
  Placement pl = Place(1.0 / 3, 1, 1);
  const TextPlacement at{21, 30, 0, 34, 10};
  ASSERT_EQ(150 * pl.ScaleX * (at.height / 200.0), 2.5);
  ASSERT_EQ(21 * pl.ScaleX, 7.0);
  std::vector<std::string> moves;
  for (const auto& line : Draw(pl, "AAA", true, at))
    if (line.rfind("MoveTo", 0) == 0) moves.push_back(line);
  // The first point of each stroke of A lies 25/60 to the right, so on the character's start;
  // y: Ay = 10, plus 50/60 and 125/60.
  EXPECT_EQ(moves, (std::vector<std::string>{"MoveTo 7 11", "MoveTo 7 12", "MoveTo 10 11", "MoveTo 10 12",
                                             "MoveTo 12 11", "MoveTo 12 12", "MoveTo 14 14"}));
  EXPECT_EQ(Draw(pl, "AAA", true, at).back(), "LineTo 6 14");
}

TEST(StrokeLayout, EmptyTextNoGlyphCodesAndTheGivenGlyphs) {
  const Placement pl = Place(1, 1, 1);
  EXPECT_TRUE(Draw(pl, "", false, {0, 0, 0, 25, 200}).empty());
  EXPECT_TRUE(Draw(pl, " ", false, {0, 0, 0, 34, 200}).empty());
  // 0x01 has no glyph but advances a cell: the A after it starts at 150.
  for (GlyphMapping map : {GlyphIndex45, GlyphIndex85})
    EXPECT_EQ(Draw(pl,
                   "\x01"
                   "A",
                   false, {0, 0, 0, 34, 200}, map)[0],
              "MoveTo 175 50");
  // g at half scale, and 0x7F, each after a space.
  EXPECT_EQ(Draw(Place(0.5, 1, 1), " g", false, {0, 0, 0, 34, 200}),
            (std::vector<std::string>{"MoveTo 138 25", "LineTo 100 25", "LineTo 88 38", "LineTo 88 62", "LineTo 100 75",
                                      "LineTo 138 75", "LineTo 138 12", "LineTo 125 0", "LineTo 100 0"}));
  EXPECT_EQ(Draw(pl, " \x7F", false, {0, 0, 0, 34, 200}),
            (std::vector<std::string>{"MoveTo 170 20", "LineTo 250 100"}));
  // The plus-minus sign is 0xB1 in PLT 8.5; in PLT 4.5 0xB1 is Б, and 0xF8 the rectangle there.
  EXPECT_EQ(Draw(pl, "\xB1", false, {0, 0, 0, 34, 200}, GlyphIndex85),
            (std::vector<std::string>{"MoveTo 25 130", "LineTo 125 130", "MoveTo 75 180", "LineTo 75 80",
                                      "MoveTo 25 50", "LineTo 125 50"}));
  EXPECT_NE(Draw(pl, "\xB1", false, {0, 0, 0, 34, 200}, GlyphIndex45),
            Draw(pl, "\xB1", false, {0, 0, 0, 34, 200}, GlyphIndex85));
  const auto box = Draw(pl, "\xF8", false, {0, 0, 0, 34, 200}, GlyphIndex45);
  ASSERT_EQ(box.size(), 5u);
  EXPECT_EQ(box.front(), "MoveTo 25 25");
  EXPECT_EQ(box.back(), "LineTo 25 25");
}

// The walk over a glyph's 33 bytes, on glyphs the font never holds: every walk ends inside them.
TEST(StrokeLayout, GlyphWalkStopsAtTheLastByte) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  std::vector<uint8_t> noEnd(33, 7);  // sixteen points, then a stray byte where 255 belongs
  std::vector<uint8_t> liftAtEnd(33, 7);
  liftAtEnd[30] = kPcadStrokeEnd;  // fifteen points, a pen lift, one more point in bytes 31-32
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string walk;
  } cases[] = {
      {"no end byte", noEnd, "M7,7" + repeat("L7,7", 15)},
      {"a pen lift before the last pair", liftAtEnd, "M7,7" + repeat("L7,7", 14) + "M7,7"},
      {"254 where a stroke starts is a point", {254, 3, 4, 5, 255}, "M254,3L4,5"},
      {"the end byte alone", {255, 9, 9}, ""},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> g = c.bytes;
    g.resize(kPcadGlyphBytes, 0);
    std::string walk;
    WalkGlyph(std::span<const uint8_t, kPcadGlyphBytes>(g.data(), kPcadGlyphBytes), [&](bool first, int x, int y) {
      walk += (first ? "M" : "L") + std::to_string(x) + "," + std::to_string(y);
    });
    EXPECT_EQ(walk, c.walk) << c.what;
  }
}

TEST(StrokeLayout, HugeHeightsAndScalesStayInTheDeviceRange) {
  const Placement pl = Place(100, -1, -1, 5, 5);
  for (uint32_t h : {0xFFFFFFFFu, 0x80000000u})
    for (int flags = 0; flags < 8; ++flags) {
      RecordingCanvas c;
      DrawStrokeText(c, pl, {"AAAAAAAA", true}, {INT32_MAX, INT32_MIN, uint16_t(flags), 25, h}, GlyphIndex85);
      ASSERT_FALSE(c.calls().empty());
      for (const auto& call : c.calls())
        for (int32_t v : call.args) ASSERT_LE(std::abs(int64_t{v}), kDeviceLimit);
    }
}

// ---- Through the primitive pass -------------------------------------------------------------------

struct TextPass {
  RecordingCanvas canvas;
  bool readProblem = false;
};

// Runs the primitive pass over the plot in memory with the given record positions per layer.
void RunTexts(const test::PltWriter& w, std::map<int, std::vector<uint64_t>> texts,
              std::map<int, std::vector<uint64_t>> lines, PassInput in, const Placement& pl, TextPass& out) {
  in.positions = [&](int kind, int layer) -> std::span<const uint64_t> {
    if (kind != KindText && kind != KindLine) return {};
    auto& m = kind == KindText ? texts : lines;
    auto it = m.find(layer);
    return it == m.end() ? std::span<const uint64_t>{} : std::span<const uint64_t>(it->second);
  };
  in.texts = &PlotTextHook();
  for (int i = 0; i < kLayerCount; ++i) in.layers.colors[size_t(i)] = 0x100 * Color(i + 1);
  PlotReader file(w.bytes());
  PassContext ctx{out.canvas, file, pl, in, false, {}};
  if (w.format() == PltFormat::Plt45)
    DrawPrimitives45(ctx);
  else
    DrawPrimitives85(ctx);
  out.readProblem = ctx.readProblem;
}

class TextRecords : public testing::TestWithParam<PltFormat> {};
INSTANTIATE_TEST_SUITE_P(Texts, TextRecords, testing::Values(PltFormat::Plt45, PltFormat::Plt85),
                         [](const auto& info) { return info.param == PltFormat::Plt45 ? "Plt45" : "Plt85"; });

TEST_P(TextRecords, RecordBodyPenAndFontChoice) {
  test::PltWriter w(GetParam());
  w.Header();
  w.Layer(2);
  // Height 400 (PLT 4.5: 16 + 128 * 3), turned by a quarter, centred across and along.
  const uint64_t t = w.Text(100, 200, 400, "A", 1, 27);
  PassInput in;
  in.layers.order[0] = 2;
  in.layers.orderCount = 1;
  TextPass run;
  RunTexts(w, {{2, {t}}}, {}, in, Place(0.5, 1, 1), run);
  ASSERT_FALSE(run.readProblem);
  const auto& calls = run.canvas.calls();
  ASSERT_EQ(calls.size(), kA.size());
  // s = 2: w = 150 and K = 250 device units; Ax = 50 - half(-250) = 175, Ay = 100 - half(150) = 25.
  // The first point (25, 50) is drawn at (175 - 50, 25 + 25).
  EXPECT_EQ(RecordingCanvas::Format(calls[0], false), "MoveTo 125 50");
  // Text pen: round(0.3 * 0.5) = 0, solid, in the layer colour.
  EXPECT_EQ(calls[1].pen, (Pen{0x200, 0, PenStyle::Solid}));

  // PCAD1 cleared: the system-font path, a font and one text. Cell round(400 * 0.5) = 200, a
  // quarter turn; the fake 100 x 20 extent centres it: Ay = 100 + half(100), Ax = 50 - half(20).
  in.strokeFont = false;
  in.systemFont.face = "Face";
  TextPass system;
  RunTexts(w, {{2, {t}}}, {}, in, Place(0.5, 1, 1), system);
  EXPECT_EQ(system.canvas.Lines(false), (std::vector<std::string>{"SetFont Face 200 900 ansi", "TextOut 40 150 A"}));
  EXPECT_EQ(system.canvas.calls()[1].fontColor, 0x200u);
}

TEST_P(TextRecords, TextPenWidthAndPrinterMinimum) {
  test::PltWriter w(GetParam());
  w.Header();
  const uint64_t t = w.Text(0, 0, 200, "-");
  struct Case {
    double scale;
    bool printer;
    int minimum;
    int32_t width;
  };
  const Case cases[] = {{10, false, 0, 3}, {5, false, 0, 2}, {15, false, 0, 4}, {15, false, 9, 4},
                        {15, true, 9, 9},  {15, true, 3, 4}, {1, true, 0, 0}};
  for (const auto& c : cases) {
    PassInput in;
    in.layers.order[0] = 1;
    in.layers.orderCount = 1;
    in.toPrinter = c.printer;
    in.printerMinPenWidth = c.minimum;
    TextPass run;
    run.canvas.pen.style = PenStyle::Dash;
    RunTexts(w, {{1, {t}}}, {}, in, Place(c.scale, 1, 1), run);
    ASSERT_EQ(run.canvas.calls().size(), 2u);
    EXPECT_EQ(run.canvas.calls()[1].pen.width, c.width) << c.scale << " " << c.printer << " " << c.minimum;
    EXPECT_EQ(run.canvas.calls()[1].pen.style, PenStyle::Solid);
  }
}

TEST_P(TextRecords, AStringCutByTheEndOfTheFileDrawsWhatWasReadAndTheDrawingGoesOn) {
  test::PltWriter w(GetParam());
  w.Header();
  w.Layer(5);
  const uint64_t line = w.Line(0, 0, 0, 0, 10, 10);
  w.Layer(3);
  const uint64_t t = w.Text(0, 0, 200, "AAAAAAAAAAAA'");
  // Cut inside the second group: PLT 4.5 keeps 6 characters, PLT 8.5 the 8 of its first group.
  const size_t body = GetParam() == PltFormat::Plt45 ? 10 : 20;
  w.Truncate(t + body + (GetParam() == PltFormat::Plt45 ? 6 : 11));
  PassInput in;
  in.layers.order = {5, 3};
  in.layers.orderCount = 2;  // layer 3 first, then 5 on top
  TextPass run;
  RunTexts(w, {{3, {t}}}, {{5, {line}}}, in, Place(1, 1, 1), run);
  EXPECT_TRUE(run.readProblem);
  const size_t chars = GetParam() == PltFormat::Plt45 ? 6 : 8;
  const auto& calls = run.canvas.calls();
  ASSERT_EQ(calls.size(), chars * kA.size() + 2);  // no bar; then the line of layer 5
  EXPECT_EQ(RecordingCanvas::Format(calls[calls.size() - 3], false), Op("LineTo", 125 + 150 * int(chars - 1), 125));
  EXPECT_EQ(RecordingCanvas::Format(calls.back(), false), "LineTo 10 10");

  // The whole renderer call goes on past the cut string and names the problem once.
  const testsupport::TempDir dir;
  const auto path = dir / "cut.plt";
  w.Save(path);
  FrameInput frame;
  frame.format = GetParam();
  frame.target = RenderTarget::Bitmap;
  const FrameLayout layout = ComputeFrame(frame);
  PassInput pass = in;
  pass.texts = &PlotTextHook();
  const std::vector<uint64_t> text{t}, lines{line};
  pass.positions = [&](int kind, int layer) -> std::span<const uint64_t> {
    if (kind == KindText && layer == 3) return text;
    if (kind == KindLine && layer == 5) return lines;
    return {};
  };
  RecordingCanvas whole;
  const RenderOutcome out = DrawPlot(whole, frame, layout, pass, path.string());
  EXPECT_EQ(out.problem, RenderOutcome::Problem::Read);
  EXPECT_EQ(out.message, kTextReadBeyondEnd);
  EXPECT_EQ(RecordingCanvas::Format(whole.calls().back(), false).substr(0, 6), "LineTo");

  // A body cut short draws nothing of the text.
  w.Truncate(t + 4);
  TextPass cutBody;
  RunTexts(w, {{3, {t}}}, {{5, {line}}}, in, Place(1, 1, 1), cutBody);
  EXPECT_TRUE(cutBody.readProblem);
  EXPECT_EQ(cutBody.canvas.calls().size(), 2u);
}

}  // namespace
}  // namespace quarto
