#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/error.h"
#include "core/palette.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

TEST(VecPalette, BytesTurnIntoLevelColours) {
  const Levels levels;
  struct Case {
    std::uint8_t vec;
    Rgb rgb;
  };
  const Case cases[] = {
      {0x00, {0, 0, 0}},   {0xFF, {255, 255, 255}}, {0x12, {90, 90, 0}}, {0x07, {255, 0, 0}},   {0x38, {0, 255, 0}},
      {0xC0, {0, 0, 255}}, {0x40, {0, 0, 90}},      {0x80, {0, 0, 180}}, {0x2B, {130, 195, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(VecByteToRgb(c.vec, levels), c.rgb) << int(c.vec);
}

TEST(VecPalette, DefaultPaletteBytes) {
  const VecPalette expected{0x00, 0x80, 0x10, 0xD0, 0x06, 0x86, 0x16, 0x36,
                            0x00, 0xC5, 0x22, 0xC0, 0x02, 0x98, 0x52, 0xAD};
  EXPECT_EQ(DefaultVECPalette, expected);
  Pic pic;
  SetDIBPalFromVEC(pic, DefaultVECPalette, Levels{});
  EXPECT_EQ(pic.palette[1], (Rgb{0, 0, 180}));
  EXPECT_EQ(pic.palette[9], (Rgb{195, 0, 255}));
  EXPECT_EQ(pic.palette[15], (Rgb{195, 195, 180}));
}

TEST(VecPalette, ZXPaletteTables) {
  EXPECT_EQ(ZXPalette.R[2], 0xC0);
  EXPECT_EQ(ZXPalette.G[4], 0xC0);
  EXPECT_EQ(ZXPalette.B[1], 0xC0);
  EXPECT_EQ(ZXPalette.R[15], 0xF0);
  EXPECT_EQ(ZXPalette.G[15], 0xF0);
  EXPECT_EQ(ZXPalette.B[15], 0xF0);
  EXPECT_EQ(ZXPalette.R[8] | ZXPalette.G[8] | ZXPalette.B[8], 0);
  EXPECT_EQ(ZXPalette.R[13], 0x00);
}

TEST(VecReduction, NearestLevelTiesGoToTheLowerIndex) {
  const Levels levels;
  EXPECT_EQ(NearestLevel(70, levels.RGLevels), 1);  // 20 from 50 and from 90
  EXPECT_EQ(NearestLevel(135, levels.BLevels), 1);  // 45 from 90 and from 180
  EXPECT_EQ(NearestLevel(255, levels.RGLevels), 7);
  EXPECT_EQ(NearestLevel(0xF0, levels.RGLevels), 6);  // 15 from 225 and from 255
  EXPECT_EQ(NearestLevel(0xC0, levels.RGLevels), 5);
  EXPECT_EQ(NearestLevel(71, levels.RGLevels), 2);
}

TEST(VecReduction, EveryPaletteByteReducesToItself) {
  const Levels levels;
  for (int v = 0; v < 256; ++v) {
    Palette16 palette{};
    palette[static_cast<std::size_t>(v % 16)] = VecByteToRgb(static_cast<std::uint8_t>(v), levels);
    const VecReduction r = ReduceToVEC(palette, levels);
    EXPECT_EQ(r.vec[static_cast<std::size_t>(v % 16)], v);
    EXPECT_EQ(r.palette, palette) << "level colours stay as they are";
  }
}

TEST(VecReduction, DIBPal2VECPalReplacesThePalette) {
  Pic pic;
  pic.palette[0] = {70, 135, 255};
  pic.palette[5] = {10, 240, 100};
  const VecPalette vec = DIBPal2VECPal(pic, Levels{});
  EXPECT_EQ(pic.palette[0], (Rgb{50, 130, 255}));
  EXPECT_EQ(vec[0], 3 * 64 + 3 * 8 + 1);
  EXPECT_EQ(pic.palette[5], (Rgb{0, 225, 90}));
  EXPECT_EQ(vec[5], 1 * 64 + 6 * 8 + 0);
}

TEST(VecReduction, GetDIBPal) {
  Channel16 r{}, g{}, b{};
  r.fill(7);
  EXPECT_FALSE(GetDIBPal({}, r, g, b));
  EXPECT_EQ(r[0], 7) << "an empty palette leaves the arrays alone";
  const Rgb two[] = {{1, 2, 3}, {4, 5, 6}};
  EXPECT_TRUE(GetDIBPal(two, r, g, b));
  EXPECT_EQ(r[1], 4);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(r[2], 0) << "missing entries are black";
}

class LevelFiles : public testing::Test {
 protected:
  test::TempDir dir;
  Levels levels;
};

TEST_F(LevelFiles, MissingFilesKeepTheDefaults) {
  ReadLevelFiles(dir.path(), levels);
  EXPECT_EQ(levels, Levels{});
}

TEST_F(LevelFiles, ValuesAreReadAsTheirLowEightBits) {
  test::WriteText(dir / "B.lvl", "1\r\n2\r\n300\r\n -1 \r\n");
  test::WriteText(dir / "RG.lvl", "0\n36\n72\n108\n144\n180\n216\n255\n999\nnot read\n");
  ReadLevelFiles(dir.path(), levels);
  EXPECT_EQ(levels.BLevels, (std::array<std::uint8_t, 4>{1, 2, 44, 255}));
  EXPECT_EQ(levels.RGLevels, (std::array<std::uint8_t, 8>{0, 36, 72, 108, 144, 180, 216, 255}));
}

TEST_F(LevelFiles, FiveLinesUseTheFirstFour) {
  test::WriteText(dir / "B.lvl", "10\n20\n30\n40\n50");
  ReadLevelFiles(dir.path(), levels);
  EXPECT_EQ(levels.BLevels, (std::array<std::uint8_t, 4>{10, 20, 30, 40}));
}

TEST_F(LevelFiles, ShortOrBadFileStopsKeepingWhatWasStored) {
  struct Case {
    const char* text;
    std::array<std::uint8_t, 4> expected;
  };
  const Case cases[] = {
      {"10\n20\n30\n", {10, 20, 30, 255}},
      {"10\n20\n30", {10, 20, 30, 255}},
      {"10\nabc\n30\n40\n", {10, 90, 180, 255}},
      {"10\n\n30\n40\n", {10, 90, 180, 255}},
      {"10\n20\n99999999999\n40\n", {10, 20, 180, 255}},
      {"", {0, 90, 180, 255}},
  };
  for (const Case& c : cases) {
    Levels l;
    test::WriteText(dir / "B.lvl", c.text);
    test::WriteText(dir / "RG.lvl", "1\n1\n1\n1\n1\n1\n1\n1\n");
    EXPECT_THROW(ReadLevelFiles(dir.path(), l), Error) << c.text;
    EXPECT_EQ(l.BLevels, c.expected) << c.text;
    EXPECT_EQ(l.RGLevels, Levels{}.RGLevels) << "RG.lvl is not read after B.lvl failed";
  }
}

TEST_F(LevelFiles, UnreadableFileIsAnError) {
  std::filesystem::create_directory(dir / "B.lvl");
  EXPECT_THROW(ReadLevelFiles(dir.path(), levels), Error);
  // A pipe is not read (it would block the start until something writes to it).
  ASSERT_EQ(mkfifo((dir / "RG.lvl").c_str(), 0600), 0);
  EXPECT_THROW(ReadLevelFile(dir / "RG.lvl", levels.RGLevels), Error);
  EXPECT_EQ(levels, Levels{});
}

}  // namespace
}  // namespace brindle
