#pragma once
// Screen memory of the 8-bit computer and the 16-colour working picture.
//
// Screen memory (0x8000..0xFFFF of Mem) is four bit planes of 8 KiB at 0x8000, 0xA000,
// 0xC000 and 0xE000. A plane is 32 byte columns of 256 bytes; the byte at
// plane + col * 256 + r holds pixels 8*col .. 8*col+7 of picture line y = 255 - r
// (r = 0 is the bottom line), bit 7 the leftmost. Plane 0x8000 gives colour bit 3,
// plane 0xE000 colour bit 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brindle {

inline constexpr std::size_t MemSize = 0x10000;
inline constexpr std::size_t ScreenBase = 0x8000;
inline constexpr std::size_t ScreenSize = 0x8000;
inline constexpr std::size_t PlaneSize = 0x2000;
// Plane start addresses, highest colour bit first.
inline constexpr std::array<std::size_t, 4> PlaneAddress{0x8000, 0xA000, 0xC000, 0xE000};

// 64 KiB image of the computer's address space; zeroed at creation.
struct Mem {
  std::array<std::uint8_t, MemSize> bytes{};

  std::span<std::uint8_t, ScreenSize> screen() {
    return std::span<std::uint8_t, ScreenSize>(bytes.data() + ScreenBase, ScreenSize);
  }
  std::span<const std::uint8_t, ScreenSize> screen() const {
    return std::span<const std::uint8_t, ScreenSize>(bytes.data() + ScreenBase, ScreenSize);
  }
  bool operator==(const Mem&) const = default;
};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

using Palette16 = std::array<Rgb, 16>;

// The working picture: 256 x 256 pixels, 4 bits each, lines top first, 128 bytes a line,
// the left pixel of a byte in its high nibble; 16-entry RGB palette. Zeroed at creation.
struct Pic {
  static constexpr int Width = 256;
  static constexpr int Height = 256;
  static constexpr int LineBytes = 128;

  std::array<std::uint8_t, LineBytes * Height> pixels{};
  Palette16 palette{};

  int pixel(int x, int y) const {
    const std::uint8_t b = pixels[static_cast<std::size_t>(y * LineBytes + x / 2)];
    return (x % 2 == 0) ? (b >> 4) : (b & 0x0F);
  }
  void setPixel(int x, int y, int index) {
    std::uint8_t& b = pixels[static_cast<std::size_t>(y * LineBytes + x / 2)];
    if (x % 2 == 0)
      b = static_cast<std::uint8_t>((b & 0x0F) | ((index & 0x0F) << 4));
    else
      b = static_cast<std::uint8_t>((b & 0xF0) | (index & 0x0F));
  }
  Rgb colourAt(int x, int y) const { return palette[static_cast<std::size_t>(pixel(x, y))]; }
  bool operator==(const Pic&) const = default;
};

// Whole screen memory of mem into the pixels of pic; the palette is not touched.
void VECScr2DIB4bpp(const Mem& mem, Pic& pic);
// Pixels of pic into the screen memory of mem; every screen byte is rewritten,
// mem below 0x8000 is left alone.
void DIB4bpp2VECScr(const Pic& pic, Mem& mem);

}  // namespace brindle
