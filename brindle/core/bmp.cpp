#include "core/bmp.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/codec.h"
#include "core/error.h"
#include "core/fileio.h"

namespace brindle {

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

[[noreturn]] void Bad(const std::string& reason) { Damaged(BmpOpenTitle, reason); }

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle4 = 2;

struct BmpHeader {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: lines stored top-down
  unsigned bits = 0;
  std::uint32_t compression = BiRgb;
  std::uint32_t colorsUsed = 0;
  std::uint32_t pixelOffset = 0;
  std::uint32_t paletteOffset = 0;
  unsigned entrySize = 4;
};

BmpHeader ReadHeader(ByteSource& source) {
  std::uint8_t h[54];
  if (!source.readExact(0, h, 18)) Bad("the file is too short for a BMP picture.");
  if (h[0] != 'B' || h[1] != 'M') Bad("it is not a BMP picture (no \"BM\" at its start).");
  BmpHeader out;
  out.pixelOffset = Le32(h + 10);
  const std::uint32_t infoSize = Le32(h + 14);
  if (infoSize == 12) {
    if (!source.readExact(18, h + 18, 8)) Bad("the file ends inside its header.");
    out.width = Le16(h + 18);
    out.height = Le16(h + 20);
    out.bits = Le16(h + 24);
    out.entrySize = 3;
  } else if (infoSize >= 40 && infoSize <= 124) {
    if (!source.readExact(18, h + 18, 36)) Bad("the file ends inside its header.");
    out.width = static_cast<std::int32_t>(Le32(h + 18));
    out.height = static_cast<std::int32_t>(Le32(h + 22));
    out.bits = Le16(h + 28);
    out.compression = Le32(h + 30);
    out.colorsUsed = Le32(h + 46);
  } else {
    Bad("its header of " + std::to_string(infoSize) + " bytes is not one of the BMP headers this program reads.");
  }
  out.paletteOffset = 14 + infoSize;
  return out;
}

// Stores the pixel of file column x in file row `row` when it lies in the top-left 256 x 256.
struct PixelSink {
  Pic& pic;
  std::int64_t width, height;
  bool topDown;
  void put(std::int64_t x, std::int64_t row, int index) {
    const std::int64_t y = topDown ? row : height - 1 - row;
    if (x < Pic::Width && y >= 0 && y < Pic::Height) pic.setPixel(static_cast<int>(x), static_cast<int>(y), index);
  }
};

void ReadRows(ByteSource& source, const BmpHeader& h, PixelSink& sink) {
  const std::int64_t rows = std::min<std::int64_t>(sink.height, Pic::Height);
  const std::int64_t columns = std::min<std::int64_t>(h.width, Pic::Width);
  const std::uint64_t stride = (static_cast<std::uint64_t>(h.width) * h.bits + 31) / 32 * 4;
  const std::size_t needed = static_cast<std::size_t>((columns * h.bits + 7) / 8);
  std::uint8_t line[Pic::LineBytes];
  for (std::int64_t y = 0; y < rows; ++y) {
    const std::int64_t row = sink.topDown ? y : sink.height - 1 - y;
    if (!source.readExact(h.pixelOffset + static_cast<std::uint64_t>(row) * stride, line, needed))
      Bad("its pixel data ends before line " + std::to_string(row) + " of the file.");
    for (std::int64_t x = 0; x < columns; ++x) {
      const std::uint8_t b = line[h.bits == 4 ? x / 2 : x / 8];
      const int index = h.bits == 4 ? ((x % 2 == 0) ? b >> 4 : b & 0x0F) : (b >> (7 - x % 8)) & 1;
      sink.put(x, row, index);
    }
  }
}

// RLE4: pairs (count, two indexes) repeat the indexes alternately; (0, 0) ends a line,
// (0, 1) the picture, (0, 2, dx, dy) moves ahead, (0, n) is followed by n literal indexes
// padded to a 16-bit boundary. Runs and moves past the line end are clipped (nothing
// wraps to the next line), a move below the last line ends the picture, pixels not
// reached stay index 0.
void ReadRle4(ByteSource& source, const BmpHeader& h, PixelSink& sink) {
  SequentialReader in(source, h.pixelOffset);
  const std::int64_t width = h.width, height = sink.height;
  std::int64_t x = 0, row = 0;
  auto next = [&]() {
    std::uint8_t b;
    if (!in.next(b)) Bad("its compressed pixel data ends before the end mark.");
    return b;
  };
  for (;;) {
    const std::uint8_t count = next();
    const std::uint8_t value = next();
    if (count > 0) {
      for (unsigned i = 0; i < count && x < width; ++i, ++x) sink.put(x, row, (i % 2 == 0) ? value >> 4 : value & 0x0F);
    } else if (value == 0) {
      x = 0;
      if (++row >= height) return;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      const std::uint8_t dx = next();
      const std::uint8_t dy = next();
      x += dx;
      row += dy;
      if (row >= height) return;
    } else {
      std::uint8_t b = 0;
      for (unsigned i = 0; i < value; ++i, ++x) {
        if (i % 2 == 0) b = next();
        if (x < width) sink.put(x, row, (i % 2 == 0) ? b >> 4 : b & 0x0F);
      }
      if ((value + 1) / 2 % 2 == 1) next();
    }
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeBMP4(const Pic& pic) {
  std::vector<std::uint8_t> out;
  out.reserve(Bmp4FileSize);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  Put32(out, Bmp4FileSize);
  Put32(out, 0);
  Put32(out, Bmp4HeaderSize);
  // BITMAPINFOHEADER: positive height, so lines are stored bottom-up.
  Put32(out, 40);
  Put32(out, Pic::Width);
  Put32(out, Pic::Height);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);  // BI_RGB
  Put32(out, Pic::LineBytes * Pic::Height);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);
  Put32(out, 0);
  for (const Rgb& c : pic.palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = Pic::Height - 1; y >= 0; --y) {
    const auto* line = pic.pixels.data() + y * Pic::LineBytes;
    out.insert(out.end(), line, line + Pic::LineBytes);
  }
  return out;
}

void SaveBMP(const std::filesystem::path& file, const Pic& pic) {
  ReplaceFile(file, EncodeBMP4(pic), "BMP saving error");
}

Pic DecodeBMP(ByteSource& source) {
  const BmpHeader h = ReadHeader(source);
  // The bit count alone decides acceptance, before anything else is looked at.
  if (h.bits != 1 && h.bits != 4) throw Rejection(BmpOpenTitle, BmpRejectText);
  const bool rle = h.compression == BiRle4 && h.bits == 4;
  if (h.compression != BiRgb && !rle)
    Bad("its compression " + std::to_string(h.compression) + " is not one this program reads for " +
        std::to_string(h.bits) + " bits a pixel.");
  if (h.width <= 0) Bad("its width " + std::to_string(h.width) + " is not positive.");
  if (h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min())
    Bad("its height " + std::to_string(h.height) + " is not valid.");
  const bool topDown = h.height < 0;
  if (rle && topDown) Bad("its compressed pixel data is declared top-down, which compressed bitmaps cannot be.");
  if (h.pixelOffset >= source.size()) Bad("its pixel data would start past the end of the file.");

  Pic pic;
  const std::uint32_t maxColors = 1u << h.bits;
  const std::uint32_t colors = h.colorsUsed == 0 ? maxColors : std::min(h.colorsUsed, maxColors);
  std::uint8_t entries[16 * 4];
  if (!source.readExact(h.paletteOffset, entries, colors * h.entrySize)) Bad("the file ends inside its palette.");
  std::vector<Rgb> palette;
  for (std::uint32_t i = 0; i < colors; ++i) {
    const std::uint8_t* e = entries + i * h.entrySize;
    palette.push_back(Rgb{e[2], e[1], e[0]});
  }
  SetPicPalette(pic, palette);

  PixelSink sink{pic, h.width, topDown ? -h.height : h.height, topDown};
  if (rle)
    ReadRle4(source, h, sink);
  else
    ReadRows(source, h, sink);
  return pic;
}

void BMPOpenAndShow(const std::filesystem::path& file, Pic& pic) {
  OpenPictureFile(file, BmpOpenTitle, DecodeBMP, pic);
}

}  // namespace brindle
