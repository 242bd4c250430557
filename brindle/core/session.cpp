#include "core/session.h"

#include <algorithm>

#include "core/bmp.h"
#include "core/error.h"
#include "core/spr.h"

namespace brindle {

namespace fs = std::filesystem;

bool Session::OpenPicFile(const fs::path& file) {
  switch (FormatOfName(file.filename().string())) {
    case PicFormat::SPR: SPROpenAndShow(file, mem, pic, levels); break;
    default: return false;
  }
  PicLoaded = true;
  return true;
}

bool Session::OpenChosen(const fs::path& chosen) {
  const fs::path file = fs::absolute(chosen);
  if (!OpenPicFile(file)) return false;
  PicFolder = file.parent_path();
  PicFileName = file.filename().string();
  PicFiles = ListPicFiles(PicFolder);
  const auto found = std::find(PicFiles.begin(), PicFiles.end(), PicFileName);
  PicIndex = found == PicFiles.end() ? 0 : static_cast<int>(found - PicFiles.begin());
  ShowPicTitle(PicFileName);
  return true;
}

bool Session::Step(int delta) {
  if (PicFiles.empty()) return false;
  PicIndex = WrapIndex(PicIndex, delta, static_cast<int>(PicFiles.size()));
  const std::string name = PicFiles[static_cast<std::size_t>(PicIndex)];
  if (!OpenPicFile(PicFolder / name)) return false;
  PicFileName = name;
  ShowPicTitle(PicFileName);
  return true;
}

void Session::ShowPicTitle(const std::string& name) {
  Caption = PicTitle(name, PicIndex, static_cast<int>(PicFiles.size()));
}

fs::path Session::SaveAs(const fs::path& chosen, int filterIndex) {
  if (filterIndex < 1 || filterIndex > static_cast<int>(SaveFormats.size()))
    throw Error("Brindle", "Unknown save format " + std::to_string(filterIndex) + ".");
  const SaveFormat& format = SaveFormats[static_cast<std::size_t>(filterIndex - 1)];
  const fs::path target = fs::absolute(fs::path(WithExtension(chosen.string(), format.extension)));
  switch (format.format) {
    case PicFormat::BMP: SaveBMP(target, pic); break;
    case PicFormat::SPR: SaveSPR(target, pic, mem, levels); break;
    default: throw Error("Brindle", "Saving as " + std::string(format.name) + " is not available in this version.");
  }
  SaveFilterIndex = filterIndex;
  PicFileName = target.string();
  Caption = "Brindle - " + target.filename().string();
  return target;
}

}  // namespace brindle
