#include "core/bmp.h"

#include "core/fileio.h"

namespace brindle {

namespace {
void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> EncodeBMP4(const Pic& pic) {
  std::vector<std::uint8_t> out;
  out.reserve(Bmp4FileSize);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  Put32(out, Bmp4FileSize);
  Put32(out, 0);
  Put32(out, Bmp4HeaderSize);
  // BITMAPINFOHEADER: positive height, so lines are stored bottom-up.
  Put32(out, 40);
  Put32(out, Pic::Width);
  Put32(out, Pic::Height);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);  // BI_RGB
  Put32(out, Pic::LineBytes * Pic::Height);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);
  Put32(out, 0);
  for (const Rgb& c : pic.palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = Pic::Height - 1; y >= 0; --y) {
    const auto* line = pic.pixels.data() + y * Pic::LineBytes;
    out.insert(out.end(), line, line + Pic::LineBytes);
  }
  return out;
}

void SaveBMP(const std::filesystem::path& file, const Pic& pic) {
  ReplaceFile(file, EncodeBMP4(pic), "BMP saving error");
}

}  // namespace brindle
