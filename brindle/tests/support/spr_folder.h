#pragma once
// Writes small picture folders for the window tests.
#include <filesystem>

#include "core/palette.h"
#include "core/screen.h"
#include "core/spr.h"
#include "support/fixtures.h"

namespace brindle::test {

// An SPR file whose picture is four vertical bands of colours first..first+3 on the
// default palette (colour c of the default palette is VecByteToRgb(DefaultVECPalette[c])).
inline void WriteBandedSpr(const std::filesystem::path& file, int first) {
  Pic pic;
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, (first + x / 64) % 16);
  Mem mem;
  DIB4bpp2VECScr(pic, mem);
  WriteBytes(file, SprFileFor(mem));
}

}  // namespace brindle::test
