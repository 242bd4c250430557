#include <gtest/gtest.h>

#include <random>

#include "core/screen.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

TEST(ScreenConversion, ScreenToPictureToScreenIsIdentityOnRandomData) {
  for (unsigned seed : {1u, 2u, 3u}) {
    const Mem original = test::RandomScreen(seed);
    Pic pic;
    VECScr2DIB4bpp(original, pic);
    Mem back;
    DIB4bpp2VECScr(pic, back);
    EXPECT_TRUE(std::equal(back.screen().begin(), back.screen().end(), original.screen().begin())) << seed;
  }
}

TEST(ScreenConversion, PictureToScreenToPictureIsIdentityOnRandomData) {
  Pic original;
  std::mt19937 rng(7);
  for (auto& b : original.pixels) b = static_cast<std::uint8_t>(rng());
  Mem mem;
  DIB4bpp2VECScr(original, mem);
  Pic back;
  VECScr2DIB4bpp(mem, back);
  EXPECT_EQ(back.pixels, original.pixels);
}

TEST(ScreenConversion, MemoryBelowTheScreenIsNotTouched) {
  Mem mem;
  mem.bytes[0x7FFF] = 0x5A;
  mem.bytes[0x0000] = 0xA5;
  Pic pic;
  pic.pixels.fill(0xFF);
  DIB4bpp2VECScr(pic, mem);
  EXPECT_EQ(mem.bytes[0x7FFF], 0x5A);
  EXPECT_EQ(mem.bytes[0x0000], 0xA5);
  EXPECT_EQ(mem.bytes[0x8000], 0xFF);
}

// One set bit in the screen lights one pixel with one colour bit.
TEST(ScreenConversion, SingleBitMapsToItsPixelAndNibble) {
  struct Case {
    std::size_t address;
    int bit;
    int x, y, colour;
  };
  const Case cases[] = {
      {0x8000 + 255, 7, 0, 0, 8},               // top-left pixel, plane 0x8000 = colour bit 3
      {0xA000 + 255, 7, 0, 0, 4},               // plane 0xA000 = colour bit 2
      {0xC000 + 255, 7, 0, 0, 2},               // plane 0xC000 = colour bit 1
      {0xE000 + 255, 7, 0, 0, 1},               // plane 0xE000 = colour bit 0
      {0xE000 + 255, 0, 7, 0, 1},               // bit 0 is the rightmost pixel of the byte
      {0x8000 + 0, 7, 0, 255, 8},               // offset 0 is the bottom line
      {0xE000 + 31 * 256 + 0, 0, 255, 255, 1},  // bottom-right pixel
      {0xA000 + 3 * 256 + 100, 4, 27, 155, 4},  // column 3, bit 4 -> x = 24 + 3, r = 100 -> y = 155
      {0xC000 + 16 * 256 + 200, 6, 129, 55, 2},
  };
  for (const Case& c : cases) {
    Mem mem;
    mem.bytes[c.address] = static_cast<std::uint8_t>(1u << c.bit);
    Pic pic;
    pic.pixels.fill(0xFF);
    VECScr2DIB4bpp(mem, pic);
    SCOPED_TRACE(testing::Message() << "address " << std::hex << c.address << " bit " << c.bit);
    EXPECT_EQ(pic.pixel(c.x, c.y), c.colour);
    const std::size_t byte = static_cast<std::size_t>(c.y * 128 + c.x / 2);
    const int expected = (c.x % 2 == 0) ? (c.colour << 4) : c.colour;
    EXPECT_EQ(pic.pixels[byte], expected) << "left pixel in the high nibble";
    int lit = 0;
    for (auto b : pic.pixels) lit += __builtin_popcount(b);
    EXPECT_EQ(lit, __builtin_popcount(static_cast<unsigned>(c.colour))) << "no other pixel set";
  }
}

TEST(ScreenConversion, FullPlaneGivesOneColourEverywhere) {
  Mem mem;
  std::fill(mem.bytes.begin() + 0x8000, mem.bytes.begin() + 0xA000, 0xFF);
  Pic pic;
  VECScr2DIB4bpp(mem, pic);
  for (auto b : pic.pixels) ASSERT_EQ(b, 0x88);
  Mem back;
  DIB4bpp2VECScr(pic, back);
  EXPECT_TRUE(back == mem);
}

}  // namespace
}  // namespace brindle
