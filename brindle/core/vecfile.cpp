#include "core/vecfile.h"

#include "core/fileio.h"

namespace brindle {

void ShowVECPicture(const Mem& screen, const VecPalette& palette, const Levels& levels, Mem& mem, Pic& pic) {
  Pic newPic;
  SetDIBPalFromVEC(newPic, palette, levels);
  VECScr2DIB4bpp(screen, newPic);
  mem = screen;
  pic = newPic;
}

void SaveVECPicture(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels, VecFileEncoder encode,
                    const std::string& title) {
  const VecReduction reduced = ReduceToVEC(pic.palette, levels);
  Mem newMem = mem;
  DIB4bpp2VECScr(pic, newMem);
  ReplaceFile(file, encode(reduced.vec, newMem.screen()), title);
  mem = newMem;
  pic.palette = reduced.palette;
}

}  // namespace brindle
