#include "core/session.h"

#include <algorithm>

#include "core/error.h"

namespace brindle {

namespace fs = std::filesystem;

bool Session::OpenPicFile(const fs::path& file) {
  const FormatRow* format = FormatOfExtension(Extension(file.filename().string()));
  if (!format || !format->reader) return false;
  format->reader(file, mem, pic, levels);
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
  // The caption names the entry the next step goes on from, also when that file is refused;
  // PicFileName stays the picture shown, so Save never proposes to write over the refused file.
  ShowPicTitle(name);
  if (!OpenPicFile(PicFolder / name)) return false;
  PicFileName = name;
  return true;
}

void Session::ShowPicTitle(const std::string& name) {
  Caption = PicTitle(name, PicIndex, static_cast<int>(PicFiles.size()));
}

fs::path Session::SaveAs(const fs::path& chosen, int filterIndex) {
  const FormatRow* format = FormatOfSaveIndex(filterIndex);
  if (!format) throw Error("Brindle", "Unknown save format " + std::to_string(filterIndex) + ".");
  if (!format->writer)
    throw Error("Brindle", "Saving as " + std::string(format->saveText) + " is not available in this version.");
  const fs::path target = fs::absolute(fs::path(WithExtension(chosen.string(), format->extensions[0])));
  format->writer(target, pic, mem, levels);
  SaveFilterIndex = filterIndex;
  PicFileName = target.string();
  Caption = "Brindle - " + target.filename().string();
  return target;
}

}  // namespace brindle
