// The nine exported entry points of hdd.di. The module keeps one item walk;
// everything it knows about an image it reads through the handle of the call.
#include <cstdio>

#include "formatmodule/interface.h"
#include "hdd/hdd_delete.h"
#include "hdd/hdd_extract.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_listing.h"

namespace {

hdd::ListingWalk Walk;

}  // namespace

FORMATMODULE_EXPORT int WINAPI IsImage(const char* fileName, const unsigned char* /*firstBytes*/, int firstBytesSize) {
  return hdd::RecognizeImage(fileName, firstBytesSize);
}

FORMATMODULE_EXPORT int WINAPI ImgPrepare(HANDLE image) { return hdd::PrepareListing(Walk, image); }

FORMATMODULE_EXPORT int WINAPI GetImgItem(HANDLE image, PluginPanelItem* item) {
  if (item == nullptr) return FM_FAILED;
  return hdd::NextListingItem(Walk, image, item);
}

FORMATMODULE_EXPORT int WINAPI GetFormatName(char* longName, char* shortName) {
  if (longName) std::snprintf(longName, FM_LONG_NAME_SIZE, "%s", "HDD for MicroDOS");
  if (shortName) std::snprintf(shortName, FM_SHORT_NAME_SIZE, "%s", "HDD");
  return 1;
}

FORMATMODULE_EXPORT int WINAPI CopyFromPC(const char* /*pcFileName*/, HANDLE /*image*/, PluginPanelItem /*pcItem*/,
                                          const char* /*targetDir*/, int /*option*/) {
  return FM_NOT_SUPPORTED;
}

FORMATMODULE_EXPORT int WINAPI CopyToPC(HANDLE image, char* path, PluginPanelItem item) {
  return hdd::CopyItemToPC(image, path, item);
}

FORMATMODULE_EXPORT int WINAPI MakeNewImage(HANDLE /*newFile*/) { return FM_NOT_SUPPORTED; }

FORMATMODULE_EXPORT int WINAPI DelFile(HANDLE image, char* path, PluginPanelItem item) {
  return hdd::DeleteItem(image, path, item);
}

FORMATMODULE_EXPORT int WINAPI FileExistOnImage(HANDLE /*image*/, WIN32_FIND_DATA /*pcFile*/,
                                                const char* /*targetDir*/) {
  return FM_NOT_SUPPORTED;
}
