#pragma once
// GIF pictures through giflib: reading the first frame of a 16-colour GIF of at most
// 256 x 256 pixels, and writing the working picture as a one-frame 16-colour GIF.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/bytesource.h"
#include "core/screen.h"

namespace brindle {

inline constexpr const char* GifOpenTitle = "GIF opening error";
inline constexpr const char* GifRejectText = "Only 16 colors GIFs of size less or equal to 256x256 allowed";

// The picture's colour map is the first frame's local map, else the global one. The file is
// taken when that map has 4 bits a pixel (16 entries) and the screen is at most 256 x 256;
// otherwise (no map at all included) brindle::Rejection. The picture is index 0 with the
// map's 16 colours, and the first frame at its place, clipped to the screen, de-interlaced,
// the low 4 bits of each index; transparency is ignored. Only the first frame is read, line
// by line. Damage throws brindle::Error.
Pic DecodeGIF(ByteSource& source);
void GIFOpenAndShow(const std::filesystem::path& file, Pic& pic);

// A 256 x 256 GIF with a global map of pic's 16 colours and one frame of pic's indexes.
std::vector<std::uint8_t> EncodeGIF(const Pic& pic);
// Writes pic as a GIF, replacing the file safely; throws brindle::Error on failure.
void SaveGIF(const std::filesystem::path& file, const Pic& pic);

}  // namespace brindle
