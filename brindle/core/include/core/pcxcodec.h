#pragma once
// PCX pictures: reading 16-colour PCX of at most 256 x 256 pixels. The header is checked
// here; the pixel data is decoded by GraphicsMagick from the file's bytes.
#include <cstdint>
#include <filesystem>
#include <span>

#include "core/bytesource.h"
#include "core/screen.h"

namespace brindle {

inline constexpr const char* PcxOpenTitle = "PCX opening error";
inline constexpr const char* PcxRejectText = "Only 16 colors PCX of size less or equal to 256x256 allowed";
inline constexpr std::uint64_t PcxMaxFileSize = 1 << 20;

// The header this program takes: byte 0 0x0A, version 0 to 5, encoding 1, 4 bits in one
// plane or 1 bit in four planes, width and height 1 to 256, enough bytes a line for the width.
bool PcxHeaderAccepted(std::span<const std::uint8_t> file);

// Every file that is not such a PCX, that is over 1 MiB, or that the decoder does not give
// as 16 indexed colours of the header's size throws brindle::Rejection. The picture has the
// decoded indexes at the top left, index 0 elsewhere, and the header's 16-colour palette.
Pic DecodePCX(ByteSource& source);
void PCXOpenAndShow(const std::filesystem::path& file, Pic& pic);

}  // namespace brindle
