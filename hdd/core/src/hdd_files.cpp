#include "hdd/hdd_files.h"

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

void FindListedSlots(const DiskDirectory& dir, ListedSlots& listed) {
  listed = ListedSlots{};
  char names[kSlotsPerDisk][kEntryNameSize];
  std::uint32_t order[kSlotsPerDisk];
  std::uint32_t files = 0;
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    if (!IsFileEntry(dir.slots[i])) continue;
    BuildEntryName(dir.slots[i], names[i]);
    order[files++] = i;
  }
  // The entries of one file side by side, by extent, then by slot.
  std::sort(order, order + files, [&](std::uint32_t a, std::uint32_t b) {
    const DirectoryEntry &x = dir.slots[a], &y = dir.slots[b];
    if (x.User != y.User) return x.User < y.User;
    if (const int c = std::strcmp(names[a], names[b]); c != 0) return c < 0;
    if (x.Extent != y.Extent) return x.Extent < y.Extent;
    return a < b;
  });
  for (std::uint32_t begin = 0; begin < files;) {
    std::uint32_t end = begin + 1;
    while (end < files && dir.slots[order[end]].User == dir.slots[order[begin]].User &&
           std::strcmp(names[order[end]], names[order[begin]]) == 0)
      ++end;
    bool ended = false;
    for (std::uint32_t k = begin; k < end; ++k)
      if (dir.slots[order[k]].Records != kRecordsFull) listed.slot[order[k]] = ended = true;
    if (!ended) {  // the first slot of the highest extent
      std::uint32_t first = end - 1;
      while (first > begin && dir.slots[order[first - 1]].Extent == dir.slots[order[end - 1]].Extent) --first;
      listed.slot[order[first]] = true;
    }
    begin = end;
  }
}

}  // namespace hdd
