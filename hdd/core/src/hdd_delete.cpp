#include "hdd/hdd_delete.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace hdd {

namespace {

void UpperCase(char* s) {
  for (; *s; ++s)
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - ('a' - 'A'));
}

bool WriteUserByte(HANDLE image, std::uint32_t disk, std::uint32_t slot, std::uint8_t value) {
  if (!SeekTo(image, SlotOffset(disk, slot))) return false;
  DWORD written = 0;
  return WriteFile(image, &value, 1, &written, nullptr) != FALSE && written == 1;
}

}  // namespace

int DeleteFileEntries(const DiskDirectory& dir, std::uint32_t user, const char* name, SlotSelection& sel) {
  char wanted[MAX_PATH];
  std::snprintf(wanted, sizeof wanted, "%s", name);
  UpperCase(wanted);
  bool any = false;
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != user) continue;
    char built[kEntryNameSize];
    BuildEntryName(e, built);
    UpperCase(built);
    if (std::strcmp(built, wanted) != 0) continue;
    sel.chosen[i] = true;
    any = true;
  }
  return any ? 1 : 0;
}

int DeleteUserArea(const DiskDirectory& dir, std::uint32_t user, SlotSelection& sel) {
  // Every entry of the user is a part of a file the listing shows and the area's
  // extraction writes.
  for (std::uint32_t i = 0; i < dir.whole; ++i)
    if (dir.slots[i].User == user) sel.chosen[i] = true;
  return 1;
}

int DeleteDirectory(const DiskDirectory& dir, SlotSelection& sel) {
  bool userMet[16] = {};
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const std::uint8_t user = dir.slots[i].User;
    if (user == 0) {
      sel.chosen[i] = true;  // every user-0 entry goes, with or without a last entry
    } else if (user <= 15 && !userMet[user]) {
      userMet[user] = true;
      DeleteUserArea(dir, user, sel);
    }
  }
  return 1;
}

int FreeChosenSlots(HANDLE image, std::uint32_t disk, const DiskDirectory& dir, const SlotSelection& sel) {
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    if (!sel.chosen[i] || WriteUserByte(image, disk, i, kUserFree)) continue;
    // Put back what this call changed, newest first.
    for (std::uint32_t j = i; j-- > 0;)
      if (sel.chosen[j]) WriteUserByte(image, disk, j, dir.slots[j].User);
    return 0;
  }
  return 1;
}

int DeleteItem(HANDLE image, const char* path, const PluginPanelItem& item) {
  ResolvedItem r;
  const int ready = ResolveItem(image, path, item, r);
  if (ready != 1) return ready;
  SlotSelection sel;
  int chosen = 1;
  switch (r.path.kind) {
    case ItemKind::Disk: chosen = DeleteDirectory(r.dir, sel); break;
    case ItemKind::UserArea: chosen = DeleteUserArea(r.dir, r.path.user, sel); break;
    case ItemKind::File: chosen = DeleteFileEntries(r.dir, r.path.user, r.path.name, sel); break;
  }
  if (chosen != 1) return chosen;
  return FreeChosenSlots(image, r.path.disk, r.dir, sel);
}

}  // namespace hdd
