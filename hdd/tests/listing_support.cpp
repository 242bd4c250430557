#include "listing_support.h"

#include <cstring>

#include "hddtest/test_support.h"
#include "platform/files.h"

namespace hddtest {

Listing ListImage(const std::string& path) {
  Listing l;
  HANDLE h = OpenImage(path);
  if (h == INVALID_HANDLE_VALUE) return l;
  if (Module().imgPrepare(h) == 0) {
    CloseHandle(h);
    return l;
  }
  for (;;) {
    PluginPanelItem item;
    std::memset(&item, 0, sizeof item);
    const int r = Module().getImgItem(h, &item);
    if (r != 1) {
      l.end = r;
      break;
    }
    ++l.records;
    const std::size_t len = strnlen(item.FindData.cFileName, sizeof item.FindData.cFileName);
    if (len > 0)
      l.items.push_back(
          {std::string(item.FindData.cFileName, len), item.FindData.dwFileAttributes, item.FindData.nFileSizeLow});
  }
  CloseHandle(h);
  return l;
}

}  // namespace hddtest
