// Item paths handed back by the caller for extraction and deletion, and the
// one read of a disk's directory that both operations work from.
//
// A path is read strictly in the syntax the listing writes, after lowering the
// letters A-Z: "disk_NN" (NN as "%02x": disk_01, disk_0a, disk_100), then for a
// file item either the name (user 0) or "user_X" (X as "%x", 1-15) and the
// name; a directory item is "disk_NN" or "disk_NN\user_X". Anything else is
// not a path of this format. Disk and user numbers are checked against the
// image only after the syntax.
#pragma once

#include <cstdint>

#include "formatmodule/interface.h"
#include "hdd/hdd_image.h"

namespace hdd {

enum class ItemKind { File, UserArea, Disk };

struct ItemPath {
  ItemKind kind = ItemKind::File;
  std::uint32_t disk = 0;    // saturates at UINT32_MAX for absurdly long numbers
  std::uint32_t user = 0;    // 0 for a user-0 file and for a disk folder
  char name[MAX_PATH] = {};  // the file's name, lower-cased; empty for folders
};

// Reads a path (at most MAX_PATH bytes with its terminator). Returns 1, or 2
// when the path is not one that this format's listing produces. Reads
// nothing of any image.
int ParseItemPath(const char* path, bool directory, ItemPath& out);

// 1, or 5 when the disk lies outside 1..diskCount or the user above 15.
int CheckItemRange(const ItemPath& item, std::uint32_t diskCount);

// Folder names as the listing shows them: "disk_%02x" and "user_%x".
void DiskFolderName(std::uint32_t disk, char* out, std::size_t size);
void UserFolderName(std::uint32_t user, char* out, std::size_t size);

// One disk's 128 directory slots, read with a single 4096-byte read. Only the
// first `whole` slots were read in full; the others are absent: never
// matched, never written.
struct DiskDirectory {
  DirectoryEntry slots[kSlotsPerDisk];
  std::uint32_t whole = 0;
};

// False when the move or the read fails.
bool ReadDiskDirectory(HANDLE image, std::uint32_t disk, DiskDirectory& dir);

// True when a user-0 entry whose name holds "\" lists under the item's own
// path or folder (a user-0 file named "USER_3\X" shows as user 3's "x"), so
// that the path cannot tell the two apart.
bool ShadowedByUserZeroName(const DiskDirectory& dir, const ItemPath& item);

// An item ready for extraction or deletion.
struct ResolvedItem {
  ItemPath path;
  ImageInfo info;     // read through the image's own handle
  DiskDirectory dir;  // the item's disk
};

// What extraction and deletion do first with an item: parse its path (2),
// read the disk count and size through the image's own handle (0 when they
// cannot be read), check the numbers (5), read the disk's directory (0 when
// no slot of it can be read) and refuse a path that a user-0 name holding "\"
// also produces (2). 1 when `r` is ready.
int ResolveItem(HANDLE image, const char* path, const PluginPanelItem& item, ResolvedItem& r);

}  // namespace hdd
