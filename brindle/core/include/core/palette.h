#pragma once
// VEC palette bytes and their levels.
//
// A VEC palette byte describes one colour: bits 0-2 index the red level and bits 3-5 the
// green level in RGLevels, bits 6-7 the blue level in BLevels.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

#include "core/screen.h"

namespace brindle {

using VecPalette = std::array<std::uint8_t, 16>;
using Channel16 = std::array<std::uint8_t, 16>;

struct Levels {
  std::array<std::uint8_t, 8> RGLevels{0, 50, 90, 130, 165, 195, 225, 255};
  std::array<std::uint8_t, 4> BLevels{0, 90, 180, 255};
  bool operator==(const Levels&) const = default;
};

inline constexpr VecPalette DefaultVECPalette{0x00, 0x80, 0x10, 0xD0, 0x06, 0x86, 0x16, 0x36,
                                              0x00, 0xC5, 0x22, 0xC0, 0x02, 0x98, 0x52, 0xAD};

// The fixed palette of the ZX screen: index = bright*8 + G*4 + R*2 + B; a set component
// is 0xC0, or 0xF0 when bright.
struct ZXPaletteTables {
  Channel16 R{}, G{}, B{};
};
ZXPaletteTables MakeZXPalette();
inline const ZXPaletteTables ZXPalette = MakeZXPalette();

Rgb VecByteToRgb(std::uint8_t vec, const Levels& levels);

// Index of the level nearest to value; of equally near levels the lower index wins.
int NearestLevel(std::uint8_t value, std::span<const std::uint8_t> levels);

// The first 16 palette entries reduced to colours a VEC palette byte can express,
// and the bytes that express them.
struct VecReduction {
  Palette16 palette{};
  VecPalette vec{};
};
VecReduction ReduceToVEC(const Palette16& palette, const Levels& levels);

void SetDIBPal(Pic& pic, const Channel16& r, const Channel16& g, const Channel16& b);
void SetDIBPalFromVEC(Pic& pic, const VecPalette& vec, const Levels& levels);

// Copies the first 16 entries of a bitmap palette into r, g, b. An empty palette leaves
// them untouched and returns false; a shorter one fills the rest with black.
bool GetDIBPal(std::span<const Rgb> palette, Channel16& r, Channel16& g, Channel16& b);

// Reduces pic's palette in place and returns the VEC palette bytes of the result.
VecPalette DIBPal2VECPal(Pic& pic, const Levels& levels);

// Reads one level file: one decimal integer a line, the low 8 bits of each stored in
// the next entry of dest. Returns false, touching nothing, when the file does not exist.
// A file that cannot be read, runs short or holds a bad line throws brindle::Error;
// the entries stored before the bad line stay.
bool ReadLevelFile(const std::filesystem::path& file, std::span<std::uint8_t> dest);

// Reads "B.lvl" then "RG.lvl" from folder. When "B.lvl" fails, "RG.lvl" is not read.
void ReadLevelFiles(const std::filesystem::path& folder, Levels& levels);

}  // namespace brindle
