#include "core/gifcodec.h"

#include <gif_lib.h>

#include <memory>
#include <string>

#include "core/codec.h"
#include "core/error.h"
#include "core/fileio.h"

namespace brindle {

namespace {

constexpr const char* SaveTitle = "GIF saving error";

[[noreturn]] void Bad(const std::string& reason) { Damaged(GifOpenTitle, reason); }

std::string GifReason(int code) {
  const char* text = GifErrorString(code);
  return text ? text : "GIF error " + std::to_string(code);
}

struct GifReadState {
  SequentialReader reader;
};

int ReadFromSource(GifFileType* gif, GifByteType* dst, int n) {
  auto* state = static_cast<GifReadState*>(gif->UserData);
  return n <= 0 ? 0 : static_cast<int>(state->reader.read(dst, static_cast<std::size_t>(n)));
}

struct DecoderCloser {
  void operator()(GifFileType* gif) const {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};

// Moves to the first image descriptor, passing over extensions, and reads it.
void ReadFirstImageDesc(GifFileType* gif) {
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) != GIF_OK) Bad("it is damaged: " + GifReason(gif->Error) + ".");
    if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) != GIF_OK) Bad("it is damaged: " + GifReason(gif->Error) + ".");
      return;
    }
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif, &code, &block) != GIF_OK) Bad("it is damaged: " + GifReason(gif->Error) + ".");
      while (block != nullptr)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) Bad("it is damaged: " + GifReason(gif->Error) + ".");
      continue;
    }
    Bad("it holds no picture.");
  }
}

// Rows of an interlaced frame in the order they are stored: every 8th from 0, every 8th
// from 4, every 4th from 2, every 2nd from 1.
int InterlacedRow(int index, int height) {
  static constexpr int Start[4] = {0, 4, 2, 1};
  static constexpr int Step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows = height > Start[pass] ? (height - Start[pass] + Step[pass] - 1) / Step[pass] : 0;
    if (index < rows) return Start[pass] + index * Step[pass];
    index -= rows;
  }
  return height;
}

int WriteToVector(GifFileType* gif, const GifByteType* src, int n) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), src, src + n);
  } catch (...) {
    return 0;
  }
  return n;
}

}  // namespace

Pic DecodeGIF(ByteSource& source) {
  GifReadState state{SequentialReader(source)};
  int error = 0;
  std::unique_ptr<GifFileType, DecoderCloser> gif(DGifOpen(&state, ReadFromSource, &error));
  if (!gif) Bad("it is not a GIF picture: " + GifReason(error) + ".");
  ReadFirstImageDesc(gif.get());

  const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
  if (map == nullptr || map->BitsPerPixel != 4 || map->ColorCount < 16) throw Rejection(GifOpenTitle, GifRejectText);
  if (gif->SHeight > Pic::Height || gif->SWidth > Pic::Width) throw Rejection(GifOpenTitle, GifRejectText);

  Pic pic;
  std::vector<Rgb> palette;
  for (int i = 0; i < map->ColorCount; ++i)
    palette.push_back(Rgb{map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  SetPicPalette(pic, palette);
  const GifImageDesc& frame = gif->Image;
  if (frame.Width <= 0 || frame.Height <= 0) return pic;
  // Lines are read up to the last one that lands on the screen; the rest are never shown.
  const auto rowOf = [&](int i) { return frame.Top + (frame.Interlace ? InterlacedRow(i, frame.Height) : i); };
  int lines = 0;
  for (int i = 0; i < frame.Height; ++i)
    if (rowOf(i) < gif->SHeight) lines = i + 1;
  std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
  for (int i = 0; i < lines; ++i) {
    if (DGifGetLine(gif.get(), line.data(), frame.Width) != GIF_OK)
      Bad("its picture data is damaged: " + GifReason(gif->Error) + ".");
    const int y = rowOf(i);
    if (y >= gif->SHeight) continue;
    for (int col = 0; col < frame.Width && frame.Left + col < gif->SWidth; ++col)
      pic.setPixel(frame.Left + col, y, line[static_cast<std::size_t>(col)] & 0x0F);
  }
  return pic;
}

void GIFOpenAndShow(const std::filesystem::path& file, Pic& pic) {
  OpenPictureFile(file, GifOpenTitle, DecodeGIF, pic);
}

std::vector<std::uint8_t> EncodeGIF(const Pic& pic) {
  std::vector<std::uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
  if (!gif) throw Error(SaveTitle, "Cannot make a GIF picture: " + GifReason(error) + ".");
  GifColorType colors[16];
  for (std::size_t i = 0; i < 16; ++i) colors[i] = GifColorType{pic.palette[i].r, pic.palette[i].g, pic.palette[i].b};
  ColorMapObject* map = GifMakeMapObject(16, colors);
  bool ok = map != nullptr && EGifPutScreenDesc(gif, Pic::Width, Pic::Height, 4, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, Pic::Width, Pic::Height, false, nullptr) == GIF_OK;
  GifPixelType line[Pic::Width];
  for (int y = 0; ok && y < Pic::Height; ++y) {
    for (int x = 0; x < Pic::Width; ++x) line[x] = static_cast<GifPixelType>(pic.pixel(x, y));
    ok = EGifPutLine(gif, line, Pic::Width) == GIF_OK;
  }
  const int lastError = gif->Error;
  GifFreeMapObject(map);
  int closeError = 0;
  if (EGifCloseFile(gif, &closeError) != GIF_OK) ok = false;
  if (!ok) throw Error(SaveTitle, "Cannot make a GIF picture: " + GifReason(lastError ? lastError : closeError) + ".");
  return out;
}

void SaveGIF(const std::filesystem::path& file, const Pic& pic) { ReplaceFile(file, EncodeGIF(pic), SaveTitle); }

}  // namespace brindle
