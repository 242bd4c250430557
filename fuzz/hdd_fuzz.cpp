// Hard-disk images through the module's own entry points, as the plug-in calls them: recognition
// of the file, then the item walk to its end. The listing is bounded by the image's size, so a
// walk that does not end is a finding too. The input stands for a sparse image (hdd_image_input.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "formatmodule/interface.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/hdd_image_input.h"
#include "platform/files.h"

extern "C" int WINAPI IsImage(const char* fileName, const unsigned char* firstBytes, int firstBytesSize);
extern "C" int WINAPI ImgPrepare(HANDLE image);
extern "C" int WINAPI GetImgItem(HANDLE image, PluginPanelItem* item);

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
    }
  }
  CloseHandle(image);
  return 0;
}
