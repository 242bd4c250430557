// Real BMP, GIF, PCX and PNG files made by other programs: what opens, with which picture
// and palette, and which are refused with which text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/bmp.h"
#include "core/gifcodec.h"
#include "core/pcxcodec.h"
#include "core/pngcodec.h"
#include "support/codec_expect.h"
#include "support/codec_fixtures.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

fs::path CodecFolder() {
  const char* dir = std::getenv("SHARED_TESTDATA_DIR");
  return dir ? fs::path(dir) / "codecs" : fs::path();
}

class CodecAcceptance : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code ec;
    if (CodecFolder().empty() || !fs::is_directory(CodecFolder(), ec)) GTEST_SKIP() << "no shared test data";
  }
  static fs::path File(const char* name) { return CodecFolder() / name; }
  static Pic Open(void (*reader)(const fs::path&, Pic&), const char* name) {
    Pic pic;
    reader(File(name), pic);
    return pic;
  }
};

// Every pixel outside width x height has index 0.
void ExpectBlankOutside(const Pic& pic, int width, int height) {
  int stray = 0;
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x)
      if ((x >= width || y >= height) && pic.pixel(x, y) != 0) ++stray;
  EXPECT_EQ(stray, 0);
}

// The picture's colours equal the RGB image's within its size.
void ExpectSameColours(const Pic& pic, const test::RgbImage& rgb) {
  ASSERT_GT(rgb.width, 0);
  int different = 0;
  for (int y = 0; y < rgb.height; ++y)
    for (int x = 0; x < rgb.width; ++x)
      if (!(pic.colourAt(x, y) == rgb.at(x, y))) ++different;
  EXPECT_EQ(different, 0);
}

TEST_F(CodecAcceptance, SixteenColourBitmapsPlainAndRunLengthGiveTheSamePicture) {
  const Pic plain = Open(BMPOpenAndShow, "pal4.bmp");
  const Pic rle = Open(BMPOpenAndShow, "pal4rle.bmp");
  EXPECT_TRUE(plain == rle);
  for (int i = 12; i < 16; ++i) EXPECT_EQ(plain.palette[static_cast<std::size_t>(i)], Rgb{}) << i;
  int maxIndex = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 127; ++x) maxIndex = std::max(maxIndex, plain.pixel(x, y));
  EXPECT_LE(maxIndex, 11);
  ExpectBlankOutside(plain, 127, 64);
  ExpectSameColours(plain, test::ReadPngRgb(File("pal4_12colors.png")));
}

TEST_F(CodecAcceptance, TwoColourBitmapKeepsIndexesZeroAndOne) {
  const Pic pic = Open(BMPOpenAndShow, "pal1.bmp");
  const test::Bytes data = test::ReadBytes(File("pal1.bmp"));
  // Palette entries 0 and 1 at offset 54, blue green red.
  EXPECT_EQ(pic.palette[0], (Rgb{data[56], data[55], data[54]}));
  EXPECT_EQ(pic.palette[1], (Rgb{data[60], data[59], data[58]}));
  for (std::size_t i = 2; i < 16; ++i) EXPECT_EQ(pic.palette[i], Rgb{});
  bool both[2] = {false, false};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 127; ++x) {
      ASSERT_LE(pic.pixel(x, y), 1);
      both[pic.pixel(x, y)] = true;
    }
  EXPECT_TRUE(both[0] && both[1]);
  ExpectBlankOutside(pic, 127, 64);
}

TEST_F(CodecAcceptance, PalettePngsOpenWithTheirEntryCounts) {
  const struct {
    const char* name;
    int entries;
  } cases[] = {{"basn3p01.png", 2}, {"basn3p02.png", 4}, {"basn3p04.png", 15}, {"pal4_12colors.png", 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pic pic = Open(PNGOpenAndShow, c.name);
    for (int i = c.entries; i < 16; ++i) EXPECT_EQ(pic.palette[static_cast<std::size_t>(i)], Rgb{}) << i;
    const test::RgbImage rgb = test::ReadPngRgb(File(c.name));
    ExpectSameColours(pic, rgb);
    ExpectBlankOutside(pic, rgb.width, rgb.height);
  }
}

TEST_F(CodecAcceptance, AnimatedGifShowsItsFirstFrameWithTheGlobalMap) {
  const Pic pic = Open(GIFOpenAndShow, "star.gif");
  // The whole file decoded by giflib's own slurping reader as the reference.
  int error = 0;
  GifFileType* gif = DGifOpenFileName(File("star.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->SWidth, 159);
  EXPECT_EQ(gif->SHeight, 159);
  EXPECT_EQ(gif->ImageCount, 4);
  ASSERT_NE(gif->SColorMap, nullptr);
  EXPECT_EQ(gif->SColorMap->ColorCount, 16);
  for (int i = 0; i < 16; ++i) {
    const GifColorType c = gif->SColorMap->Colors[i];
    EXPECT_EQ(pic.palette[static_cast<std::size_t>(i)], (Rgb{c.Red, c.Green, c.Blue}));
  }
  const SavedImage& first = gif->SavedImages[0];
  const GifImageDesc& d = first.ImageDesc;
  int different = 0;
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) {
      int expected = 0;
      if (x >= d.Left && x < d.Left + d.Width && y >= d.Top && y < d.Top + d.Height && x < 159 && y < 159)
        expected = first.RasterBits[(y - d.Top) * d.Width + (x - d.Left)] & 0x0F;
      if (pic.pixel(x, y) != expected) ++different;
    }
  EXPECT_EQ(different, 0);
  DGifCloseFile(gif, &error);
}

TEST_F(CodecAcceptance, SixteenColourPcxMatchesItsPngInBothLayouts) {
  const struct {
    const char* pcx;
    const char* png;
    int width, height;
  } cases[] = {{"kimg_16color.pcx", "kimg_16color.png", 200, 168}, {"kimg_indexed4.pcx", "kimg_indexed4.png", 32, 32}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pcx);
    const test::Bytes header = test::ReadBytes(File(c.pcx));
    ASSERT_GE(header.size(), 128u);
    if (c.width == 200) {
      EXPECT_EQ(header[3] * 10 + header[65], 14);  // 1 bit, 4 planes
      EXPECT_EQ(header[66], 25);                   // 25 bytes a line
    } else {
      EXPECT_EQ(header[3] * 10 + header[65], 41);  // 4 bits, 1 plane
    }
    const Pic pic = Open(PCXOpenAndShow, c.pcx);
    const test::RgbImage rgb = test::ReadPngRgb(File(c.png));
    EXPECT_EQ(rgb.width, c.width);
    EXPECT_EQ(rgb.height, c.height);
    ExpectSameColours(pic, rgb);
    ExpectBlankOutside(pic, c.width, c.height);
    for (std::size_t i = 0; i < 16; ++i)
      EXPECT_EQ(pic.palette[i], (Rgb{header[16 + 3 * i], header[17 + 3 * i], header[18 + 3 * i]}));
  }
  const Pic one = Open(PCXOpenAndShow, "p_4_planes.pcx");
  ExpectBlankOutside(one, 1, 1);
}

TEST_F(CodecAcceptance, FilesOutsideTheRulesAreRefusedWithTheirTexts) {
  const struct {
    const char* name;
    void (*reader)(const fs::path&, Pic&);
    const char* title;
    const char* text;
  } cases[] = {
      {"basn3p08.png", PNGOpenAndShow, PngOpenTitle, PngRejectText},       // 256 entries
      {"kimg_indexed4.png", PNGOpenAndShow, PngOpenTitle, PngRejectText},  // 17 entries
      {"kimg_16color.png", PNGOpenAndShow, PngOpenTitle, PngRejectText},   // RGBA
      {"pil184.pcx", PCXOpenAndShow, PcxOpenTitle, PcxRejectText},         // 2 colours, 447 wide
      {"01r_00.pcx", PCXOpenAndShow, PcxOpenTitle, PcxRejectText},         // 8 bits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Pic pic;
    pic.setPixel(5, 5, 9);
    pic.palette[3] = Rgb{1, 2, 3};
    const Pic before = pic;
    test::ExpectRejection([&] { c.reader(File(c.name), pic); }, c.title, c.text);
    EXPECT_TRUE(pic == before);
  }
}

}  // namespace
}  // namespace brindle
