// Files of one disk's directory: which entries make a file, in which order,
// and which entry the listing shows it by.
//
// A file is the set of entries with the same User and the same built name.
// Its parts are put together by extent number, as CP/M reads them: later
// extents often reuse freed slots, so directory order says nothing. A whole
// file has the extents 0 to n, each once, every one but the last full
// (Records 0x80); the last gives the size. A gap, a repeated extent, or a
// partial entry before the last is damage.
#pragma once

#include <cstdint>

#include "hdd/hdd_image.h"
#include "hdd/hdd_paths.h"

namespace hdd {

// The slots of one file, in extent order (slot order among equal extents).
struct FileEntries {
  std::uint32_t slots[kSlotsPerDisk];
  std::uint32_t count = 0;
};

// True for a slot that holds a part of a file: neither free nor the folder marker.
bool IsFileEntry(const DirectoryEntry& e);

// The entries of user `user` named `name` among the directory's whole slots.
void CollectFileEntries(const DiskDirectory& dir, std::uint32_t user, const char* name, FileEntries& out);

// True when the entries are the extents 0 to n, each once, all but the last full.
bool EntriesAreWhole(const DiskDirectory& dir, const FileEntries& file);

// The slots the listing shows a file by: each entry that ends its file (Records
// not 0x80), and, for a file none of whose entries ends it (16 KB multiples as
// cpmtools and CP/M 2.2 write them), the first of its entries with the highest
// extent number. The folders' extraction walks the same slots, so that a move
// takes out only what it copied. Worked out for the whole directory at once, each
// name built once.
struct ListedSlots {
  bool slot[kSlotsPerDisk] = {};
};
void FindListedSlots(const DiskDirectory& dir, ListedSlots& listed);

}  // namespace hdd
