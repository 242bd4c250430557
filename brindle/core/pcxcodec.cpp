#include "core/pcxcodec.h"

#include <Magick++.h>

#include <mutex>
#include <vector>

#include "core/codec.h"
#include "core/error.h"

namespace brindle {

namespace {

constexpr std::size_t HeaderSize = 128;

struct PcxSize {
  int width = 0, height = 0;
};

PcxSize SizeOf(std::span<const std::uint8_t> h) {
  return {static_cast<int>(Le16(&h[8])) - static_cast<int>(Le16(&h[4])) + 1,
          static_cast<int>(Le16(&h[10])) - static_cast<int>(Le16(&h[6])) + 1};
}

[[noreturn]] void Reject() { throw Rejection(PcxOpenTitle, PcxRejectText); }

}  // namespace

bool PcxHeaderAccepted(std::span<const std::uint8_t> h) {
  if (h.size() < HeaderSize || h[0] != 0x0A || h[1] > 5 || h[2] != 1) return false;
  const unsigned bits = h[3], planes = h[65];
  if (!((bits == 4 && planes == 1) || (bits == 1 && planes == 4))) return false;
  const PcxSize size = SizeOf(h);
  if (size.width < 1 || size.width > Pic::Width || size.height < 1 || size.height > Pic::Height) return false;
  const unsigned bytesPerLine = Le16(&h[66]);
  return bytesPerLine >= (static_cast<unsigned>(size.width) * bits + 7) / 8;
}

Pic DecodePCX(ByteSource& source) {
  if (source.size() > PcxMaxFileSize) Reject();
  std::vector<std::uint8_t> file(static_cast<std::size_t>(source.size()));
  if (!source.readExact(0, file.data(), file.size())) Damaged(PcxOpenTitle, "the file could not be read whole.");
  if (!PcxHeaderAccepted(file)) Reject();
  const PcxSize size = SizeOf(file);

  static std::once_flag initialised;
  std::call_once(initialised, [] {
    Magick::InitializeMagick(nullptr);
    // The program works on one thread; the decoder starts no workers of its own either.
    MagickLib::SetMagickResourceLimit(MagickLib::ThreadsResource, 1);
  });
  Pic pic;
  try {
    Magick::Image image;
    image.read(Magick::Blob(file.data(), file.size()), Magick::Geometry(), "PCX");
    if (image.classType() != Magick::PseudoClass || image.colorMapSize() != 16 ||
        image.columns() != static_cast<unsigned>(size.width) || image.rows() != static_cast<unsigned>(size.height))
      Reject();
    // The indexes are valid only after the pixels of the same area have been fetched.
    if (image.getConstPixels(0, 0, size.width, size.height) == nullptr) Reject();
    const Magick::IndexPacket* indexes = image.getConstIndexes();
    if (indexes == nullptr) Reject();
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x)
        pic.setPixel(x, y, static_cast<int>(indexes[static_cast<std::size_t>(y) * size.width + x]) & 0x0F);
  } catch (const Rejection&) {
    throw;
  } catch (const std::exception&) {
    Reject();
  }
  std::vector<Rgb> palette;
  for (std::size_t i = 0; i < 16; ++i) palette.push_back(Rgb{file[16 + 3 * i], file[17 + 3 * i], file[18 + 3 * i]});
  SetPicPalette(pic, palette);
  return pic;
}

void PCXOpenAndShow(const std::filesystem::path& file, Pic& pic) {
  OpenPictureFile(file, PcxOpenTitle, DecodePCX, pic);
}

}  // namespace brindle
