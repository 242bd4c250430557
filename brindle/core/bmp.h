#pragma once
// 4-bit BMP writing of the working picture: file header, BITMAPINFOHEADER, 16 palette
// entries and the 256 lines bottom-up, 118 + 32768 bytes.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/screen.h"

namespace brindle {

inline constexpr std::size_t Bmp4HeaderSize = 118;
inline constexpr std::size_t Bmp4FileSize = Bmp4HeaderSize + 128 * 256;

std::vector<std::uint8_t> EncodeBMP4(const Pic& pic);

// Writes pic as a 4-bit BMP, replacing the file safely; throws brindle::Error on failure.
void SaveBMP(const std::filesystem::path& file, const Pic& pic);

}  // namespace brindle
