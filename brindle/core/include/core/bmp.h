#pragma once
// BMP pictures: reading 2- and 16-colour bitmaps of any size into the working picture, and
// writing the working picture as a 4-bit BMP (file header, BITMAPINFOHEADER, 16 palette
// entries and the 256 lines bottom-up, 118 + 32768 bytes).
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/bytesource.h"
#include "core/screen.h"

namespace brindle {

inline constexpr std::size_t Bmp4HeaderSize = 118;
inline constexpr std::size_t Bmp4FileSize = Bmp4HeaderSize + 128 * 256;

inline constexpr const char* BmpOpenTitle = "Bitmap opening error";
inline constexpr const char* BmpRejectText = "Only 2 or 16 colors bitmaps allowed";

std::vector<std::uint8_t> EncodeBMP4(const Pic& pic);

// Writes pic as a 4-bit BMP, replacing the file safely; throws brindle::Error on failure.
void SaveBMP(const std::filesystem::path& file, const Pic& pic);

// Decodes a BMP of 1 or 4 bits a pixel (uncompressed, or RLE4 for 4 bits; 12-byte core or
// 40- to 124-byte info header; bottom-up or top-down) into a picture: its top-left
// 256 x 256 pixels with their indexes, the rest index 0; the palette's entries (biClrUsed,
// 0 meaning all, at most 2^bits), the rest black. Only the rows the picture needs are read.
// Another bit count throws brindle::Rejection; damage throws brindle::Error.
Pic DecodeBMP(ByteSource& source);

// Reads a BMP file into pic; on any failure pic is unchanged.
void BMPOpenAndShow(const std::filesystem::path& file, Pic& pic);

}  // namespace brindle
