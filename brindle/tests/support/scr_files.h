#pragma once
// Test-side makers of ".scr" files: ZX screens from a bitmap and attributes, with the
// colour each pixel should get, and packed screen files from their header fields.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/screen.h"

namespace brindle::test {

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

// Header fields of a packed screen file; bytes() lays them out.
struct PackedScr {
  unsigned end = 0x7FFF;  // E
  unsigned last = 0;      // I
  std::uint8_t fill = 0;  // F
  std::string palette = "T.288-31-25";
  std::array<std::uint8_t, 3> escape{};
  std::array<std::vector<unsigned>, 3> lists;
  std::array<int, 3> counts{-1, -1, -1};  // -1: the list's size
  std::vector<std::uint8_t> stream;

  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> out(64, 0);
    out[0] = static_cast<std::uint8_t>(end);
    out[1] = static_cast<std::uint8_t>(end >> 8);
    out[2] = static_cast<std::uint8_t>(last);
    out[3] = static_cast<std::uint8_t>(last >> 8);
    out[4] = fill;
    for (std::size_t k = 0; k < palette.size() && k < 11; ++k) out[5 + k] = static_cast<std::uint8_t>(palette[k]);
    for (std::size_t l = 0; l < 3; ++l) {
      const std::size_t base = 16 + 16 * l;
      out[base] = escape[l];
      out[base + 1] = static_cast<std::uint8_t>(counts[l] >= 0 ? counts[l] : static_cast<int>(lists[l].size()));
      for (std::size_t k = 0; k < lists[l].size() && k < 7; ++k) {
        out[base + 2 + 2 * k] = static_cast<std::uint8_t>(lists[l][k]);
        out[base + 3 + 2 * k] = static_cast<std::uint8_t>(lists[l][k] >> 8);
      }
    }
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
  }
};

// Packs a whole screen in address order (E 0x7FFF, the stream's byte 0 for 0x8000): runs of
// 4 to 255 as escape 3, runs of 3 as escape 2, pairs of the fill byte as escape 1. Screen
// bytes equal to an escape go into the lists, at most 7 of each; the caller keeps to that.
inline PackedScr PackScr(const Mem& mem, std::uint8_t fill, std::array<std::uint8_t, 3> escape) {
  PackedScr p;
  p.fill = fill;
  p.escape = escape;
  const auto screen = mem.screen();
  std::vector<std::uint8_t> plain(screen.begin(), screen.end());
  for (std::size_t a = 0; a < plain.size(); ++a)
    for (std::size_t l = 0; l < 3; ++l)
      if (plain[a] == escape[l]) {
        p.lists[l].push_back(static_cast<unsigned>(a));
        plain[a] = 0x00;  // a placeholder the list overwrites
        break;
      }
  std::size_t a = 0;
  while (a < plain.size()) {
    const std::uint8_t v = plain[a];
    std::size_t run = 1;
    while (a + run < plain.size() && run < 255 && plain[a + run] == v) ++run;
    if (run >= 4) {
      p.stream.insert(p.stream.end(), {v, static_cast<std::uint8_t>(run), escape[2]});
    } else if (run == 3) {
      p.stream.insert(p.stream.end(), {v, escape[1]});
    } else if (v == fill && run == 2) {
      p.stream.push_back(escape[0]);
    } else {
      run = 1;
      p.stream.push_back(v);
    }
    a += run;
  }
  p.last = static_cast<unsigned>(p.stream.size() - 1);
  return p;
}

}  // namespace brindle::test
