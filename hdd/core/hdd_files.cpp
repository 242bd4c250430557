#include "hdd_files.h"

#include <algorithm>
#include <cstring>

namespace hdd {

bool IsFileEntry(const DirectoryEntry& e) { return e.User != kUserFree && e.User != kUserDiskFolder; }

void CollectFileEntries(const DiskDirectory& dir, std::uint32_t user, const char* name, FileEntries& out) {
  out.count = 0;
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != user || !IsFileEntry(e)) continue;
    char built[kEntryNameSize];
    BuildEntryName(e, built);
    if (std::strcmp(built, name) == 0) out.slots[out.count++] = i;
  }
  std::stable_sort(out.slots, out.slots + out.count,
                   [&](std::uint32_t a, std::uint32_t b) { return dir.slots[a].Extent < dir.slots[b].Extent; });
}

bool EntriesAreWhole(const DiskDirectory& dir, const FileEntries& file) {
  if (file.count == 0) return false;
  for (std::uint32_t k = 0; k < file.count; ++k) {
    const DirectoryEntry& e = dir.slots[file.slots[k]];
    if (e.Extent != k) return false;                                    // a gap or a repeat
    if (k + 1 < file.count && e.Records != kRecordsFull) return false;  // ends before its last part
  }
  return true;
}

bool ListsFile(const DiskDirectory& dir, std::uint32_t slot) {
  if (slot >= dir.whole) return false;
  const DirectoryEntry& e = dir.slots[slot];
  if (!IsFileEntry(e)) return false;
  if (e.Records != kRecordsFull) return true;
  char name[kEntryNameSize];
  BuildEntryName(e, name);
  FileEntries file;
  CollectFileEntries(dir, e.User, name, file);
  std::uint32_t shownBy = file.slots[0];
  for (std::uint32_t k = 0; k < file.count; ++k) {
    const DirectoryEntry& other = dir.slots[file.slots[k]];
    if (other.Records != kRecordsFull) return false;  // listed by the entry that ends it
    if (other.Extent > dir.slots[shownBy].Extent) shownBy = file.slots[k];
  }
  return shownBy == slot;
}

}  // namespace hdd
