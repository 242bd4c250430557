#include "core/rmb.h"

#include <bit>
#include <string>

#include "core/error.h"
#include "core/fileio.h"
#include "core/vecfile.h"

namespace brindle {

namespace {
const std::string OpenTitle = "REMBRANDT opening error";
const std::string SaveTitle = "RMB saving error";

// Planes in the order of the mask bits.
constexpr std::size_t MaskPlanes[4] = {0xE000, 0xC000, 0xA000, 0x8000};
}  // namespace

std::vector<std::uint8_t> EncodeRMB(const VecPalette& palette, std::span<const std::uint8_t, ScreenSize> screen) {
  std::vector<std::uint8_t> file(palette.rbegin(), palette.rend());
  file.insert(file.end(), {0x20, 0x00, 0x0F});
  for (const std::size_t plane : MaskPlanes)
    for (std::size_t row = 0; row < 256; ++row)
      for (std::size_t col = 0; col < 32; ++col) file.push_back(screen[plane - ScreenBase + col * 256 + 255 - row]);
  return file;
}

void RMBShow(std::span<const std::uint8_t> data, Mem& mem, Pic& pic, const Levels& levels) {
  if (data.size() < RmbHeaderSize)
    throw Error(OpenTitle, "The REMBRANDT file is damaged: it is shorter than 19 bytes.");
  const std::size_t w = data[16];
  const std::size_t h = data[17] == 0 ? 256 : data[17];
  const unsigned mask = data[18] & 0x0Fu;
  if (w > 32)
    throw Error(OpenTitle, "The REMBRANDT file is damaged: its width of " + std::to_string(w) +
                               " columns is more than the 32 of the screen.");
  if (data.size() < RmbHeaderSize + static_cast<std::size_t>(std::popcount(mask)) * h * w)
    throw Error(OpenTitle, "The REMBRANDT file is damaged: it ends before the picture its header announces.");
  VecPalette palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = data[15 - i];
  Mem newMem = mem;
  std::size_t p = RmbHeaderSize;
  for (unsigned j = 0; j < 4; ++j) {
    if (!(mask & (1u << j))) continue;
    for (std::size_t row = 0; row < h; ++row)
      for (std::size_t col = 0; col < w; ++col) newMem.bytes[MaskPlanes[j] + col * 256 + 255 - row] = data[p++];
  }
  ShowVECPicture(newMem, palette, levels, mem, pic);
}

void RMBOpenAndShow(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels) {
  RMBShow(ReadFileHead(file, RmbFileSize, OpenTitle).data, mem, pic, levels);
}

void SaveRMB(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels) {
  SaveVECPicture(file, pic, mem, levels, EncodeRMB, SaveTitle);
}

}  // namespace brindle
