// Texts in a system font: placement with a fake measurer, font heights, and the code pages.
#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstring>

#include "core/code_page.h"
#include "core/plot_scan.h"
#include "core/windows_text.h"
#include "testsupport/recording_canvas.h"

using namespace quarto;

namespace {

Placement Signs(int32_t signX, int32_t signY) {
  Placement p;
  p.SignX = signX, p.SignY = signY;
  p.OffsetX = 1000, p.OffsetY = 2000;
  return p;
}

// One text "ABC" at the anchor (10, 20) at scale 1, measured 101 x 21 (odd, so halves truncate).
std::vector<std::string> Draw(int32_t signX, int32_t signY, uint16_t flags, int j, bool overbar = false,
                              const std::string& chars = "ABC") {
  RecordingCanvas c;
  c.fakeExtent = {101, 21};
  DrawWindowsText(c, Signs(signX, signY), SystemFontInput{"F", 0, true, false}, PltFormat::Plt45,
                  DecodedText{chars, overbar}, TextPlacement{10, 20, flags, j, 30});
  return c.Lines(false);
}

std::vector<std::string> Text(int escapement, int x, int y) {
  return {"SetFont F 30 " + std::to_string(escapement) + " ansi",
          "TextOut " + std::to_string(x) + " " + std::to_string(y) + " ABC"};
}

}  // namespace

TEST(WindowsTextPlacement, EdgeCasesOfMirroredViewsAndTheMirrorBit) {
  // The anchor lies at device (1010, 1980) unmirrored. Unmirrored r = 0: 33 top-left on the anchor,
  // 34 the cell raised by H, 43 ending at the anchor and centred across (Ay + 10), 25 centred along.
  EXPECT_EQ(Draw(1, -1, 0, 33), Text(0, 1010, 1980));
  EXPECT_EQ(Draw(1, -1, 0, 34), Text(0, 1010, 1959));
  EXPECT_EQ(Draw(1, -1, 0, 43), Text(0, 909, 1970));
  EXPECT_EQ(Draw(1, -1, 0, 25), Text(0, 960, 1980));
  // y mirrored, r = 0, j = 33: upside down (1800) as 42; the anchor is at (1010, 2020), the turned
  // cell spans x 1010..1111 and y 1999..2020: from the anchor W to the right and H upward.
  EXPECT_EQ(Draw(1, 1, 0, 33), Text(1800, 1111, 2020));
  // x mirrored, r = 1, j = 34: 2700 as 41; the anchor is at (990, 1980), the cell, reading
  // downward to it, spans x 990..1011 and y 1879..1980.
  EXPECT_EQ(Draw(-1, -1, 1, 34), Text(2700, 1011, 1879));
  // The mirror bit in an unmirrored view: 33 becomes 41, the text ends at the anchor.
  EXPECT_EQ(Draw(1, -1, 4, 33), Text(0, 909, 1980));
  // 27 is never rewritten: the cell stays centred on the anchor (1010, 2020) after a half turn.
  EXPECT_EQ(Draw(1, 1, 4, 27), Text(1800, 1060, 2030));
  EXPECT_EQ(MirroredJustification(27, 2, true, -1, 1), 27);
  // An unknown code does not shift.
  EXPECT_EQ(Draw(1, -1, 0, 44), Text(0, 1010, 1980));
  EXPECT_EQ(Draw(1, -1, 1, 0), Text(900, 1010, 1980));
}

TEST(WindowsTextPlacement, RewritesOfRotationAndJustification) {
  // {signX, signY, r in, r out}
  const int rotations[][4] = {{1, -1, 0, 0},  {1, -1, 1, 1},  {1, 1, 0, 2},   {1, 1, 2, 0},  {1, 1, 1, 1},
                              {-1, -1, 1, 3}, {-1, -1, 3, 1}, {-1, -1, 0, 0}, {-1, 1, 0, 2}, {-1, 1, 3, 1}};
  for (const auto& c : rotations) EXPECT_EQ(MirroredRotation(c[2], c[0], c[1]), c[3]) << c[0] << c[1] << c[2];
  // A half turn (y mirrored along x, x mirrored along y), then the mirror bit.
  const int halfTurn[][2] = {{25, 26}, {26, 25}, {27, 27}, {33, 42}, {34, 41},
                             {35, 43}, {41, 34}, {42, 33}, {43, 35}, {30, 30}};
  for (const auto& [from, to] : halfTurn) {
    EXPECT_EQ(MirroredJustification(from, 2, false, 1, 1), to);
    EXPECT_EQ(MirroredJustification(from, 1, false, -1, -1), to);
    EXPECT_EQ(MirroredJustification(from, 0, false, -1, -1), from);  // no half turn
  }
  const int mirrorBit[][2] = {{25, 25}, {26, 26}, {27, 27}, {33, 41}, {34, 42}, {35, 43}, {41, 33}, {42, 34}, {43, 35}};
  for (const auto& [from, to] : mirrorBit) EXPECT_EQ(MirroredJustification(from, 0, true, 1, -1), to);
  // Both: the half turn first, then the bit (33 -> 42 -> 34).
  EXPECT_EQ(MirroredJustification(33, 2, true, 1, 1), 34);
}

TEST(WindowsTextPlacement, EveryRowOfBothShiftTablesUnderAllSignPairs) {
  // W = 101, H = 21, d = +1 (r = 0 and r = 1). Shifts (dAx, dAy) under the sign pairs
  // (+1,+1), (+1,-1), (-1,+1), (-1,-1), each worked out from the row's rule.
  struct Row {
    int r, j;
    AnchorShift s[4];
  };
  const Row rows[] = {
      {0, 25, {{-50, -21}, {-50, 0}, {50, -21}, {50, 0}}},
      {0, 26, {{-50, 0}, {-50, 21}, {50, 0}, {50, 21}}},
      {0, 27, {{-50, -10}, {-50, 10}, {50, -10}, {50, 10}}},
      {0, 33, {{0, -21}, {0, 0}, {101, -21}, {101, 0}}},
      {0, 34, {{0, 0}, {0, 21}, {101, 0}, {101, 21}}},
      {0, 35, {{0, -10}, {0, 10}, {101, -10}, {101, 10}}},
      {0, 41, {{-101, -21}, {-101, 0}, {0, -21}, {0, 0}}},
      {0, 42, {{-101, 0}, {-101, 21}, {0, 0}, {0, 21}}},
      {0, 43, {{-101, -10}, {-101, 10}, {0, -10}, {0, 10}}},
      {1, 25, {{0, 50}, {0, -50}, {21, 50}, {21, -50}}},
      {1, 26, {{-21, 50}, {-21, -50}, {0, 50}, {0, -50}}},
      {1, 27, {{-10, 50}, {-10, -50}, {10, 50}, {10, -50}}},
      {1, 33, {{0, 101}, {0, 0}, {21, 101}, {21, 0}}},
      {1, 34, {{-21, 101}, {-21, 0}, {0, 101}, {0, 0}}},
      {1, 35, {{-10, 101}, {-10, 0}, {10, 101}, {10, 0}}},
      {1, 41, {{0, 0}, {0, -101}, {21, 0}, {21, -101}}},
      {1, 42, {{-21, 0}, {-21, -101}, {0, 0}, {0, -101}}},
      {1, 43, {{-10, 0}, {-10, -101}, {10, 0}, {10, -101}}},
      {0, 44, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
      {1, 0, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
  };
  const int32_t signs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  for (const Row& row : rows)
    for (int i = 0; i < 4; ++i) {
      const AnchorShift got = JustificationShift(row.r, row.j, signs[i][0], signs[i][1], 101, 21);
      EXPECT_EQ(got, row.s[i]) << "r " << row.r << " j " << row.j << " signs " << signs[i][0] << signs[i][1] << ": "
                               << got.dx << " " << got.dy;
    }
  // d = -1 turns the shifts: r = 2, j = 43 unmirrored; r = 3, j = 25 with x mirrored.
  EXPECT_EQ(JustificationShift(2, 43, 1, -1, 101, 21), (AnchorShift{101, -10}));
  EXPECT_EQ(JustificationShift(3, 25, -1, 1, 101, 21), (AnchorShift{-21, -50}));
}

TEST(WindowsTextPlacement, OverbarAlongTheTopEdgeAfterTheText) {
  // Unmirrored, j = 33: the cell's top-left is the anchor (1010, 1980) in every rotation.
  const std::pair<int, std::string> bars[] = {
      {0, "LineTo 1111 1980"}, {1, "LineTo 1010 1879"}, {2, "LineTo 909 1980"}, {3, "LineTo 1010 2081"}};
  for (const auto& [r, end] : bars) {
    const auto lines = Draw(1, -1, uint16_t(r), 33, true);
    ASSERT_EQ(lines.size(), 4u) << r;
    EXPECT_EQ(lines[1], "TextOut 1010 1980 ABC");
    EXPECT_EQ(lines[2], "MoveTo 1010 1980");
    EXPECT_EQ(lines[3], end);
  }
  EXPECT_TRUE(Draw(1, -1, 0, 33, true, "").empty());
  EXPECT_TRUE(Draw(1, -1, 0, 33, false, "").empty());
}

TEST(WindowsTextFont, CharacterSetOfTheMenuOrOfTheCanvasFont) {
  const struct {
    bool ansi, oem;
    CharSet before, after;
  } cases[] = {{true, false, CharSet::Oem, CharSet::Ansi},
               {false, true, CharSet::Ansi, CharSet::Oem},
               {true, true, CharSet::Default, CharSet::Oem},
               {false, false, CharSet::Oem, CharSet::Oem},
               {false, false, CharSet::Default, CharSet::Default}};
  for (const auto& c : cases) {
    RecordingCanvas canvas;
    canvas.SetFont(Font{"X", 5, 0, c.before});
    DrawWindowsText(canvas, Signs(1, -1), SystemFontInput{"F", 0, c.ansi, c.oem}, PltFormat::Plt45, {"a", false}, {});
    EXPECT_EQ(canvas.font().charSet, c.after);
  }
}

TEST(WindowsTextFont, CellHeightOfBothFormats) {
  struct Case {
    PltFormat format;
    int32_t correction;
    uint32_t height;
    double scaleY;
    int64_t cell;
  };
  const Case cases[] = {
      {PltFormat::Plt45, 0, 200, 0.5, 100},   {PltFormat::Plt45, 3, 200, 0.5, 102},  // 101.5 to even
      {PltFormat::Plt45, 1, 200, 0.5, 100},                                          // 100.5 to even
      {PltFormat::Plt85, 0, 1001, 0.5, 500},                                         // 500.5 to even
      {PltFormat::Plt85, 2, 1001, 0.5, 1500},  // the correction counts 1000 times: 1500.5
      {PltFormat::Plt85, 25, 0, 0.25, 6250},  {PltFormat::Plt45, 25, 0, 0.25, 6},  // 6.25
      {PltFormat::Plt45, 0, 1, 0.01, 2},                                           // tiny: 2, never 0 or 1
      {PltFormat::Plt45, 0, 5, 0.5, 2},                                            // 2.5 to even
      {PltFormat::Plt45, 0, 7, 0.5, 4},                                            // 3.5 to even
      {PltFormat::Plt85, 0, 0, 1.0, 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WindowsFontHeight(c.format, c.correction, c.height, c.scaleY), c.cell)
        << c.correction << " " << c.height << " " << c.scaleY;
  // The largest height with the largest correction far beyond 32 bits stays positive.
  EXPECT_GT(WindowsFontHeight(PltFormat::Plt85, 25, 0xFFFFFFFFu, 1000.0), int64_t{1} << 32);
}

namespace {

// The code point glibc's iconv gives for one byte, or -1 where it has none.
int32_t IconvDecode(iconv_t cd, uint8_t b) {
  char in[1] = {static_cast<char>(b)};
  unsigned char out[4] = {};
  char* ip = in;
  char* op = reinterpret_cast<char*>(out);
  size_t il = 1, ol = 4;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || ol != 0) return -1;
  return int32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

}  // namespace

TEST(CodePages, EveryByteAsGlibcDecodesIt) {
  for (const auto& [page, name] : {std::pair{CodePage::Cp1251, "CP1251"}, std::pair{CodePage::Cp866, "CP866"}}) {
    const iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      std::printf("iconv has no %s: skipped\n", name);
      continue;
    }
    for (int b = 0; b < 256; ++b) {
      const int32_t expected = IconvDecode(cd, uint8_t(b));
      if (page == CodePage::Cp1251 && b == 0x98) {
        EXPECT_EQ(DecodeByte(page, 0x98), u'\uFFFD');
        continue;
      }
      EXPECT_EQ(int32_t(DecodeByte(page, uint8_t(b))), expected) << name << " byte " << b;
    }
    iconv_close(cd);
  }
  // The three signs of PLT 8.5 texts in both sets.
  EXPECT_EQ(DecodeToUtf8(CodePage::Cp1251, "\xB1\xF8\xB0"), "±ш°");
  EXPECT_EQ(DecodeToUtf8(CodePage::Cp866, "\xB1\xF8\xB0"), "▒°░");
  // Layer names decode through the same table.
  EXPECT_EQ(LayerNameToUtf8("\xD1\xEB\xEE\xE9 1"), "Слой 1");
}
