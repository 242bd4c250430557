#pragma once
// REMBRANDT pictures (".rmb", ".rbr"): a rectangle of the screen memory, unpacked.
//   0  16 VEC palette bytes, reversed: byte 15 - i is colour i
//   16 width w in byte columns (0 to 32), 17 height h in lines (0 means 256)
//   18 plane mask: bit 0 plane 0xE000, bit 1 0xC000, bit 2 0xA000, bit 3 0x8000
//   19 for each plane of the mask, in that order, h lines from the top, w bytes each;
//      the byte of line row, column col goes to plane + col * 256 + 255 - row
// The rest of the screen memory keeps its content. Written files hold the whole screen:
// w 32, h 0, mask 0x0F, 32787 bytes.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/palette.h"
#include "core/screen.h"

namespace brindle {

inline constexpr std::size_t RmbHeaderSize = 19;
inline constexpr std::size_t RmbFileSize = RmbHeaderSize + ScreenSize;

// The whole-screen REMBRANDT file for a palette and a screen.
std::vector<std::uint8_t> EncodeRMB(const VecPalette& palette, std::span<const std::uint8_t, ScreenSize> screen);

// The bytes of a REMBRANDT file into mem and pic. Bytes after the announced data are
// ignored. Under 19 bytes, a width above 32, or fewer bytes than the header announces
// throws brindle::Error with mem and pic unchanged.
void RMBShow(std::span<const std::uint8_t> data, Mem& mem, Pic& pic, const Levels& levels);

// Reads a REMBRANDT file (at most its first 32787 bytes) into mem and pic; any failure
// throws brindle::Error with mem and pic unchanged.
void RMBOpenAndShow(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels);

// Writes pic as a whole-screen REMBRANDT file; pic and mem change only once it is
// written, as with SaveSPR.
void SaveRMB(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels);

}  // namespace brindle
