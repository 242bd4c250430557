#pragma once
// SPR pictures: 16 VEC palette bytes, two unused bytes, then the screen memory packed
// with a run-length code that is read from the end of the file towards its start,
// zero-padded to a multiple of 128 bytes.
//
// Packed stream: groups that expand in address order, each ended by its control byte:
//   literal: m data bytes, control m (0x01..0x80)
//   run:     value V, control 0x80 + L (0x85..0xFF, L = 5..127); 0x00 reads as a run of 128
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/palette.h"
#include "core/screen.h"

namespace brindle {

inline constexpr std::size_t SprHeaderSize = 18;
inline constexpr std::size_t SprMaxFileSize = 65536;  // positions while decoding are 16-bit
inline constexpr std::size_t SprMaxPackedFile = 33152;

// Packs the 32768 screen bytes; the result is the stream followed by the zero bytes that
// make (result size + 18) a multiple of 128.
std::vector<std::uint8_t> PackScreenRle(std::span<const std::uint8_t, ScreenSize> screen);

// Decodes the stream of a whole SPR file into the screen memory of mem, working from the
// last non-zero byte backwards. The last group may reach below 0x8000, as on the computer.
// A file under 18 bytes, over 65536 bytes, without a non-zero byte, or whose stream needs
// bytes before the start of the file throws brindle::Error and leaves mem unchanged.
void UnpackScreenRle(std::span<const std::uint8_t> file, Mem& mem);

// Whole SPR file for a palette and a screen.
std::vector<std::uint8_t> EncodeSPR(const VecPalette& palette, std::span<const std::uint8_t, ScreenSize> screen);

// Reads an SPR file into mem and pic (palette through levels). On any failure it throws
// brindle::Error and neither mem nor pic changes.
void SPROpenAndShow(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels);

// Writes pic as an SPR file with its palette reduced to VEC colours. Only once the file is
// written does pic get the reduced palette and mem the screen that the file holds; a
// failure throws brindle::Error and leaves pic, mem and any old file as they were.
void SaveSPR(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels);

}  // namespace brindle
