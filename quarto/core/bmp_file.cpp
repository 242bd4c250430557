#include "core/bmp_file.h"

namespace quarto {

namespace {

void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

std::string EncodeBmp8(int width, int height, const uint8_t* pixels, size_t stride,
                       std::span<const uint32_t, 256> palette, int32_t pixelsPerMetreX, int32_t pixelsPerMetreY) {
  constexpr uint32_t kHeaders = 14 + 40, kPalette = 256 * 4;
  const auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
  const uint32_t row = (w + 3) & ~3u;
  const uint32_t image = row * h;
  std::string out;
  out.reserve(kHeaders + kPalette + image);
  // BITMAPFILEHEADER
  out += "BM";
  Put32(out, kHeaders + kPalette + image);
  Put32(out, 0);  // reserved
  Put32(out, kHeaders + kPalette);
  // BITMAPINFOHEADER: bottom-up rows, 8 bits per pixel, no compression, all 256 colours used
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, image);
  Put32(out, static_cast<uint32_t>(pixelsPerMetreX));
  Put32(out, static_cast<uint32_t>(pixelsPerMetreY));
  Put32(out, 256);
  Put32(out, 256);
  for (const uint32_t c : palette) {  // blue, green, red, 0
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
    out.push_back(static_cast<char>((c >> 16) & 0xFF));
    out.push_back('\0');
  }
  for (uint32_t y = h; y-- > 0;) {
    out.append(reinterpret_cast<const char*>(pixels + y * stride), w);
    out.append(row - w, '\0');
  }
  return out;
}

}  // namespace quarto
