// Real SPR pictures saved as BMP, GIF and PNG and opened again give the same picture and,
// back in screen memory, the SPR's screen; a real PCX saved as SPR gets a VEC palette.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/picfiles.h"
#include "core/session.h"
#include "core/spr.h"
#include "support/codec_fixtures.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

fs::path TestData() {
  const char* dir = std::getenv("SHARED_TESTDATA_DIR");
  return dir ? fs::path(dir) : fs::path();
}

// The SPR files of the shared test data, in the window's list order.
std::vector<fs::path> SprFiles() {
  const fs::path folder = TestData() / "vec" / "spr";
  std::vector<fs::path> files;
  for (const std::string& name : ListPicFiles(folder))
    if (FormatOfName(name) == PicFormat::SPR) files.push_back(folder / name);
  return files;
}

std::uint32_t Be32(const test::Bytes& d, std::size_t at) {
  return (std::uint32_t(d[at]) << 24) | (std::uint32_t(d[at + 1]) << 16) | (std::uint32_t(d[at + 2]) << 8) | d[at + 3];
}

TEST(CodecRoundTrip, RealSprPicturesThroughBmpGifAndPng) {
  const std::vector<fs::path> files = SprFiles();
  if (files.empty()) GTEST_SKIP() << "no shared test data";
  EXPECT_EQ(files.size(), 9u);
  test::TempDir out;
  for (const fs::path& spr : files) {
    SCOPED_TRACE(spr.filename().string());
    Session s;
    ASSERT_TRUE(s.OpenChosen(spr));
    const Pic pic = s.pic;
    Mem screen;
    UnpackScreenRle(test::ReadBytes(spr), screen);
    const std::string stem = spr.stem().string();
    for (int index : {1, 4, 5}) {
      SCOPED_TRACE(index);
      const fs::path saved = s.SaveAs(out / stem, index);
      Session back;
      ASSERT_TRUE(back.OpenChosen(saved));
      EXPECT_TRUE(back.pic == pic);
      Mem mem;
      DIB4bpp2VECScr(back.pic, mem);
      EXPECT_TRUE(std::equal(mem.screen().begin(), mem.screen().end(), screen.screen().begin()));
    }
    const test::Bytes gif = test::ReadBytes(out / (stem + ".gif"));
    ASSERT_GT(gif.size(), 13u);
    EXPECT_EQ(gif[6] | (gif[7] << 8), 256);
    EXPECT_EQ(gif[8] | (gif[9] << 8), 256);
    EXPECT_EQ(gif[10] & 0x87, 0x83) << "a global map of 16 entries";
    const test::Bytes png = test::ReadBytes(out / (stem + ".png"));
    ASSERT_GT(png.size(), 70u);
    EXPECT_EQ(Be32(png, 16), 256u);
    EXPECT_EQ(Be32(png, 20), 256u);
    EXPECT_EQ(png[24], 4) << "bit depth";
    EXPECT_EQ(png[25], 3) << "colour type";
    EXPECT_EQ(png[28], 0) << "not interlaced";
    EXPECT_EQ(Be32(png, 33), 48u) << "PLTE of 16 entries";
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "PLTE");
  }
}

TEST(CodecRoundTrip, PcxSavedAsSprGetsAReducedPaletteAndTheSamePixels) {
  const fs::path pcx = TestData() / "codecs" / "kimg_indexed4.pcx";
  std::error_code ec;
  if (TestData().empty() || !fs::exists(pcx, ec)) GTEST_SKIP() << "no shared test data";
  test::TempDir out;
  Session s;
  ASSERT_TRUE(s.OpenChosen(pcx));
  const Pic opened = s.pic;
  s.SaveAs(out / "k", 2);
  const VecReduction reduced = ReduceToVEC(opened.palette, s.levels);
  EXPECT_EQ(s.pic.palette, reduced.palette);
  EXPECT_TRUE(s.pic.pixels == opened.pixels);
  Session back;
  ASSERT_TRUE(back.OpenChosen(out / "k.spr"));
  EXPECT_EQ(back.pic.palette, reduced.palette);
  EXPECT_TRUE(back.pic.pixels == opened.pixels);
  const test::Bytes spr = test::ReadBytes(out / "k.spr");
  EXPECT_TRUE(std::equal(reduced.vec.begin(), reduced.vec.end(), spr.begin()));
}

}  // namespace
}  // namespace brindle
