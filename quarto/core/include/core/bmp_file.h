#pragma once
// The 8-bit BMP file of the bitmap export: a file header, an info header, 256 palette entries
// and the rows from the bottom up, each padded to four bytes. Every byte of the file is the
// picture's or defined here (the padding is zero), so two saves of one drawing are the same file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quarto {

// `pixels` holds `height` rows of `width` palette indexes, `stride` bytes apart, top row
// first; `palette` is 256 colours as 0xRRGGBB (a high byte is ignored). The resolution is
// written as given, in pixels per metre.
std::string EncodeBmp8(int width, int height, const uint8_t* pixels, size_t stride,
                       std::span<const uint32_t, 256> palette, int32_t pixelsPerMetreX, int32_t pixelsPerMetreY);

}  // namespace quarto
