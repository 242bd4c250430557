#include "core/codec.h"

#include "core/error.h"
#include "core/palette.h"

namespace brindle {

void Damaged(const std::string& title, const std::string& reason) { throw Error(title, reason); }

void SetPicPalette(Pic& pic, std::span<const Rgb> entries) {
  Channel16 r{}, g{}, b{};
  GetDIBPal(entries, r, g, b);
  SetDIBPal(pic, r, g, b);
}

void OpenPictureFile(const std::filesystem::path& file, const std::string& title, PictureDecoder decode, Pic& pic) {
  FileSource source(file, title);
  try {
    const Pic decoded = decode(source);
    pic = decoded;
  } catch (const Rejection&) {
    throw;
  } catch (const Error& e) {
    throw Error(title, "Cannot open \"" + file.string() + "\": " + e.what());
  }
}

}  // namespace brindle
