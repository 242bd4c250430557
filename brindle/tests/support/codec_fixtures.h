#pragma once
// Test-side makers of picture files in the PC formats, written independently of the
// program's readers: own BMP and PCX encoders, GIF through giflib's encoder, PNG through
// libpng's writer, and PNG decoding to RGB through libpng's simplified reader.
#include <gif_lib.h>
#include <png.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/screen.h"

namespace brindle::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe(Bytes& out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Indexes of a picture a fixture describes: index(x, y), y from the top.
using IndexFn = std::function<int(int x, int y)>;

inline std::vector<Rgb> Colours(int n) {
  std::vector<Rgb> c;
  for (int i = 0; i < n; ++i)
    c.push_back(Rgb{static_cast<std::uint8_t>(10 + i * 13), static_cast<std::uint8_t>(200 - i * 7),
                    static_cast<std::uint8_t>(i * 31 % 256)});
  return c;
}

// ---- BMP ----
struct BmpSpec {
  int width = 16, height = 16;
  int bits = 4;
  bool topDown = false;
  bool core = false;        // 12-byte header, 3-byte palette entries
  unsigned infoSize = 40;   // when not core
  unsigned colorsUsed = 0;  // biClrUsed; entries written: colorsUsed or 2^bits (at most 256)
  std::uint32_t compression = 0;
  Bytes rle{};  // pixel data when compression is 2
};

inline Bytes MakeBmp(const BmpSpec& s, const IndexFn& index) {
  const unsigned entries = s.colorsUsed ? s.colorsUsed : (s.bits <= 8 ? 1u << s.bits : 0u);
  const unsigned entrySize = s.core ? 3 : 4;
  const unsigned infoSize = s.core ? 12 : s.infoSize;
  const std::uint64_t stride = (static_cast<std::uint64_t>(s.width) * s.bits + 31) / 32 * 4;
  Bytes pixels;
  if (s.compression == 2) {
    pixels = s.rle;
  } else {
    for (int row = 0; row < s.height; ++row) {
      const int y = s.topDown ? row : s.height - 1 - row;
      Bytes line(stride, 0);
      for (int x = 0; x < s.width; ++x) {
        const int v = index(x, y);
        if (s.bits == 24) {
          line[3 * x] = static_cast<std::uint8_t>(v);
          line[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          line[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
        } else if (s.bits <= 8) {
          const int perByte = 8 / s.bits;
          const int shift = 8 - s.bits * (x % perByte + 1);
          line[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(v << shift);
        }  // other bit counts: zero pixels
      }
      pixels.insert(pixels.end(), line.begin(), line.end());
    }
  }
  const std::uint32_t offset = 14 + infoSize + entries * entrySize;
  Bytes out{'B', 'M'};
  PutLe(out, offset + pixels.size(), 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, infoSize, 4);
  if (s.core) {
    PutLe(out, static_cast<std::uint64_t>(s.width), 2);
    PutLe(out, static_cast<std::uint64_t>(s.height), 2);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint64_t>(s.bits), 2);
  } else {
    PutLe(out, static_cast<std::uint32_t>(s.width), 4);
    PutLe(out, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint64_t>(s.bits), 2);
    PutLe(out, s.compression, 4);
    PutLe(out, pixels.size(), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, s.colorsUsed, 4);
    PutLe(out, 0, 4);
    out.resize(14 + infoSize, 0);
  }
  const std::vector<Rgb> colours = Colours(static_cast<int>(entries));
  for (const Rgb& c : colours) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    if (!s.core) out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

// ---- PCX ----
struct PcxSpec {
  int width = 16, height = 16;
  int bits = 4, planes = 1;
  int version = 5;
  int xmin = 0, ymin = 0;
  int extraLineBytes = 0;   // padding bytes at the end of every plane line (even lengths)
  bool setPadding = false;  // padding bits of a line set to 1 instead of 0
};

// RLE-encoded PCX; the palette of the header is Colours(16).
inline Bytes MakePcx(const PcxSpec& s, const IndexFn& index) {
  int bytesPerLine = (s.width * s.bits + 7) / 8;
  bytesPerLine += bytesPerLine % 2 + s.extraLineBytes;
  Bytes out(128, 0);
  out[0] = 0x0A;
  out[1] = static_cast<std::uint8_t>(s.version);
  out[2] = 1;
  out[3] = static_cast<std::uint8_t>(s.bits);
  auto put16 = [&](std::size_t at, int v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  put16(4, s.xmin);
  put16(6, s.ymin);
  put16(8, s.xmin + s.width - 1);
  put16(10, s.ymin + s.height - 1);
  put16(12, 75);
  put16(14, 75);
  const std::vector<Rgb> colours = Colours(16);
  for (std::size_t i = 0; i < 16; ++i) {
    out[16 + 3 * i] = colours[i].r;
    out[17 + 3 * i] = colours[i].g;
    out[18 + 3 * i] = colours[i].b;
  }
  out[65] = static_cast<std::uint8_t>(s.planes);
  put16(66, bytesPerLine);
  put16(68, 1);
  for (int y = 0; y < s.height; ++y) {
    for (int p = 0; p < s.planes; ++p) {
      Bytes line(static_cast<std::size_t>(bytesPerLine), 0);
      for (int x = 0; x < s.width; ++x) {
        int v = index(x, y);
        if (s.planes > 1) v = (v >> p) & 1;
        const int perByte = 8 / s.bits;
        const int shift = 8 - s.bits * (x % perByte + 1);
        line[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>((v & ((1 << s.bits) - 1)) << shift);
      }
      if (s.setPadding)
        for (std::size_t bit = static_cast<std::size_t>(s.width * s.bits); bit < line.size() * 8; ++bit)
          line[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
      for (std::size_t i = 0; i < line.size();) {
        std::size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || line[i] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
      }
    }
  }
  if (s.bits == 8 && s.planes == 1) {
    out.push_back(0x0C);
    for (int i = 0; i < 256; ++i)
      for (int c = 0; c < 3; ++c) out.push_back(static_cast<std::uint8_t>(i));
  }
  return out;
}

// ---- GIF ----
struct GifSpec {
  int screenWidth = 16, screenHeight = 16;
  int globalBits = 4;  // 0: no global map
  int localBits = 0;   // 0: no local map
  int left = 0, top = 0, width = 16, height = 16;
  bool interlace = false;
  int frames = 1;
  bool truncateFrame = false;  // stop writing after the image descriptor's first line
};

inline int GifAppend(GifFileType* gif, const GifByteType* data, int n) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + n);
  return n;
}

inline ColorMapObject* GifMap(int bits) {
  const std::vector<Rgb> colours = Colours(1 << bits);
  std::vector<GifColorType> c;
  for (const Rgb& k : colours) c.push_back(GifColorType{k.r, k.g, k.b});
  return GifMakeMapObject(1 << bits, c.data());
}

// index(x, y) is in frame coordinates; frame k > 0 is all index k.
inline Bytes MakeGif(const GifSpec& s, const IndexFn& index) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, GifAppend, &error);
  ColorMapObject* global = s.globalBits ? GifMap(s.globalBits) : nullptr;
  ColorMapObject* local = s.localBits ? GifMap(s.localBits) : nullptr;
  EGifPutScreenDesc(gif, s.screenWidth, s.screenHeight, 8, 0, global);
  for (int f = 0; f < s.frames; ++f) {
    EGifPutImageDesc(gif, s.left, s.top, s.width, s.height, s.interlace, f == 0 ? local : nullptr);
    if (s.truncateFrame) {
      std::vector<GifPixelType> line(static_cast<std::size_t>(s.width), 0);
      EGifPutLine(gif, line.data(), s.width);
      break;
    }
    std::vector<int> order;
    if (s.interlace) {
      for (int start : {0, 4, 2, 1})
        for (int y = start; y < s.height; y += (start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2))
          order.push_back(y);
    } else {
      for (int y = 0; y < s.height; ++y) order.push_back(y);
    }
    for (int y : order) {
      std::vector<GifPixelType> line(static_cast<std::size_t>(s.width));
      for (int x = 0; x < s.width; ++x)
        line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(f == 0 ? index(x, y) : f);
      EGifPutLine(gif, line.data(), s.width);
    }
  }
  EGifCloseFile(gif, &error);
  if (global) GifFreeMapObject(global);
  if (local) GifFreeMapObject(local);
  return out;
}

// ---- PNG ----
struct PngSpec {
  int width = 16, height = 16;
  int colorType = PNG_COLOR_TYPE_PALETTE;
  int depth = 4;
  int entries = 16;
  bool interlace = false;
  bool trns = false, gama = false, srgb = false;
};

inline void PngAppend(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

// index(x, y) gives the sample (palette index, grey or an RGB value for grey/RGB types).
inline Bytes MakePng(const PngSpec& s, const IndexFn& index) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, PngAppend, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.depth, s.colorType,
               s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  if (s.colorType == PNG_COLOR_TYPE_PALETTE) {
    const std::vector<Rgb> colours = Colours(s.entries);
    for (int i = 0; i < s.entries; ++i) palette[i] = png_color{colours[i].r, colours[i].g, colours[i].b};
    png_set_PLTE(png, info, palette, s.entries);
  }
  png_byte alpha[16] = {0, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  if (s.trns) png_set_tRNS(png, info, alpha, 2, nullptr);
  if (s.gama) png_set_gAMA(png, info, 1.0 / 1.8);
  if (s.srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  png_set_check_for_invalid_index(png, 0);
  png_write_info(png, info);
  const int channels = s.colorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
  std::vector<png_bytep> rows;
  std::vector<Bytes> data(static_cast<std::size_t>(s.height));
  for (int y = 0; y < s.height; ++y) {
    Bytes& line = data[static_cast<std::size_t>(y)];
    line.assign(static_cast<std::size_t>((s.width * s.depth * channels + 7) / 8), 0);
    for (int x = 0; x < s.width; ++x) {
      const int v = index(x, y);
      if (channels == 3) {
        line[3 * x] = static_cast<std::uint8_t>(v >> 16);
        line[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        line[3 * x + 2] = static_cast<std::uint8_t>(v);
      } else {
        const int perByte = 8 / s.depth;
        const int shift = 8 - s.depth * (x % perByte + 1);
        line[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(v << shift);
      }
    }
    rows.push_back(line.data());
  }
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A PNG file decoded to 8-bit RGB by libpng's own expansion of palettes, grey and 16-bit
// samples (alpha dropped, no gamma correction): width * height triples; empty on failure.
struct RgbImage {
  int width = 0, height = 0;
  Bytes rgb;
  Rgb at(int x, int y) const {
    const std::size_t p = (static_cast<std::size_t>(y) * width + x) * 3;
    return Rgb{rgb[p], rgb[p + 1], rgb[p + 2]};
  }
};
inline RgbImage ReadPngRgb(const std::filesystem::path& file) {
  RgbImage out;
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return out;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    out.width = out.height = 0;
    return out;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int width = static_cast<int>(png_get_image_width(png, info));
  const int height = static_cast<int>(png_get_image_height(png, info));
  out.rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
  std::vector<png_bytep> rows;
  for (int y = 0; y < height; ++y) rows.push_back(out.rgb.data() + static_cast<std::size_t>(y) * width * 3);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  out.width = width;
  out.height = height;
  return out;
}

}  // namespace brindle::test
