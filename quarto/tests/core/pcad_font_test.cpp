// The built-in stroke font: a validator over the generated table (what the renderer reads), and
// the glyph-source translation refusing bad sources with the glyph and the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "core/pcad_font.h"
#include "core/stroke_text.h"
#include "fontgen/glyph_source.h"

namespace quarto {
namespace {

struct GlyphPoint {
  int x, y;
  bool operator==(const GlyphPoint&) const = default;
  auto operator<=>(const GlyphPoint&) const = default;
};
using Strokes = std::vector<std::vector<GlyphPoint>>;

std::vector<uint8_t> GlyphBytes(int g) {
  const auto* p = &PcadFont[size_t(g) * kPcadGlyphBytes];
  return {p, p + kPcadGlyphBytes};
}

// Walks a glyph as the validator reads the encoding: markers only where a point begins, 255 within
// the 33 bytes and only zeros after it. Problems go to *why.
Strokes Walk(int g, std::string* why) {
  const std::vector<uint8_t> b = GlyphBytes(g);
  Strokes strokes;
  size_t i = 0;
  bool ended = false;
  while (i < b.size()) {
    if (b[i] == kPcadGlyphEnd) {
      ended = true;
      if (std::any_of(b.begin() + long(i) + 1, b.end(), [](uint8_t v) { return v != 0; }))
        *why += "bytes after the end byte are not zero; ";
      break;
    }
    if (b[i] == kPcadStrokeEnd) {
      if (strokes.empty()) *why += "254 before the first point; ";
      strokes.emplace_back();
      ++i;
      continue;
    }
    if (i + 1 >= b.size()) {
      *why += "a point cut by the end of the glyph; ";
      break;
    }
    if (b[i + 1] >= kPcadStrokeEnd) *why += "254 or 255 as a y byte; ";
    if (strokes.empty()) strokes.emplace_back();
    strokes.back().push_back({b[i], b[i + 1]});
    i += 2;
  }
  if (!ended) *why += "no end byte within 33 bytes; ";
  for (const auto& s : strokes)
    if (s.size() < 2) *why += "a stroke of fewer than two points; ";
  return strokes;
}

TEST(PcadFontTable, EveryGlyphIsWellFormedInsideTheCell) {
  for (int g = 0; g < kPcadGlyphCount; ++g) {
    std::string why;
    const Strokes strokes = Walk(g, &why);
    for (const auto& s : strokes)
      for (const auto& p : s)
        if (p.x < 20 || p.x > 150 || p.y > 215)
          why += "point " + std::to_string(p.x) + "," + std::to_string(p.y) + " outside the cell; ";
    EXPECT_TRUE(why.empty()) << "glyph " << g << ": " << why;
    EXPECT_EQ(strokes.empty(), g == 0) << "only the space has no stroke; glyph " << g;
  }
}

TEST(PcadFontTable, CapitalsReachTheCapitalHeight) {
  std::vector<int> capitals;
  for (int g = 33; g <= 58; ++g) capitals.push_back(g);   // A..Z
  for (int g = 96; g <= 127; ++g) capitals.push_back(g);  // А..Я
  for (int g : capitals) {
    std::string why;
    int top = 0;
    for (const auto& s : Walk(g, &why))
      for (const auto& p : s) top = std::max(top, p.y);
    EXPECT_GE(top, 200) << "glyph " << g;
  }
}

TEST(PcadFontTable, EveryPrintableCodeReachesAGlyphWithStrokes) {
  std::vector<int> codes;
  for (int c = 0x21; c <= 0xAF; ++c) codes.push_back(c);
  for (int c = 0xE0; c <= 0xF1; ++c) codes.push_back(c);
  for (GlyphMapping map : {GlyphIndex45, GlyphIndex85}) {
    for (int c : codes) {
      const int g = map(uint8_t(c));
      ASSERT_NE(g, kNoGlyph) << std::hex << c;
      std::string why;
      EXPECT_FALSE(Walk(g, &why).empty()) << "code " << std::hex << c << " glyph " << std::dec << g;
    }
  }
}

TEST(PcadFontTable, NoTwoGlyphsAlikeBeyondTheTwins) {
  // Cyrillic letters that may be drawn exactly like their Latin twins, and Ё, ё like Е, е.
  std::map<int, int> same = {{96, 33},  {98, 34},  {101, 37}, {106, 43}, {108, 45},  {109, 40}, {110, 47},
                             {112, 48}, {113, 35}, {114, 52}, {117, 56}, {128, 65},  {133, 69}, {142, 79},
                             {144, 80}, {145, 67}, {147, 89}, {149, 88}, {160, 101}, {161, 133}};
  auto root = [&](int g) {
    while (same.count(g)) g = same[g];
    return g;
  };
  for (int a = 0; a < kPcadGlyphCount; ++a)
    for (int b = a + 1; b < kPcadGlyphCount; ++b)
      if (GlyphBytes(a) == GlyphBytes(b)) {
        EXPECT_EQ(root(a), root(b)) << "glyphs " << a << " and " << b << " alike";
      }
  EXPECT_EQ(GlyphBytes(160), GlyphBytes(101));
  EXPECT_EQ(GlyphBytes(161), GlyphBytes(133));
}

std::vector<uint8_t> Padded(std::vector<uint8_t> v) {
  v.resize(kPcadGlyphBytes, 0);
  return v;
}

TEST(PcadFontTable, TheFixedGlyphs) {
  EXPECT_EQ(GlyphBytes(0), Padded({255}));
  EXPECT_EQ(GlyphBytes(33),
            Padded({25, 50, 25, 175, 50, 200, 100, 200, 125, 175, 125, 50, 254, 25, 125, 125, 125, 255}));
  EXPECT_EQ(GlyphBytes(71), Padded({125, 50, 50, 50, 25, 75, 25, 125, 50, 150, 125, 150, 125, 25, 100, 0, 50, 0, 255}));
  EXPECT_EQ(GlyphBytes(163), Padded({25, 130, 125, 130, 254, 75, 180, 75, 80, 254, 25, 50, 125, 50, 255}));
  EXPECT_EQ(GlyphBytes(95), Padded({20, 20, 100, 100, 255}));

  std::string why;
  auto closedAxisAligned = [](const std::vector<GlyphPoint>& s) {
    if (s.size() != 5 || s.front() != s.back()) return false;
    for (size_t i = 1; i < s.size(); ++i)
      if (s[i].x != s[i - 1].x && s[i].y != s[i - 1].y) return false;
    return true;
  };
  // 162: the outline of the rectangle (25, 25) to (125, 200).
  const Strokes box = Walk(162, &why);
  ASSERT_EQ(box.size(), 1u);
  EXPECT_TRUE(closedAxisAligned(box[0]));
  const std::set<GlyphPoint> corners(box[0].begin(), box[0].end());
  EXPECT_EQ(corners, (std::set<GlyphPoint>{{25, 25}, {125, 25}, {125, 200}, {25, 200}}));
  // 164: a closed ring crossed by a one-segment slash running up to the right.
  const Strokes diameter = Walk(164, &why);
  ASSERT_EQ(diameter.size(), 2u);
  EXPECT_EQ(diameter[0].front(), diameter[0].back());
  ASSERT_EQ(diameter[1].size(), 2u);
  const auto [lo, hi] = std::minmax(diameter[1][0], diameter[1][1]);
  EXPECT_LT(lo.y, hi.y);
  for (const auto& p : diameter[0]) {
    EXPECT_TRUE(p.x >= lo.x && p.x <= hi.x && p.y > lo.y && p.y < hi.y) << p.x << "," << p.y;
  }
  // 165: a small closed square in the top part of the cell.
  const Strokes degree = Walk(165, &why);
  ASSERT_EQ(degree.size(), 1u);
  EXPECT_TRUE(closedAxisAligned(degree[0]));
  for (const auto& p : degree[0]) EXPECT_GE(p.y, 150);
  EXPECT_TRUE(why.empty()) << why;
}

// ---- The glyph source ----------------------------------------------------------------------------

// A valid source: glyph 0 the space, every other glyph one short stroke, with line replaced.
std::string Source(int replaced = -1, const std::string& line = "") {
  std::string s = "# test font\n0 space\n";
  for (int g = 1; g < pcadfont::kGlyphCount; ++g) {
    if (g == replaced) {
      s += line.empty() ? "" : line + "\n";
      continue;
    }
    const int x = 20 + g % 100, y = g;
    s += std::to_string(g) + " " + pcadfont::GlyphCharacter(g) + " " + std::to_string(x) + "," + std::to_string(y) +
         " 150," + std::to_string(y) + "\n";
  }
  return s;
}

TEST(PcadFontSource, TranslatesPointsStrokesAndCopies) {
  const pcadfont::FontTable t = pcadfont::BuildFontTable(Source(33, "33 A 25,50 125,50 / 30,40 40,30 50,215"));
  ASSERT_EQ(t.error, "");
  ASSERT_EQ(t.bytes.size(), size_t(166 * 33));
  const std::vector<uint8_t> a(t.bytes.begin() + 33 * 33, t.bytes.begin() + 34 * 33);
  EXPECT_EQ(a, Padded({25, 50, 125, 50, 254, 30, 40, 40, 30, 50, 215, 255}));
  EXPECT_EQ(t.bytes[0], 255);

  const pcadfont::FontTable copy = pcadfont::BuildFontTable(Source(160, "160 Ё = 101"));
  ASSERT_EQ(copy.error, "");
  EXPECT_TRUE(std::equal(copy.bytes.begin() + 160 * 33, copy.bytes.begin() + 161 * 33, copy.bytes.begin() + 101 * 33));
  // Sixteen points and the end byte fill the 33 bytes exactly.
  std::string sixteen = "40 H";
  for (int i = 0; i < 16; ++i) sixteen += " " + std::to_string(25 + i) + ",60";
  EXPECT_EQ(pcadfont::BuildFontTable(Source(40, sixteen)).error, "");
}

TEST(PcadFontSource, RefusesABadSourceNamingGlyphAndReason) {
  std::string seventeen = "40 H";
  for (int i = 0; i < 17; ++i) seventeen += " " + std::to_string(25 + i) + ",60";
  struct Case {
    int glyph;
    std::string line;
    std::string expected;  // part of the message
  };
  const Case cases[] = {
      {5, "5 % 25,50 151,50", "glyph 5 '%': the point 151,50 lies outside the cell"},
      {5, "5 % 19,50 25,50", "outside the cell"},
      {5, "5 % 25,50 25,216", "outside the cell"},
      {7, "7 ' 25,50 / 30,30 40,40", "glyph 7 ''': a stroke of one point"},
      {7, "7 ' 25,50 30,30 /", "glyph 7 ''': an empty stroke"},
      {7, "7 ' / 25,50 30,30", "an empty stroke"},
      {40, seventeen, "glyph 40 'H': more than 33 bytes"},
      {41, "41 J 25,50 30,30", "glyph 41 'I': the character is not \"I\""},
      {42, "43 K 25,50 30,30", "glyph 42 'J': the line names glyph \"43\""},
      {44, "44 L = 45", "glyph 44 'L': \"=\" must name one earlier glyph"},
      {44, "44 L 25;50 30,30", "glyph 44 'L': \"25;50\" is not a point"},
      {96, "96 A 25,50 30,30", "glyph 96 'А': the character is not \"А\""},
      {165, "", "glyph 165 '°': missing"},
  };
  for (const auto& c : cases) {
    const pcadfont::FontTable t = pcadfont::BuildFontTable(Source(c.glyph, c.line));
    EXPECT_NE(t.error.find(c.expected), std::string::npos) << c.line << " -> " << t.error;
    EXPECT_TRUE(t.bytes.empty());
  }
  EXPECT_NE(pcadfont::BuildFontTable(Source() + "166 x 25,50 30,30\n").error.find("a line after the last glyph"),
            std::string::npos);
}

}  // namespace
}  // namespace quarto
