// Real files: a ZX screen made on the ZX computer, and the real SPR pictures carried
// through REMBRANDT files.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/error.h"
#include "core/rmb.h"
#include "core/scr.h"
#include "core/spr.h"
#include "support/fixtures.h"
#include "support/scr_files.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

fs::path VecFolder() {
  const char* dir = std::getenv("SHARED_TESTDATA_DIR");
  std::error_code ec;
  if (!dir || !fs::is_directory(fs::path(dir) / "vec", ec)) return {};
  return fs::path(dir) / "vec";
}

TEST(ScrAcceptance, ZxScreenMatchesItsBitmapAndAttributes) {
  const fs::path vec = VecFolder();
  if (vec.empty()) GTEST_SKIP() << "no shared test data";
  const fs::path file = vec / "zxscr" / "ALF.scr";
  const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
  ASSERT_EQ(bytes.size(), 6912u);
  test::ZxScreen zx;
  std::copy(bytes.begin(), bytes.end(), zx.bytes.begin());

  Mem mem = test::RandomScreen(4);
  Pic pic;
  SCROpen(file, mem, pic, Levels{});
  int wrong = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      if (pic.pixel(x, y) != zx.colourAt(x, y) && wrong++ < 5) ADD_FAILURE() << "pixel " << x << "," << y;
  EXPECT_EQ(wrong, 0);

  // Saved as SPR, 0xF0 becomes level 6 (225, as near as 255: the lower wins) and 0xC0 level 5.
  test::TempDir dir;
  SaveSPR(dir / "alf.spr", pic, mem, Levels{});
  const std::vector<std::uint8_t> spr = test::ReadBytes(dir / "alf.spr");
  ASSERT_GE(spr.size(), 16u);
  EXPECT_EQ(std::vector<std::uint8_t>(spr.begin(), spr.begin() + 16),
            (std::vector<std::uint8_t>{0x00, 0x80, 0x05, 0x85, 0x28, 0xA8, 0x2D, 0xAD, 0x00, 0xC0, 0x06, 0xC6, 0x30,
                                       0xF0, 0x36, 0xF6}));
}

TEST(ScrAcceptance, EveryCutOfTheZxScreenIsRejected) {
  const fs::path vec = VecFolder();
  if (vec.empty()) GTEST_SKIP() << "no shared test data";
  const std::vector<std::uint8_t> bytes = test::ReadBytes(vec / "zxscr" / "ALF.scr");
  ASSERT_EQ(bytes.size(), 6912u);
  test::TempDir empty;
  Mem mem = test::RandomScreen(6);
  Pic pic;
  pic.pixels.fill(0x34);
  const Mem memBefore = mem;
  const Pic picBefore = pic;
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const auto cut = std::span(bytes).first(length);
    EXPECT_THROW(SCRRead(cut, length, empty.path(), mem, pic, Levels{}), Error) << length;
    ASSERT_EQ(mem, memBefore) << length;
    ASSERT_EQ(pic, picBefore) << length;
  }
}

TEST(RmbAcceptance, RealPicturesComeBackThroughRmb) {
  const fs::path vec = VecFolder();
  if (vec.empty()) GTEST_SKIP() << "no shared test data";
  test::TempDir dir;
  int carried = 0;
  for (const auto& entry : fs::directory_iterator(vec / "spr")) {
    if (entry.path().extension() != ".SPR") continue;
    SCOPED_TRACE(entry.path().filename().string());
    Mem mem;
    Pic pic;
    SPROpenAndShow(entry.path(), mem, pic, Levels{});
    const Mem sprMem = mem;
    const std::vector<std::uint8_t> spr = test::ReadBytes(entry.path());
    SaveRMB(dir / "p.rmb", pic, mem, Levels{});
    const std::vector<std::uint8_t> rmb = test::ReadBytes(dir / "p.rmb");
    ASSERT_EQ(rmb.size(), 32787u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(rmb[15 - i], spr[i]) << "palette byte " << i;
    Mem back;
    Pic shown;
    RMBOpenAndShow(dir / "p.rmb", back, shown, Levels{});
    EXPECT_TRUE(std::equal(back.screen().begin(), back.screen().end(), sprMem.screen().begin()));
    EXPECT_EQ(shown, pic);
    ++carried;
  }
  EXPECT_EQ(carried, 9);
}

}  // namespace
}  // namespace brindle
