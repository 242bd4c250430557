#pragma once
// Small helpers shared by the tests: a private temporary folder, whole-file reads and
// writes, and generated screens and SPR files.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/palette.h"
#include "core/screen.h"
#include "core/spr.h"
#include "testsupport/temp_dir.h"

namespace brindle::test {

using TempDir = ::testsupport::TempDir;

inline void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& data) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

inline Mem RandomScreen(unsigned seed) {
  Mem mem;
  std::mt19937 rng(seed);
  for (auto& b : mem.screen()) b = static_cast<std::uint8_t>(rng());
  return mem;
}

// Runs of random lengths (1 to 300) of random values: packs into every kind of group.
inline Mem StructuredScreen(unsigned seed) {
  Mem mem;
  std::mt19937 rng(seed);
  auto screen = mem.screen();
  std::size_t a = 0;
  while (a < screen.size()) {
    const std::size_t len = 1 + rng() % 300;
    const auto v = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : rng() % 3);
    for (std::size_t j = 0; j < len && a < screen.size(); ++j) screen[a++] = v;
  }
  return mem;
}

// A complete SPR file for a screen, with the default palette.
inline std::vector<std::uint8_t> SprFileFor(const Mem& mem, const VecPalette& palette = DefaultVECPalette) {
  return EncodeSPR(palette, mem.screen());
}

}  // namespace brindle::test
