// Extraction: copies a listed item out of a MicroDOS hard-disk image into the
// process's current directory. A file item becomes a new PC file (never one
// that exists), a user-area folder a PC folder of its files, a disk folder a
// PC folder of the user-0 files with one "user_X" folder per user 1-15.
//
// No half-written file stays behind under an item's name: a file is written
// under a name of its own (".hdd-NAME-NNNNNN", longer than any item's name)
// and renamed, never over an existing file, once it is whole; a file that fails
// (a bad block, a short read, a failed write) has that file deleted, which
// CREATE_NEW proves to be ours. Folders that exist are entered only when they
// are folders, never symbolic links. The current directory is the same after
// every return.
#pragma once

#include <cstdint>

#include "formatmodule/interface.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_paths.h"

namespace hdd {

constexpr std::uint32_t kFirstDataBlock = 2;  // blocks 0 and 1 are the directory
// The last block wholly before the next disk's directory: 785 sectors lie
// from one directory to the next, so blocks 0..391 fit.
constexpr std::uint32_t kLastDataBlock = 391;

// Block numbers of one file in extent order and its size in bytes. 128
// entries of 8 numbers and the terminating 0.
struct ExtentTable {
  std::uint16_t blocks[kSlotsPerDisk * 8 + 1];
  std::uint32_t count = 0;  // numbers before the first 0
  std::uint32_t bytes = 0;  // size from the file's last entry
};

// True when the PC name is one path component the file system takes:
// not empty, "." or "..", no "\" or "/", no byte below 0x20.
bool IsValidPcName(const char* name);

// The entries of user `user` named `name` in extent order: their block
// numbers and the file's size from the last one. False when the file has no
// entry among the directory's whole slots, or its extents are not whole
// (hdd_files.h).
bool FindFileExtents(const DiskDirectory& dir, std::uint32_t user, const char* name, ExtentTable& table);

// One file into a new PC file of its name in the current directory: 1 or 0.
int ExtractFile(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk, std::uint32_t user,
                const char* name);

// The folder "user_X" with every file of the user (1-15): 1, or 0 at the first
// file that fails.
int ExtractUserArea(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk,
                    std::uint32_t user);

// The folder "disk_NN": every file and user area is attempted; 1 only when
// all were written.
int ExtractDisk(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk);

// The module's CopyToPC: 1 done, 0 failed, 2 not a path of this format, 5
// disk or user out of range. The path buffer is left as it is.
int CopyItemToPC(HANDLE image, const char* path, const PluginPanelItem& item);

}  // namespace hdd
