// Deletion: frees the directory entries of a listed item by setting their
// User byte to 0xE5; nothing else of the image changes.
//
// The disk's directory is read once and every slot to free is decided before
// the first write, so a refused or unknown path changes nothing. The writes
// go out at once, slot by slot; when one fails, the slots this call freed get
// their old User byte back and the result is 0.
#pragma once

#include <cstdint>

#include "formatmodule/interface.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_paths.h"

namespace hdd {

// Slots of one disk chosen for freeing.
struct SlotSelection {
  bool chosen[kSlotsPerDisk] = {};
};

// Chooses every entry of user `user` whose name equals `name` (letters A-Z
// without regard to case), whatever its Extent and Records. 1 when at least
// one entry was chosen, else 0.
int DeleteFileEntries(const DiskDirectory& dir, std::uint32_t user, const char* name, SlotSelection& sel);

// Chooses every file of a user area: every entry of the user, as the area's
// extraction writes every file of it. Returns 1.
int DeleteUserArea(const DiskDirectory& dir, std::uint32_t user, SlotSelection& sel);

// Chooses a whole disk folder: every user-0 entry and the files of users
// 1-15; entries with User 0x10 or above 15 stay. Returns 1.
int DeleteDirectory(const DiskDirectory& dir, SlotSelection& sel);

// Writes 0xE5 into the User byte of every chosen slot, in slot order. On a
// failed write the slots written before get their old byte back; returns 0.
int FreeChosenSlots(HANDLE image, std::uint32_t disk, const DiskDirectory& dir, const SlotSelection& sel);

// The module's DelFile: 1 done, 0 failed, 2 not a path of this format, 5 disk
// or user out of range. The path buffer is left as it is.
int DeleteItem(HANDLE image, const char* path, const PluginPanelItem& item);

}  // namespace hdd
