// Hard-disk images through the module's own entry points, as the plug-in calls them: recognition
// of the file, then the item walk to its end (bounded by the image's size, so a walk that does not
// end is a finding too), then extraction of one listed item into an empty folder and its deletion.
// Nothing may be written outside that folder, the working directory must stay where it was, and
// a deletion never changes the image's size. The input stands for a sparse image
// (hdd_image_input.h).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "formatmodule/interface.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/hdd_image_input.h"
#include "platform/files.h"

extern "C" int WINAPI IsImage(const char* fileName, const unsigned char* firstBytes, int firstBytesSize);
extern "C" int WINAPI ImgPrepare(HANDLE image);
extern "C" int WINAPI GetImgItem(HANDLE image, PluginPanelItem* item);
extern "C" int WINAPI CopyToPC(HANDLE image, char* path, PluginPanelItem item);
extern "C" int WINAPI DelFile(HANDLE image, char* path, PluginPanelItem item);

namespace {

namespace fs = std::filesystem;

// Everything below the scratch folder other than the image must lie inside out/.
void CheckNothingOutside(const fs::path& scratch) {
  for (const fs::directory_entry& e : fs::directory_iterator(scratch)) {
    const std::string name = e.path().filename().string();
    if (name != "image.hdd" && name != "out") fuzz::Fail("extraction wrote outside its target folder");
  }
}

void ExtractAndDelete(const std::string& path, const PluginPanelItem& chosen) {
  const fs::path scratch = fuzz::ScratchFolder();
  const fs::path out = scratch / "out";
  fs::remove_all(out);
  fs::create_directory(out);
  const fs::path before = fs::current_path();
  fs::current_path(out);
  HANDLE image = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  char name[FM_PATH_SIZE];
  std::memcpy(name, chosen.FindData.cFileName, sizeof name);
  CopyToPC(image, name, chosen);
  CloseHandle(image);
  if (fs::current_path() != out) fuzz::Fail("extraction left another working directory");
  fs::current_path(before);
  CheckNothingOutside(scratch);

  const auto size = fs::file_size(path);
  image = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::memcpy(name, chosen.FindData.cFileName, sizeof name);
  DelFile(image, name, chosen);
  CloseHandle(image);
  if (fs::file_size(path) != size) fuzz::Fail("deletion changed the image's size");
  if (fs::current_path() != before) fuzz::Fail("deletion left another working directory");
  fs::remove_all(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = (fuzz::ScratchFolder() / "image.hdd").string();
  if (!fuzz::WriteHddImage(path, data, size)) return 0;
  // The host hands the plug-in, and it the module, the file's first bytes (at most a few KiB).
  unsigned char first[4096];
  int firstSize = 0;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    firstSize = static_cast<int>(std::fread(first, 1, sizeof first, f));
    std::fclose(f);
  }
  if (IsImage(path.c_str(), first, firstSize) != 1) return 0;

  HANDLE image = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (image == INVALID_HANDLE_VALUE) fuzz::Fail("an accepted image cannot be opened");
  // One listed item (chosen by the input's size) is extracted and deleted after the walk.
  PluginPanelItem chosen{};
  bool haveChosen = false;
  if (ImgPrepare(image) == 1) {
    // At most four disks of 128 slots, each slot giving at most an item and a folder.
    const size_t limit = 4 * 128 * 2;
    size_t items = 0;
    PluginPanelItem item;
    for (;;) {
      std::memset(&item, 0, sizeof item);
      const int r = GetImgItem(image, &item);
      if (r != FM_DONE) break;
      if (std::memchr(item.FindData.cFileName, 0, sizeof item.FindData.cFileName) == nullptr)
        fuzz::Fail("an item name without its terminating zero");
      if (++items > limit) fuzz::Fail("the item walk does not end");
      if (item.FindData.cFileName[0] != '\0' && (!haveChosen || size % items == 0)) chosen = item, haveChosen = true;
    }
  }
  CloseHandle(image);
  if (haveChosen) ExtractAndDelete(path, chosen);
  return 0;
}
