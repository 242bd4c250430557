#pragma once
// Test-side makers of ".scr" files: ZX screens from a bitmap and attributes, with the
// colour each pixel should get; packed screen files come from testsupport/scr_pack.h.
#include <array>
#include <cstdint>
#include <vector>

#include "core/screen.h"
#include "testsupport/scr_pack.h"

namespace brindle::test {

using samples::PackedScr;
using samples::PackScr;

// The ZX bitmap byte of line y (0 at the top), byte column col.
inline std::size_t ZxBitmapOffset(int y, int col) {
  return static_cast<std::size_t>(((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2) | col);
}

struct ZxScreen {
  std::array<std::uint8_t, 6912> bytes{};

  std::uint8_t& bits(int y, int col) { return bytes[ZxBitmapOffset(y, col)]; }
  std::uint8_t& attr(int cellRow, int col) { return bytes[static_cast<std::size_t>(6144 + cellRow * 32 + col)]; }
  std::uint8_t bits(int y, int col) const { return bytes[ZxBitmapOffset(y, col)]; }
  std::uint8_t attr(int cellRow, int col) const { return bytes[static_cast<std::size_t>(6144 + cellRow * 32 + col)]; }

  // The palette index of pixel (x, y): ink where the bit is set, else paper, both
  // G*4 + R*2 + B, plus 8 when bright; lines 192 and below are 0.
  int colourAt(int x, int y) const {
    if (y >= 192) return 0;
    const std::uint8_t a = attr(y / 8, x / 8);
    const bool set = (bits(y, x / 8) >> (7 - x % 8)) & 1;
    const int ink = a & 7, paper = (a >> 3) & 7;  // bits B, R, G are already in index order
    return (set ? ink : paper) + ((a & 0x40) ? 8 : 0);
  }
  std::vector<std::uint8_t> file() const { return {bytes.begin(), bytes.end()}; }
};

}  // namespace brindle::test
