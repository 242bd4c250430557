#include "core/screen.h"

namespace brindle {

void VECScr2DIB4bpp(const Mem& mem, Pic& pic) {
  const std::uint8_t* m = mem.bytes.data();
  for (int y = Pic::Height - 1; y >= 0; --y) {
    const int r = 255 - y;
    std::uint8_t* line = pic.pixels.data() + y * Pic::LineBytes;
    for (int col = 0; col < 32; ++col) {
      const std::size_t off = static_cast<std::size_t>(col * 256 + r);
      const unsigned a = m[0x8000 + off], b = m[0xA000 + off], c = m[0xC000 + off], d = m[0xE000 + off];
      for (int k = 0; k < 8; k += 2) {
        const int hi = 7 - k, lo = 6 - k;
        const unsigned left =
            (((a >> hi) & 1) << 3) | (((b >> hi) & 1) << 2) | (((c >> hi) & 1) << 1) | ((d >> hi) & 1);
        const unsigned right =
            (((a >> lo) & 1) << 3) | (((b >> lo) & 1) << 2) | (((c >> lo) & 1) << 1) | ((d >> lo) & 1);
        line[4 * col + k / 2] = static_cast<std::uint8_t>((left << 4) | right);
      }
    }
  }
}

void DIB4bpp2VECScr(const Pic& pic, Mem& mem) {
  std::uint8_t* m = mem.bytes.data();
  for (int y = 0; y < Pic::Height; ++y) {
    const int r = 255 - y;
    const std::uint8_t* line = pic.pixels.data() + y * Pic::LineBytes;
    for (int col = 0; col < 32; ++col) {
      unsigned planes[4] = {0, 0, 0, 0};
      for (int k = 0; k < 8; ++k) {
        const std::uint8_t byte = line[4 * col + k / 2];
        const unsigned index = (k % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
        for (int p = 0; p < 4; ++p) planes[p] |= ((index >> (3 - p)) & 1u) << (7 - k);
      }
      const std::size_t off = static_cast<std::size_t>(col * 256 + r);
      for (int p = 0; p < 4; ++p)
        m[PlaneAddress[static_cast<std::size_t>(p)] + off] = static_cast<std::uint8_t>(planes[p]);
    }
  }
}

}  // namespace brindle
