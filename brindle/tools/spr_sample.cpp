// spr-sample DIR: writes DIR/sample.spr, a colourful 256 x 256 picture (sunset over hills),
// through the program's own SPR writer, the same scene mirrored as DIR/sample.rmb through
// its REMBRANDT writer, and as DIR/sample.scr a packed screen file of the scene on the
// default VEC palette (named "T.288-31-25"), so that Right steps through three formats.
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/error.h"
#include "core/fileio.h"
#include "core/palette.h"
#include "core/rmb.h"
#include "core/scr.h"
#include "core/spr.h"
#include "testsupport/scr_pack.h"

using namespace brindle;

namespace {

// Sky blues to purple, reds to yellow, white, greens.
constexpr VecPalette SunsetPalette{0x40, 0x80, 0x81, 0x83, 0x45, 0x07, 0x0F, 0x17,
                                   0x1F, 0x27, 0x37, 0xBF, 0xFF, 0x30, 0x20, 0x10};

int ColourAt(int x, int y) {
  const double hill = 190 + 18 * std::sin(x / 23.0) + 9 * std::sin(x / 7.0 + 1.0);
  if (y > hill + 30) return 15;
  if (y > hill + 12) return 14;
  if (y > hill) return 13;
  const double dx = x - 128, dy = y - 150;
  const double r = std::sqrt(dx * dx + dy * dy);
  if (r < 22) return 12;
  if (r < 34) return 11;
  if (r < 46) return 10;
  if (r < 56 && ((x + y) / 4) % 2 == 0) return 9;
  const int band = y / 30;  // the sky darkens upwards, band 0 at the top
  if (y > 120 && (y / 6) % 2 == 0 && std::abs(dx) < 110) return 8 - (150 - y) / 15;  // glowing streaks near the horizon
  return band > 4 ? 4 : band;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: spr-sample DIR\n");
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  try {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const Levels levels;
    Pic pic;
    SetDIBPalFromVEC(pic, SunsetPalette, levels);
    for (int y = 0; y < Pic::Height; ++y)
      for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, ColourAt(x, y));
    Mem mem;
    SaveSPR(folder / "sample.spr", pic, mem, levels);

    Pic mirrored = pic;
    for (int y = 0; y < Pic::Height; ++y)
      for (int x = 0; x < Pic::Width; ++x) mirrored.setPixel(x, y, pic.pixel(Pic::Width - 1 - x, y));
    SaveRMB(folder / "sample.rmb", mirrored, mem, levels);

    DIB4bpp2VECScr(pic, mem);
    const auto codes = samples::ChooseEscapes(mem);
    if (!codes) throw Error("spr-sample", "The sample screen leaves no escape values for a packed screen file.");
    samples::PackedScr packed = samples::PackScr(mem, codes->fill, codes->escape);
    packed.palette = std::string(DefaultVECPaletteName);
    ReplaceFile(folder / "sample.scr", packed.bytes(), "spr-sample");
  } catch (const Error& e) {
    std::fprintf(stderr, "spr-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
