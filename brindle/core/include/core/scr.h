#pragma once
// ".scr" pictures, of two kinds told apart by the file's length alone.
//
// ZX screen, exactly 6912 bytes: a 256 x 192 bitmap (byte third*2048 + line*256 +
// row*32 + col holds pixels 8*col.. of line y = third*64 + row*8 + line) and 24 x 32
// attribute bytes (ink B, R, G in bits 0-2, paper in bits 3-5, bright in bit 6), shown
// with the fixed ZX palette.
//
// Packed screen, any other length: a 64-byte header, then a stream decoded backwards
// into the screen memory.
//   0  E, LE16: the first byte decoded goes to 0x8000 + E, the next ones downwards
//   2  I, LE16: position of the stream's last byte (the first one decoded)
//   4  fill byte F
//   5  palette file name, 11 bytes, ended by a zero byte; "T.288-31-25" means the
//      default VEC palette, any other name a file whose first 16 bytes are the palette
//   16, 32, 48: escape 1, 2, 3, each followed by a count (0-7) and 7 LE16 screen offsets
//   64 the stream, bytes I down to 0: a byte below 0x80 is itself; escape 1 is two F;
//      escape 2 is three copies of the byte before it; escape 3 is N copies (0: 65536)
//      of V, where N is the byte before it and V the one before N; any other byte is
//      itself. Then each list stores its escape at 0x8000 + offset.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/palette.h"
#include "core/screen.h"

namespace brindle {

inline constexpr std::size_t ZxScreenFileSize = 6912;
inline constexpr std::size_t ScrHeaderSize = 64;
inline constexpr std::size_t ScrMaxStream = 0x10000;  // I is 16-bit: later bytes are never used
inline constexpr std::string_view DefaultVECPaletteName = "T.288-31-25";

// A ZX screen into mem and pic: pic gets the ZX palette, all of mem is cleared and the
// planes 0xA000 (green), 0xC000 (red), 0xE000 (blue) and 0x8000 (bright) filled; lines
// 192 to 255 stay colour 0.
void ZXSCRShow(std::span<const std::uint8_t, ZxScreenFileSize> zx, Mem& mem, Pic& pic);

// Decodes a packed stream and applies the header's lists into mem (mem is not cleared
// first; an empty stream changes nothing). A damaged stream (I outside it, escape 2 at
// position 0, escape 3 at position 0 or 1) throws brindle::Error with mem unchanged.
void SCRShow(std::span<const std::uint8_t, ScrHeaderSize> header, std::span<const std::uint8_t> stream, Mem& mem);

// The palette file name of a packed header: bytes 5-15 up to the first zero byte, with
// trailing blanks and dots dropped. An empty name, "." or "..", or one holding "/", "\"
// or ":" throws brindle::Error.
std::string ScrPaletteName(std::span<const std::uint8_t, ScrHeaderSize> header);

// The palette file for name in folder: the exact name if it is a regular file, else the
// first, in byte order, of the regular files whose names match it without regard to
// ASCII case. Throws brindle::Error when there is none.
std::filesystem::path FindScrPaletteFile(const std::filesystem::path& folder, const std::string& name);

// The bytes of a ".scr" file (its first bytes, at most 64 + 65536; length is the whole
// file's) into mem and pic, palette files looked up in folder. Any failure throws
// brindle::Error with mem and pic unchanged.
void SCRRead(std::span<const std::uint8_t> data, std::uintmax_t length, const std::filesystem::path& folder, Mem& mem,
             Pic& pic, const Levels& levels);

// Reads a ".scr" file of either kind into mem and pic; the palette file of a packed
// screen is looked up in the folder of the ".scr" file. Any failure throws
// brindle::Error with mem and pic unchanged.
void SCROpen(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels);

}  // namespace brindle
