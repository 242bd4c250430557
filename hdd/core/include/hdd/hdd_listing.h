// Listing a MicroDOS hard-disk image as the flat item list of the
// format-module interface: one directory slot per call, disk after disk.
//
// Item paths: "disk_NN\name" for user 0, "disk_NN\user_X\name" for other
// users, "disk_NN\" (a directory item) for a slot with User 0x10, and an empty
// name for free slots and for the parts of a file it is not shown by (a file
// is shown once: hdd_files.h). NN is the disk
// number in lower-case hex with at least two digits, X the user in lower-case
// hex without leading zeros.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formatmodule/interface.h"
#include "hdd/hdd_files.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_paths.h"

namespace hdd {

// Position of one item walk. The disk count and file size are those of the
// image handed to PrepareListing, never of another file.
struct ListingWalk {
  ImageInfo image;
  std::uint32_t currentDisk = 0;
  std::uint64_t dirPosition = 0;
  std::uint64_t dirLastSlot = 0;
  char diskPrefix[MAX_PATH] = {};
  // The current disk's directory and the slots it shows its files by, read once
  // when a full part of a file asks whether it shows its file; 0: none read.
  DiskDirectory dir;
  ListedSlots listed;
  std::uint32_t dirDisk = 0;
};

// "disk_NN\" for a disk number.
void FormatDiskPrefix(std::uint32_t disk, char* out, std::size_t size);

// Fills a file item from an entry after the prefix already in cFileName:
// archive attribute, the name appended, the size from the entry. Returns
// false when the entry's built name is empty.
bool FillPanelItem(PluginPanelItem* item, const DirectoryEntry& entry);

// Starts a walk at disk 1's first slot, with the disk count and size read
// through the handle. 0 when they cannot be read or the disk count is 0.
int PrepareListing(ListingWalk& walk, HANDLE image);

// The next slot into a cleared record: 1 item (possibly with an empty name),
// 0 end, 2 a file entry whose name is blank, 3 a failed move or short read.
int NextListingItem(ListingWalk& walk, HANDLE image, PluginPanelItem* item);

}  // namespace hdd
