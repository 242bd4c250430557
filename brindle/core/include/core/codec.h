#pragma once
// What the readers of the PC picture formats share: the file opened by position, the
// decoded picture committed only on success, damage reported with the file's name.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "core/bytesource.h"
#include "core/screen.h"

namespace brindle {

// Throws brindle::Error(title, reason) for a file a reader cannot decode.
[[noreturn]] void Damaged(const std::string& title, const std::string& reason);

// Decodes file with decode and, only when that succeeds, gives the picture to pic. A
// rejection passes as it is; other errors get the file's name in front of their reason.
using PictureDecoder = Pic (*)(ByteSource& source);
void OpenPictureFile(const std::filesystem::path& file, const std::string& title, PictureDecoder decode, Pic& pic);

// Gives pic a file's palette through SetDIBPal: its first 16 entries, black after the last.
void SetPicPalette(Pic& pic, std::span<const Rgb> entries);

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace brindle
