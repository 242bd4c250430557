// The picture writers checked by readers that are not ours: a generated picture whose palette
// holds red, green and blue apart in every entry is saved as BMP, GIF and PNG and read back by
// GraphicsMagick, giflib and libpng, palette entry by entry and pixel by pixel. A writer that
// swaps two channels, reorders the palette, packs the two pixels of a byte the other way round
// or stores the lines upside down fails here, with no real files needed.
#include <Magick++.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/bmp.h"
#include "core/gifcodec.h"
#include "core/pngcodec.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;

// What an outside reader found in a file: the palette and each pixel's index, lines from the top.
struct Found {
  int width = 0, height = 0;
  std::vector<Rgb> palette;
  std::vector<int> indexes;
  std::string problem;  // empty when the file was read
};

// Red, green and blue differ in every entry, and every entry from every other.
Pic TestPicture() {
  Pic pic;
  for (int i = 0; i < 16; ++i)
    pic.palette[static_cast<std::size_t>(i)] =
        Rgb{static_cast<std::uint8_t>(16 * i + 5), static_cast<std::uint8_t>(240 - 9 * i),
            static_cast<std::uint8_t>(7 * i + 100)};
  // Neighbours in a line and in a column differ, and no line repeats another.
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, (x + 3 * y + x * y / 7) % 16);
  return pic;
}

Found ReadWithGraphicsMagick(const fs::path& file) {
  Found out;
  Magick::InitializeMagick(nullptr);
  try {
    Magick::Image image;
    image.read(file.string());
    out.width = static_cast<int>(image.columns());
    out.height = static_cast<int>(image.rows());
    if (image.classType() != Magick::PseudoClass) {
      out.problem = "not read as a picture with a palette";
      return out;
    }
    for (unsigned i = 0; i < image.colorMapSize(); ++i) {
      const Magick::ColorRGB c = image.colorMap(i);
      const auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(v * 255)); };
      out.palette.push_back(Rgb{byte(c.red()), byte(c.green()), byte(c.blue())});
    }
    // The indexes are there only after the pixels of the same area have been fetched.
    if (image.getConstPixels(0, 0, image.columns(), image.rows()) == nullptr || image.getConstIndexes() == nullptr) {
      out.problem = "no pixel indexes";
      return out;
    }
    const Magick::IndexPacket* indexes = image.getConstIndexes();
    out.indexes.assign(indexes, indexes + static_cast<std::size_t>(out.width) * out.height);
  } catch (const std::exception& e) {
    out.problem = e.what();
  }
  return out;
}

Found ReadWithGiflib(const fs::path& file) {
  Found out;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
  if (gif == nullptr) {
    out.problem = "giflib cannot open it";
    return out;
  }
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
    out.problem = "giflib cannot read it";
  } else {
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    out.width = frame.ImageDesc.Width;
    out.height = frame.ImageDesc.Height;
    for (int i = 0; map != nullptr && i < map->ColorCount; ++i)
      out.palette.push_back(Rgb{map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    out.indexes.assign(frame.RasterBits, frame.RasterBits + static_cast<std::size_t>(out.width) * out.height);
  }
  DGifCloseFile(gif, &error);
  return out;
}

// libpng's calls stay apart from objects with destructors, as its errors arrive by longjmp.
bool ReadPngIndexes(std::FILE* f, Found& out, std::vector<png_byte>& pixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE) png_error(png, "no palette");
  png_colorp palette = nullptr;
  int entries = 0;
  png_get_PLTE(png, info, &palette, &entries);
  for (int i = 0; i < entries; ++i) out.palette.push_back(Rgb{palette[i].red, palette[i].green, palette[i].blue});
  out.width = static_cast<int>(png_get_image_width(png, info));
  out.height = static_cast<int>(png_get_image_height(png, info));
  if (out.width > Pic::Width || out.height > Pic::Height) png_error(png, "larger than the picture");
  png_set_packing(png);  // one byte a pixel, holding its index
  png_read_update_info(png, info);
  pixels.assign(static_cast<std::size_t>(Pic::Width) * Pic::Height, 0);
  for (int y = 0; y < out.height; ++y)
    png_read_row(png, pixels.data() + static_cast<std::size_t>(y) * out.width, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

Found ReadWithLibpng(const fs::path& file) {
  Found out;
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (f == nullptr) {
    out.problem = "cannot open it";
    return out;
  }
  std::vector<png_byte> pixels;
  const bool read = ReadPngIndexes(f, out, pixels);
  std::fclose(f);
  if (!read) out.problem = "libpng cannot read it";
  out.indexes.assign(pixels.begin(), pixels.begin() + static_cast<long>(out.width) * out.height);
  return out;
}

TEST(CodecWriters, OutsideReadersFindThePaletteAndEveryPixel) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&, const Pic&)> save;
    std::function<Found(const fs::path&)> read;
  };
  const Case cases[] = {
      {"picture.bmp", SaveBMP, ReadWithGraphicsMagick},
      {"picture.gif", SaveGIF, ReadWithGiflib},
      {"picture.png", SavePNG, ReadWithLibpng},
  };
  const Pic pic = TestPicture();
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.save(dir / c.name, pic);
    const Found found = c.read(dir / c.name);
    ASSERT_EQ(found.problem, "");
    ASSERT_EQ(found.width, Pic::Width);
    ASSERT_EQ(found.height, Pic::Height);
    ASSERT_EQ(found.palette.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(found.palette[i], pic.palette[i]) << "palette entry " << i;
    int wrong = 0;
    for (int y = 0; y < Pic::Height; ++y)
      for (int x = 0; x < Pic::Width; ++x)
        if (found.indexes[static_cast<std::size_t>(y) * Pic::Width + x] != pic.pixel(x, y) && wrong++ == 0)
          ADD_FAILURE() << "first wrong pixel " << x << "," << y;
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
}  // namespace brindle
