#include "core/palette.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>

#include "common/read_file.h"
#include "core/error.h"

namespace brindle {

ZXPaletteTables MakeZXPalette() {
  ZXPaletteTables t;
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t on = (i & 8) ? 0xF0 : 0xC0;
    t.G[static_cast<std::size_t>(i)] = (i & 4) ? on : 0;
    t.R[static_cast<std::size_t>(i)] = (i & 2) ? on : 0;
    t.B[static_cast<std::size_t>(i)] = (i & 1) ? on : 0;
  }
  return t;
}

Rgb VecByteToRgb(std::uint8_t vec, const Levels& levels) {
  return Rgb{levels.RGLevels[vec & 7u], levels.RGLevels[(vec >> 3) & 7u], levels.BLevels[vec >> 6]};
}

int NearestLevel(std::uint8_t value, std::span<const std::uint8_t> levels) {
  int best = 0;
  int bestDistance = std::abs(int(levels[0]) - int(value));
  for (std::size_t k = 1; k < levels.size(); ++k) {
    const int d = std::abs(int(levels[k]) - int(value));
    if (d < bestDistance) {
      best = static_cast<int>(k);
      bestDistance = d;
    }
  }
  return best;
}

VecReduction ReduceToVEC(const Palette16& palette, const Levels& levels) {
  VecReduction out;
  for (std::size_t i = 0; i < 16; ++i) {
    const int kR = NearestLevel(palette[i].r, levels.RGLevels);
    const int kG = NearestLevel(palette[i].g, levels.RGLevels);
    const int kB = NearestLevel(palette[i].b, levels.BLevels);
    out.vec[i] = static_cast<std::uint8_t>(kB * 64 + kG * 8 + kR);
    out.palette[i] = VecByteToRgb(out.vec[i], levels);
  }
  return out;
}

void SetDIBPal(Pic& pic, const Channel16& r, const Channel16& g, const Channel16& b) {
  for (std::size_t i = 0; i < 16; ++i) pic.palette[i] = Rgb{r[i], g[i], b[i]};
}

void SetDIBPalFromVEC(Pic& pic, const VecPalette& vec, const Levels& levels) {
  for (std::size_t i = 0; i < 16; ++i) pic.palette[i] = VecByteToRgb(vec[i], levels);
}

bool GetDIBPal(std::span<const Rgb> palette, Channel16& r, Channel16& g, Channel16& b) {
  if (palette.empty()) return false;
  for (std::size_t i = 0; i < 16; ++i) {
    const Rgb c = i < palette.size() ? palette[i] : Rgb{};
    r[i] = c.r;
    g[i] = c.g;
    b[i] = c.b;
  }
  return true;
}

VecPalette DIBPal2VECPal(Pic& pic, const Levels& levels) {
  const VecReduction reduced = ReduceToVEC(pic.palette, levels);
  pic.palette = reduced.palette;
  return reduced.vec;
}

namespace {

// Decimal integer with an optional sign, blanks around it allowed; false when it is not one
// or does not fit in 32 bits.
bool ParseDecimal(std::string text, long& value) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return false;
  const auto last = text.find_last_not_of(" \t\r");
  text = text.substr(first, last - first + 1);
  std::size_t digits = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (digits == text.size()) return false;
  for (std::size_t i = digits; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return false;
  value = static_cast<long>(v);
  return true;
}

}  // namespace

bool ReadLevelFile(const std::filesystem::path& file, std::span<std::uint8_t> dest) {
  // Only a regular file is read: a folder cannot be read and a pipe would block.
  const common::Result<common::FileBytes> read = common::ReadFile(file.string());
  if (!read && (read.error() == ENOENT || read.error() == ENOTDIR)) return false;
  const std::string name = file.filename().string();
  if (!read) throw Error("Brindle", "Cannot read the level file \"" + name + "\": " + read.reason() + ".");
  std::istringstream in(read->bytes);
  for (std::size_t i = 0; i < dest.size(); ++i) {
    std::string line;
    const bool got = static_cast<bool>(std::getline(in, line));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!got) {
      if (in.bad()) throw Error("Brindle", "Cannot read the level file \"" + name + "\".");
      throw Error("Brindle", "The level file \"" + name + "\" ends before line " + std::to_string(i + 1) + ".");
    }
    long value = 0;
    if (!ParseDecimal(line, value))
      throw Error("Brindle", "Line " + std::to_string(i + 1) + " of the level file \"" + name +
                                 "\" is not a decimal integer: '" + line + "'.");
    dest[i] = static_cast<std::uint8_t>(value & 0xFF);
  }
  return true;
}

void ReadLevelFiles(const std::filesystem::path& folder, Levels& levels) {
  ReadLevelFile(folder / "B.lvl", levels.BLevels);
  ReadLevelFile(folder / "RG.lvl", levels.RGLevels);
}

}  // namespace brindle
