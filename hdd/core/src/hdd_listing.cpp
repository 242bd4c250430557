#include "hdd/hdd_listing.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace hdd {

void FormatDiskPrefix(std::uint32_t disk, char* out, std::size_t size) {
  std::snprintf(out, size, "disk_%02x\\", static_cast<unsigned>(disk));
}

bool FillPanelItem(PluginPanelItem* item, const DirectoryEntry& entry) {
  char name[kEntryNameSize];
  BuildEntryName(entry, name);
  item->FindData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  char* path = item->FindData.cFileName;
  const std::size_t used = std::strlen(path);
  std::snprintf(path + used, sizeof item->FindData.cFileName - used, "%s", name);
  item->FindData.nFileSizeLow = FileSizeFromEntry(entry);
  return name[0] != '\0';
}

int PrepareListing(ListingWalk& walk, HANDLE image) {
  walk = ListingWalk{};
  if (!ReadImageInfo(image, walk.image)) return 0;
  // A disk count of 0 (the file was replaced by a non-image after it was recognised) is
  // refused as recognition refuses it, so the caller reports it instead of an empty list.
  if (walk.image.diskCount == 0) return 0;
  walk.currentDisk = 1;
  walk.dirPosition = SlotOffset(1, 0);
  walk.dirLastSlot = SlotOffset(1, kSlotsPerDisk - 1);
  FormatDiskPrefix(1, walk.diskPrefix, sizeof walk.diskPrefix);
  return 1;
}

namespace {

// Whether the entry just read shows its file; false when it is a part the file
// is shown by another entry of. `failed` when the disk's directory cannot be read.
bool ShowsEntry(ListingWalk& walk, HANDLE image, const DirectoryEntry& e, bool& failed) {
  failed = false;
  if (e.User == kUserFree) return false;
  if (e.Records != kRecordsFull) return true;
  if (e.User == kUserDiskFolder) return false;
  // A full part: the directory tells whether the file has an entry that ends it.
  if (walk.dirDisk != walk.currentDisk) {
    walk.dirDisk = 0;
    if (!ReadDiskDirectory(image, walk.currentDisk, walk.dir)) {
      failed = true;
      return false;
    }
    FindListedSlots(walk.dir, walk.listed);
    walk.dirDisk = walk.currentDisk;
  }
  const auto slot = static_cast<std::uint32_t>((walk.dirPosition - SlotOffset(walk.currentDisk, 0)) / kEntrySize);
  return walk.listed.slot[slot];
}

}  // namespace

int NextListingItem(ListingWalk& walk, HANDLE image, PluginPanelItem* item) {
  if (walk.currentDisk == 0 || walk.currentDisk > walk.image.diskCount) return 0;
  if (!SeekTo(image, walk.dirPosition)) return 3;
  if (walk.dirPosition > walk.image.fileSize) return 3;
  DirectoryEntry e;
  DWORD got = 0;
  if (ReadFile(image, &e, kEntrySize, &got, nullptr) == FALSE || got != kEntrySize) return 3;

  bool failed = false;
  const bool show = ShowsEntry(walk, image, e, failed);
  if (failed) return 3;
  bool named = true;
  if (show) {
    char* path = item->FindData.cFileName;
    std::snprintf(path, sizeof item->FindData.cFileName, "%s", walk.diskPrefix);
    if (e.User == 0) {
      named = FillPanelItem(item, e);
    } else if (e.User != kUserDiskFolder) {
      const std::size_t used = std::strlen(path);
      std::snprintf(path + used, sizeof item->FindData.cFileName - used, "user_%x\\", static_cast<unsigned>(e.User));
      named = FillPanelItem(item, e);
    }
  }

  walk.dirPosition += kEntrySize;
  if (walk.dirPosition > walk.dirLastSlot) {
    ++walk.currentDisk;
    if (walk.currentDisk <= walk.image.diskCount) {
      FormatDiskPrefix(walk.currentDisk, walk.diskPrefix, sizeof walk.diskPrefix);
      walk.dirPosition = SlotOffset(walk.currentDisk, 0);
      walk.dirLastSlot = SlotOffset(walk.currentDisk, kSlotsPerDisk - 1);
    }
  }
  return named ? 1 : 2;
}

}  // namespace hdd
