#pragma once
// A writer of packed screen files, which Brindle itself only reads: the sample program
// makes one with it and the tests check the reader against it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/screen.h"

namespace brindle::samples {

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
// bytes equal to an escape go into the lists, at most 7 of each; the caller keeps to that
// (ChooseEscapes finds such values).
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

// The fill byte and three escapes for a screen: the most common byte, and the three
// values from 0x80 up that occur least often; none when one of those occurs more than 7
// times, as the lists cannot hold it.
struct ScrCodes {
  std::uint8_t fill;
  std::array<std::uint8_t, 3> escape;
};
inline std::optional<ScrCodes> ChooseEscapes(const Mem& mem) {
  std::array<unsigned, 256> count{};
  for (const std::uint8_t b : mem.screen()) ++count[b];
  std::array<std::uint8_t, 128> high{};
  for (unsigned v = 0; v < 128; ++v) high[v] = static_cast<std::uint8_t>(0x80 + v);
  std::stable_sort(high.begin(), high.end(), [&](std::uint8_t a, std::uint8_t b) { return count[a] < count[b]; });
  if (count[high[2]] > 7) return std::nullopt;
  const auto fill = static_cast<std::uint8_t>(std::max_element(count.begin(), count.end()) - count.begin());
  return ScrCodes{fill, {high[0], high[1], high[2]}};
}

}  // namespace brindle::samples
