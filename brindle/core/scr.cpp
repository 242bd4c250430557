#include "core/scr.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <system_error>
#include <vector>

#include "core/ascii.h"
#include "core/error.h"
#include "core/fileio.h"
#include "core/vecfile.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

const std::string OpenTitle = "SCR opening error";

unsigned Le16(std::span<const std::uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// One group of the packed stream: count copies of value (count 0 meaning 65536), coded in
// the stream bytes from the group's first position down to last.
struct Group {
  std::uint8_t value = 0;
  unsigned count = 1;
  std::size_t last = 0;  // lowest stream position the group uses
};

struct Escapes {
  std::uint8_t fill, e1, e2, e3;
};

[[noreturn, gnu::noinline]] void CodeTooNearTheStart() {
  throw Error(OpenTitle,
              "The packed screen is damaged: a repeat or run code needs bytes before the start of its data.");
}

inline Group ReadGroup(const std::uint8_t* stream, std::size_t i, const Escapes& esc) {
  const std::uint8_t x = stream[i];
  if (x < 0x80) return {x, 1, i};
  if (x == esc.e1) return {esc.fill, 2, i};
  if (x == esc.e2) {
    if (i < 1) CodeTooNearTheStart();
    return {stream[i - 1], 3, i - 1};
  }
  if (x == esc.e3) {
    if (i < 2) CodeTooNearTheStart();
    return {stream[i - 2], stream[i - 1], i - 2};
  }
  return {x, 1, i};
}

}  // namespace

void ZXSCRShow(std::span<const std::uint8_t, ZxScreenFileSize> zx, Mem& mem, Pic& pic) {
  SetDIBPal(pic, ZXPalette.R, ZXPalette.G, ZXPalette.B);
  mem.bytes.fill(0);
  std::uint8_t* m = mem.bytes.data();
  // Planes by the attribute bits they take ink and paper from: blue, red, green.
  constexpr std::size_t InkPlanes[3] = {0xE000, 0xC000, 0xA000};
  for (int y = 0; y < 192; ++y) {
    const int third = y / 64, row = (y / 8) % 8, line = y % 8;
    for (int col = 0; col < 32; ++col) {
      const std::uint8_t bits = zx[static_cast<std::size_t>(third * 2048 + line * 256 + row * 32 + col)];
      const std::uint8_t attr = zx[static_cast<std::size_t>(6144 + (y / 8) * 32 + col)];
      const std::size_t off = static_cast<std::size_t>(col * 256 + 255 - y);
      for (int k = 0; k < 3; ++k) {
        const bool ink = (attr >> k) & 1, paper = (attr >> (k + 3)) & 1;
        std::uint8_t out = 0x00;
        if (ink && paper)
          out = 0xFF;
        else if (ink)
          out = bits;
        else if (paper)
          out = static_cast<std::uint8_t>(~bits);
        m[InkPlanes[k] + off] = out;
      }
      if (attr & 0x40) m[0x8000 + off] = 0xFF;
    }
  }
  VECScr2DIB4bpp(mem, pic);
}

void SCRShow(std::span<const std::uint8_t, ScrHeaderSize> header, std::span<const std::uint8_t> stream, Mem& mem) {
  if (stream.empty()) return;
  const std::size_t lastIndex = Le16(header, 2);
  if (lastIndex >= stream.size())
    throw Error(OpenTitle, "The packed screen is damaged: its header names data beyond the end of the file.");
  const Escapes esc{header[4], header[16], header[32], header[48]};
  const unsigned start = (0x8000 + Le16(header, 0)) & 0xFFFF;

  // First pass: check the whole stream and find the last run of 65536 bytes, which
  // overwrites all that was decoded before it; the writing starts there.
  unsigned t = start;
  std::optional<Group> fill;
  unsigned fillAt = 0;
  for (std::size_t i = lastIndex;;) {
    const Group g = ReadGroup(stream.data(), i, esc);
    if (g.count == 0) {
      fill = g;
      fillAt = t;
    }
    t = (t - g.count) & 0xFFFF;
    if (g.last == 0) break;
    i = g.last - 1;
  }

  Mem out = mem;
  std::uint8_t* m = out.bytes.data();
  t = start;
  std::size_t i = lastIndex;
  bool more = true;
  if (fill) {
    out.bytes.fill(fill->value);
    t = fillAt;  // 65536 steps down bring t back to where it was
    more = fill->last > 0;
    i = fill->last - 1;
  }
  while (more) {
    const Group g = ReadGroup(stream.data(), i, esc);
    // Downwards from t, wrapping below address 0; no run of 65536 is left here.
    for (unsigned left = g.count; left > 0;) {
      const unsigned n = std::min(left, t + 1);
      if (n < 8) {
        for (unsigned k = 0; k < n; ++k) m[t - k] = g.value;
      } else {
        std::memset(m + t + 1 - n, g.value, n);
      }
      left -= n;
      t = (t - n) & 0xFFFF;
    }
    more = g.last > 0;
    i = g.last - 1;
  }
  // The lists put the escape values, which cannot stand for themselves in the stream.
  for (std::size_t list = 0; list < 3; ++list) {
    const std::size_t base = 16 + 16 * list;
    const unsigned count = std::min<unsigned>(header[base + 1], 7);
    for (unsigned k = 0; k < count; ++k) m[(0x8000 + Le16(header, base + 2 + 2 * k)) & 0xFFFF] = header[base];
  }
  mem = out;
}

std::string ScrPaletteName(std::span<const std::uint8_t, ScrHeaderSize> header) {
  std::string name;
  for (std::size_t k = 5; k < 16 && header[k] != 0; ++k) name += static_cast<char>(header[k]);
  // Trailing blanks and dots are dropped, as Windows drops them when it opens a name, so
  // the palette files such headers have always named are found.
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  if (name.empty() || name.find_first_of("/\\:") != std::string::npos)
    throw Error(OpenTitle, "The packed screen names no usable palette file (\"" + name + "\").");
  return name;
}

fs::path FindScrPaletteFile(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  const fs::path exact = folder / name;
  if (fs::is_regular_file(exact, ec)) return exact;
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string found = it->path().filename().string();
    std::error_code typeError;
    if (SameIgnoringAsciiCase(found, name) && it->is_regular_file(typeError)) matches.push_back(found);
  }
  if (matches.empty())
    throw Error(OpenTitle, "The palette file \"" + name + "\" is not in the folder " + folder.string() + ".");
  return folder / *std::min_element(matches.begin(), matches.end());
}

void SCRRead(std::span<const std::uint8_t> data, std::uintmax_t length, const fs::path& folder, Mem& mem, Pic& pic,
             const Levels& levels) {
  if (length == ZxScreenFileSize && data.size() == ZxScreenFileSize) {
    ZXSCRShow(data.first<ZxScreenFileSize>(), mem, pic);  // cannot fail
  } else {
    if (data.size() < ScrHeaderSize)
      throw Error(OpenTitle, "The packed screen file is damaged: it is shorter than 64 bytes.");
    const auto header = data.first<ScrHeaderSize>();
    VecPalette palette = DefaultVECPalette;
    const std::string name = ScrPaletteName(header);
    if (name != DefaultVECPaletteName) {
      const FileHead paletteFile = ReadFileHead(FindScrPaletteFile(folder, name), palette.size(), OpenTitle);
      if (paletteFile.data.size() < palette.size())
        throw Error(OpenTitle, "The palette file \"" + name + "\" is shorter than 16 bytes.");
      std::copy_n(paletteFile.data.begin(), palette.size(), palette.begin());
    }
    Mem newMem = mem;
    SCRShow(header, data.subspan(ScrHeaderSize, std::min(data.size() - ScrHeaderSize, ScrMaxStream)), newMem);
    ShowVECPicture(newMem, palette, levels, mem, pic);
  }
}

void SCROpen(const fs::path& file, Mem& mem, Pic& pic, const Levels& levels) {
  const FileHead head = ReadFileHead(file, ScrHeaderSize + ScrMaxStream, OpenTitle);
  SCRRead(head.data, head.length, file.has_parent_path() ? file.parent_path() : fs::path("."), mem, pic, levels);
}

}  // namespace brindle
