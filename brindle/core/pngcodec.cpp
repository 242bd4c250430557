#include "core/pngcodec.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/codec.h"
#include "core/error.h"
#include "core/fileio.h"

namespace brindle {

namespace {

constexpr const char* SaveTitle = "PNG saving error";

// libpng reports errors by longjmp: the functions that call it hold only plain data, and
// its callbacks never throw. Every outcome is recorded here and turned into an exception
// once libpng's part is over.
enum class Outcome { Done, Damaged, Rejected };

struct PngState {
  ByteSource* source = nullptr;
  std::uint64_t position = 0;
  std::vector<std::uint8_t>* output = nullptr;
  char message[200] = {};
};

void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep dst, png_size_t n) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  const std::size_t got = state->source->readAt(state->position, dst, n);
  state->position += got;
  if (got != n) png_error(png, "the file ends too early");
}

void WriteData(png_structp png, png_bytep src, png_size_t n) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  bool ok = true;
  try {
    state->output->insert(state->output->end(), src, src + n);
  } catch (...) {
    ok = false;
  }
  if (!ok) png_error(png, "out of memory");
}

void FlushData(png_structp) {}

// The decoded indexes, one byte each, before they go into the picture.
struct PngPixels {
  png_uint_32 width = 0, height = 0;
  int entries = 0;
  png_color palette[16] = {};
  png_byte rows[Pic::Height][Pic::Width] = {};
};

Outcome ReadPng(PngState& state, PngPixels& out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (!png) {
    std::snprintf(state.message, sizeof state.message, "out of memory");
    return Outcome::Damaged;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    std::snprintf(state.message, sizeof state.message, "out of memory");
    return Outcome::Damaged;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Outcome::Damaged;
  }
  png_set_read_fn(png, &state, ReadData);
  // Ancillary chunks other than tRNS change nothing here, so libpng passes over them unread.
  // Read, a text chunk that declares 2 GiB in a file of a few hundred bytes gets a buffer of that
  // size, made and cleared before the file is found too short.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  png_colorp palette = nullptr;
  int entries = 0;
  if (colorType != PNG_COLOR_TYPE_PALETTE || png_get_PLTE(png, info, &palette, &entries) == 0 || entries < 1 ||
      entries > 16 || height > Pic::Height || width > Pic::Width) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Outcome::Rejected;
  }
  out.width = width;
  out.height = height;
  out.entries = entries;
  std::memcpy(out.palette, palette, sizeof(png_color) * static_cast<std::size_t>(entries));
  png_set_packing(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, out.rows[y], nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return Outcome::Done;
}

bool WritePng(PngState& state, const Pic& pic) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &state, WriteData, FlushData);
  png_set_IHDR(png, info, Pic::Width, Pic::Height, 4, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[16];
  for (std::size_t i = 0; i < 16; ++i) palette[i] = png_color{pic.palette[i].r, pic.palette[i].g, pic.palette[i].b};
  png_set_PLTE(png, info, palette, 16);
  png_write_info(png, info);
  for (int y = 0; y < Pic::Height; ++y)
    png_write_row(png, const_cast<png_bytep>(pic.pixels.data() + static_cast<std::size_t>(y) * Pic::LineBytes));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

Pic DecodePNG(ByteSource& source) {
  PngState state;
  state.source = &source;
  auto pixels = std::make_unique<PngPixels>();
  switch (ReadPng(state, *pixels)) {
    case Outcome::Rejected: throw Rejection(PngOpenTitle, PngRejectText);
    case Outcome::Damaged:
      Damaged(PngOpenTitle, std::string("it is not a PNG picture it can read: ") + state.message + ".");
    case Outcome::Done: break;
  }
  Pic pic;
  std::vector<Rgb> palette;
  for (int i = 0; i < pixels->entries; ++i)
    palette.push_back(Rgb{pixels->palette[i].red, pixels->palette[i].green, pixels->palette[i].blue});
  SetPicPalette(pic, palette);
  for (png_uint_32 y = 0; y < pixels->height; ++y)
    for (png_uint_32 x = 0; x < pixels->width; ++x) {
      const int index = pixels->rows[y][x];
      pic.setPixel(static_cast<int>(x), static_cast<int>(y), index < pixels->entries ? index : 0);
    }
  return pic;
}

void PNGOpenAndShow(const std::filesystem::path& file, Pic& pic) {
  OpenPictureFile(file, PngOpenTitle, DecodePNG, pic);
}

std::vector<std::uint8_t> EncodePNG(const Pic& pic) {
  std::vector<std::uint8_t> out;
  PngState state;
  state.output = &out;
  if (!WritePng(state, pic)) throw Error(SaveTitle, std::string("Cannot make a PNG picture: ") + state.message + ".");
  return out;
}

void SavePNG(const std::filesystem::path& file, const Pic& pic) { ReplaceFile(file, EncodePNG(pic), SaveTitle); }

}  // namespace brindle
