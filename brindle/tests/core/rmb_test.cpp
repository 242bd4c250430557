// REMBRANDT pictures: the bytes SaveRMB writes, rectangles read into the screen, damage.
#include <gtest/gtest.h>

#include <numeric>

#include "core/error.h"
#include "core/rmb.h"
#include "core/session.h"
#include "support/damage.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

constexpr VecPalette Bytes{0x00, 0x07, 0x38, 0xC0, 0x3F, 0xFF, 0x12, 0x40,
                           0x80, 0x09, 0x1B, 0x2D, 0x36, 0x52, 0xA4, 0xE7};

Mem Filled(std::uint8_t value) {
  Mem mem;
  mem.bytes.fill(value);
  return mem;
}

// A REMBRANDT file with the given header and data, the palette bytes reversed.
std::vector<std::uint8_t> RmbFile(std::uint8_t w, std::uint8_t h, std::uint8_t mask, std::size_t dataBytes) {
  std::vector<std::uint8_t> file(Bytes.rbegin(), Bytes.rend());
  for (const std::uint8_t b : {w, h, mask}) file.push_back(b);
  for (std::size_t k = 0; k < dataBytes; ++k) file.push_back(static_cast<std::uint8_t>(k % 251 + 1));
  return file;
}

TEST(Rmb, SavedFileBytes) {
  test::TempDir dir;
  Pic pic;
  for (std::size_t i = 0; i < 16; ++i) pic.palette[i] = VecByteToRgb(Bytes[i], Levels{});
  pic.setPixel(0, 0, 1);
  pic.setPixel(255, 255, 8);
  Mem mem;
  SaveRMB(dir / "p.rmb", pic, mem, Levels{});
  const auto file = test::ReadBytes(dir / "p.rmb");
  ASSERT_EQ(file.size(), 32787u);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(file[15 - i], Bytes[i]) << "colour " << i;
  EXPECT_EQ(file[16], 0x20);
  EXPECT_EQ(file[17], 0x00);
  EXPECT_EQ(file[18], 0x0F);
  EXPECT_EQ(file[19], 0x80) << "plane 0xE000, top line, column 0: pixel (0, 0) has colour bit 0";
  EXPECT_EQ(file.back(), 0x01) << "plane 0x8000, bottom line, column 31: pixel (255, 255) has colour bit 3";
  EXPECT_EQ(std::accumulate(file.begin() + 19, file.end(), 0), 0x81) << "every other screen byte is 0";
}

TEST(Rmb, SavedPictureReadsBackWithItsPalette) {
  test::TempDir dir;
  Pic pic;
  for (std::size_t i = 0; i < 16; ++i) pic.palette[i] = Rgb{static_cast<std::uint8_t>(i * 17), 100, 200};
  Mem screen = test::StructuredScreen(5);
  VECScr2DIB4bpp(screen, pic);
  Mem mem;
  SaveRMB(dir / "p.rmb", pic, mem, Levels{});
  EXPECT_TRUE(mem.screen().size() == screen.screen().size() &&
              std::equal(mem.screen().begin(), mem.screen().end(), screen.screen().begin()))
      << "mem holds the saved screen";
  const Pic saved = pic;
  Mem back = Filled(0x33);
  Pic read;
  RMBOpenAndShow(dir / "p.rmb", back, read, Levels{});
  EXPECT_TRUE(std::equal(back.screen().begin(), back.screen().end(), screen.screen().begin()));
  EXPECT_EQ(read, saved);
}

TEST(Rmb, RectangleFromTheTopLeft) {
  struct Case {
    std::uint8_t w, h, mask;
    std::size_t columns, lines;
    std::vector<std::size_t> planes;
  };
  const Case cases[] = {
      {16, 100, 0x01, 16, 100, {0xE000}},
      {16, 100, 0xF1, 16, 100, {0xE000}},  // bits 4 to 7 ignored
      {3, 0, 0x0A, 3, 256, {0xC000, 0x8000}},
      {32, 1, 0x0F, 32, 1, {0xE000, 0xC000, 0xA000, 0x8000}},
      {0, 7, 0x0F, 0, 7, {}},  // width 0: only the palette
      {32, 0, 0x00, 32, 256, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.w) << "x" << int(c.h) << " mask " << int(c.mask));
    std::vector<std::uint8_t> file = RmbFile(c.w, c.h, c.mask, c.planes.size() * c.lines * c.columns);
    file.push_back(0xEE);  // bytes after the announced data do not count
    Mem mem = Filled(0xAA);
    Pic pic;
    RMBShow(file, mem, pic, Levels{});
    std::vector<std::uint8_t> want(0x10000, 0xAA);
    std::size_t p = 19;
    for (const std::size_t plane : c.planes)
      for (std::size_t line = 0; line < c.lines; ++line)
        for (std::size_t col = 0; col < c.columns; ++col) want[plane + col * 256 + 255 - line] = file[p++];
    EXPECT_TRUE(std::equal(want.begin(), want.end(), mem.bytes.begin()));
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(pic.palette[i], VecByteToRgb(Bytes[i], Levels{})) << i;
  }
}

TEST(Rmb, DamageLeavesPictureNameAndCaption) {
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"0 bytes", {}},
      {"18 bytes", std::vector<std::uint8_t>(18, 0x01)},
      {"width 33", RmbFile(33, 1, 0x01, 33)},
      {"width 255", RmbFile(255, 0, 0x0F, 4 * 256 * 255)},
      {"one byte short", RmbFile(10, 20, 0x05, 2 * 20 * 10 - 1)},
      {"whole screen one byte short", RmbFile(32, 0, 0x0F, 32767)},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    test::TempDir dir;
    test::WriteBytes(dir / "b.rbr", bytes);
    test::ExpectStepToDamageChangesNothing(dir.path(), "REMBRANDT opening error");
  }
}

TEST(Rmb, EveryCutOfASavedFileIsRejected) {
  Mem screen = test::RandomScreen(8);
  const std::vector<std::uint8_t> file = EncodeRMB(Bytes, screen.screen());
  ASSERT_EQ(file.size(), RmbFileSize);
  Mem mem = Filled(0x44);
  Pic pic;
  const Mem memBefore = mem;
  const Pic picBefore = pic;
  for (std::size_t length = 0; length < file.size(); ++length) {
    EXPECT_THROW(RMBShow(std::span(file).first(length), mem, pic, Levels{}), Error) << length;
    ASSERT_EQ(mem, memBefore) << length;
    ASSERT_EQ(pic, picBefore) << length;
  }
  RMBShow(file, mem, pic, Levels{});
  EXPECT_TRUE(std::equal(mem.screen().begin(), mem.screen().end(), screen.screen().begin()));
}

TEST(Rmb, FailedSaveKeepsPictureAndOldFile) {
  test::TempDir dir;
  Pic pic;
  pic.palette[1] = {70, 135, 255};  // not a level colour: a save would reduce it
  pic.setPixel(3, 3, 1);
  Mem mem = Filled(0x21);
  const Pic picBefore = pic;
  const Mem memBefore = mem;
  EXPECT_THROW(SaveRMB(dir / "absent" / "p.rmb", pic, mem, Levels{}), Error);
  fs::create_directory(dir / "taken.rmb");
  try {
    SaveRMB(dir / "taken.rmb", pic, mem, Levels{});
    ADD_FAILURE() << "saved over a folder";
  } catch (const Error& e) {
    EXPECT_EQ(e.title(), "RMB saving error");
  }
  EXPECT_EQ(pic, picBefore);
  EXPECT_EQ(mem, memBefore);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "no temporary files left";
}

}  // namespace
}  // namespace brindle
