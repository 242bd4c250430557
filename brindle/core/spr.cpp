#include "core/spr.h"

#include <algorithm>
#include <string>

#include "core/error.h"
#include "core/fileio.h"
#include "core/vecfile.h"

namespace brindle {

namespace {
const std::string OpenTitle = "SPR opening error";
const std::string SaveTitle = "SPR saving error";
}  // namespace

std::vector<std::uint8_t> PackScreenRle(std::span<const std::uint8_t, ScreenSize> s) {
  std::vector<std::uint8_t> out;
  out.reserve(SprMaxPackedFile);
  std::size_t a = 0;
  unsigned m = 0;  // bytes in the open literal group
  while (a < ScreenSize) {
    const std::uint8_t v = s[a];
    std::size_t len = 1;
    // The last screen byte never joins a run, so the stream always ends with a literal
    // group whose control byte is non-zero.
    while (a + len < ScreenSize - 1 && len < 127 && s[a + len] == v) ++len;
    if (len >= 5) {
      if (m > 0) {
        out.push_back(static_cast<std::uint8_t>(m));
        m = 0;
      }
      out.push_back(v);
      out.push_back(static_cast<std::uint8_t>(0x80 + len));
    } else {
      for (std::size_t j = 0; j < len; ++j) {
        out.push_back(v);
        if (++m == 128) {
          out.push_back(0x80);
          m = 0;
        }
      }
    }
    a += len;
    if (a == ScreenSize && m > 0) out.push_back(static_cast<std::uint8_t>(m));
  }
  while ((out.size() + SprHeaderSize) % 128 != 0) out.push_back(0x00);
  return out;
}

void UnpackScreenRle(std::span<const std::uint8_t> file, Mem& mem) {
  if (file.size() < SprHeaderSize) throw Error(OpenTitle, "The SPR file is damaged: it is shorter than 18 bytes.");
  if (file.size() > SprMaxFileSize) throw Error(OpenTitle, "The SPR file is damaged: it is longer than 65536 bytes.");
  long i = static_cast<long>(file.size()) - 1;
  while (i >= 0 && file[static_cast<std::size_t>(i)] == 0) --i;
  if (i < 0) throw Error(OpenTitle, "The SPR file is damaged: it holds only zero bytes.");

  Mem out = mem;
  auto next = [&]() -> std::uint8_t {
    if (i < 0) throw Error(OpenTitle, "The SPR file is damaged: its packed picture runs past the start of the file.");
    return file[static_cast<std::size_t>(i--)];
  };
  long t = 0xFFFF;
  while (t >= static_cast<long>(ScreenBase)) {
    const std::uint8_t x = next();
    if (x >= 0x01 && x <= 0x80) {
      for (unsigned n = x; n > 0; --n) out.bytes[static_cast<std::size_t>(t--)] = next();
    } else {
      const std::uint8_t v = next();
      for (unsigned n = (x == 0 ? 128u : x - 0x80u); n > 0; --n) out.bytes[static_cast<std::size_t>(t--)] = v;
    }
  }
  mem = out;
}

std::vector<std::uint8_t> EncodeSPR(const VecPalette& palette, std::span<const std::uint8_t, ScreenSize> screen) {
  std::vector<std::uint8_t> file(palette.begin(), palette.end());
  file.push_back(0x00);
  file.push_back(0x00);
  const std::vector<std::uint8_t> packed = PackScreenRle(screen);
  file.insert(file.end(), packed.begin(), packed.end());
  return file;
}

void SPROpenAndShow(const std::filesystem::path& file, Mem& mem, Pic& pic, const Levels& levels) {
  const std::vector<std::uint8_t> data = ReadWholeFile(file, SprMaxFileSize, OpenTitle);
  Mem newMem = mem;
  UnpackScreenRle(data, newMem);
  VecPalette palette{};
  std::copy_n(data.begin(), palette.size(), palette.begin());
  ShowVECPicture(newMem, palette, levels, mem, pic);
}

void SaveSPR(const std::filesystem::path& file, Pic& pic, Mem& mem, const Levels& levels) {
  SaveVECPicture(file, pic, mem, levels, EncodeSPR, SaveTitle);
}

}  // namespace brindle
