// The bitmap export's 8-bit BMP file, byte by byte.
#include "core/bmp_file.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quarto {
namespace {

uint32_t U32(const std::string& f, size_t at) {
  return uint32_t(uint8_t(f[at])) | uint32_t(uint8_t(f[at + 1])) << 8 | uint32_t(uint8_t(f[at + 2])) << 16 |
         uint32_t(uint8_t(f[at + 3])) << 24;
}

TEST(EncodeBmp8, HeadersPaletteAndZeroPaddedRowsFromTheBottom) {
  std::array<uint32_t, 256> palette{};
  palette[1] = 0x112233;
  for (const int width : {1, 2, 3, 4, 5}) {
    // Two rows; the memory past each row's width holds what a caller's buffer may hold.
    const size_t stride = 8;
    std::vector<uint8_t> pixels(2 * stride, 0xAA);
    for (int x = 0; x < width; ++x) pixels[size_t(x)] = 1, pixels[stride + size_t(x)] = 2;
    const std::string f = EncodeBmp8(width, 2, pixels.data(), stride, palette, 3780, 3780);
    const uint32_t row = (uint32_t(width) + 3) & ~3u;
    ASSERT_EQ(f.size(), 1078 + 2 * row) << width;
    EXPECT_EQ(f.substr(0, 2), "BM");
    EXPECT_EQ(U32(f, 2), f.size());
    EXPECT_EQ(U32(f, 10), 1078u);
    EXPECT_EQ(U32(f, 18), uint32_t(width));
    EXPECT_EQ(U32(f, 22), 2u);
    EXPECT_EQ(U32(f, 28) & 0xFFFF, 8u);
    EXPECT_EQ(U32(f, 34), 2 * row);
    EXPECT_EQ(U32(f, 46), 256u);
    EXPECT_EQ(f.substr(54 + 4, 4), std::string("\x33\x22\x11\x00", 4)) << "blue, green, red, 0";
    for (uint32_t x = 0; x < row; ++x) {
      const bool inside = x < uint32_t(width);
      EXPECT_EQ(uint8_t(f[1078 + x]), inside ? 2 : 0) << "the bottom row first; width " << width;
      EXPECT_EQ(uint8_t(f[1078 + row + x]), inside ? 1 : 0) << width;
    }
  }
}

}  // namespace
}  // namespace quarto
