#pragma once
// PNG pictures through libpng: reading palette PNGs of 1 to 16 entries and at most
// 256 x 256 pixels, and writing the working picture as a 4-bit palette PNG.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/bytesource.h"
#include "core/screen.h"

namespace brindle {

inline constexpr const char* PngOpenTitle = "PNG opening error";
inline constexpr const char* PngRejectText = "Only less than 16 colors PNGs of size less or equal to 256x256 allowed";

// Taken when the colour type is 3 (palette) with 1 to 16 PLTE entries and the size is at
// most 256 x 256, else brindle::Rejection. The indexes are read as they stand (interlaced
// or not); an index at or past the entry count becomes 0; entries past the count are
// black; transparency, gamma and colour profiles change nothing. Damage throws Error.
Pic DecodePNG(ByteSource& source);
void PNGOpenAndShow(const std::filesystem::path& file, Pic& pic);

// A 256 x 256 PNG of bit depth 4, colour type 3, 16 PLTE entries, not interlaced.
std::vector<std::uint8_t> EncodePNG(const Pic& pic);
// Writes pic as a PNG, replacing the file safely; throws brindle::Error on failure.
void SavePNG(const std::filesystem::path& file, const Pic& pic);

}  // namespace brindle
