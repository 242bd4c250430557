#pragma once
// What the readers and writers of the computer's own formats share.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/palette.h"
#include "core/screen.h"

namespace brindle {

// Shows a decoded screen: pic gets palette (through levels) and the pixels of screen,
// mem becomes screen. Readers decode into a copy of mem and end with this, so a failure
// before it leaves mem and pic as they were.
void ShowVECPicture(const Mem& screen, const VecPalette& palette, const Levels& levels, Mem& mem, Pic& pic);

// A whole file for 16 VEC palette bytes and the 32768 screen bytes.
using VecFileEncoder = std::vector<std::uint8_t> (*)(const VecPalette& palette,
                                                     std::span<const std::uint8_t, ScreenSize> screen);

// Writes pic through encode with its palette reduced to VEC colours, replacing the file
// safely. Only once the file is written does pic get the reduced palette and mem the
// screen that the file holds; a failure throws brindle::Error (caption title) and
// leaves pic, mem and any old file as they were.
void SaveVECPicture(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels, VecFileEncoder encode,
                    const std::string& title);

}  // namespace brindle
