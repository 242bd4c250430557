#include "hdd/hdd_extract.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hdd/hdd_files.h"
#include "platform/files.h"
#include "platform/workdir.h"

namespace hdd {

namespace {

// Consecutive blocks are read and written together, up to this many at once.
constexpr std::uint32_t kRunBlocks = 32;

// ".hdd-", an item's name (12 characters at most), "-" and six digits.
constexpr std::size_t kPartNameSize = 5 + kEntryNameSize + 1 + 6;

// Offset of block b of a disk: its sectors 2b and 2b + 1 counted from the directory.
std::uint64_t BlockOffset(std::uint32_t disk, std::uint32_t block) {
  std::uint32_t t = 0, s = 0, r = 0;
  SectorToTrackSide(2 * block, t, s, r);
  return SectorOffset(disk, t, s, r);
}

// Every block the file's size needs is listed, is a data block, lies wholly in
// the image file, and is listed once: a block that stands twice in one file is
// a damaged directory, whose bytes would be written twice.
bool BlocksAreSound(const ImageInfo& info, std::uint32_t disk, const ExtentTable& table) {
  const std::uint32_t needed = (table.bytes + kBlockSize - 1) / kBlockSize;
  if (needed > table.count) return false;  // a 0 before the listed size
  bool used[kLastDataBlock + 1] = {};
  for (std::uint32_t i = 0; i < needed; ++i) {
    const std::uint32_t b = table.blocks[i];
    if (b < kFirstDataBlock || b > kLastDataBlock) return false;
    if (BlockOffset(disk, b) + kBlockSize > info.fileSize) return false;
    if (used[b]) return false;
    used[b] = true;
  }
  return true;
}

// Writes the file's blocks into the open PC file; false on a short read or a failed write.
bool CopyBlocks(HANDLE image, HANDLE pc, std::uint32_t disk, const ExtentTable& table) {
  static unsigned char buffer[kRunBlocks * kBlockSize];
  std::uint32_t remaining = table.bytes;
  std::uint32_t i = 0;
  while (remaining > 0) {
    std::uint32_t run = 1;
    while (run < kRunBlocks && static_cast<std::uint64_t>(run) * kBlockSize < remaining &&
           table.blocks[i + run] == table.blocks[i] + run)
      ++run;
    const DWORD want = run * kBlockSize;
    DWORD got = 0;
    if (!ReadAt(image, BlockOffset(disk, table.blocks[i]), buffer, want, got) || got != want) return false;
    const DWORD count = std::min<std::uint32_t>(remaining, want);
    DWORD written = 0;
    if (!WriteFile(pc, buffer, count, &written, nullptr) || written != count) return false;
    remaining -= count;
    i += run;
  }
  return true;
}

// A folder of the current directory made current (an existing one is used).
// `created` tells whether this call made it. An existing name that is a
// symbolic link is refused: entering it would write the files wherever it
// points, outside the destination.
bool EnterFolder(const char* name, bool& created) {
  created = CreateDirectoryA(name, nullptr) != FALSE;
  if (!created) {
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (GetFileAttributesA(name) != FILE_ATTRIBUTE_DIRECTORY) return false;  // a link, or no folder
  }
  if (SetCurrentDirectoryA(name)) return true;
  if (created) RemoveDirectoryA(name);
  return false;
}

// A name in the current directory for a file being written: never an item's
// name (those have at most 12 characters) and never one that exists. Its
// handle, opened by CREATE_NEW, or INVALID_HANDLE_VALUE.
HANDLE CreatePartFile(const char* name, char (&part)[kPartNameSize]) {
  static std::uint32_t next = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::snprintf(part, sizeof part, ".hdd-%s-%06u", name, static_cast<unsigned>(++next % 1000000));
    HANDLE h = CreateFileA(part, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_ARCHIVE | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

// After a failure: a folder this call made goes again when it stayed empty.
void DropEmptyFolder(const platform::SavedWorkingDirectory& saved, const char* name, bool created) {
  if (!created || !saved.Restore()) return;
  RemoveDirectoryA(name);  // refuses a folder that holds anything
}

// The user's files into the current directory; `written` counts the files written.
int ExtractUserAreaHere(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk,
                        std::uint32_t user, std::uint32_t& written) {
  ListedSlots listed;
  FindListedSlots(dir, listed);
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != user || !listed.slot[i]) continue;  // each file once, by the entry it is listed by
    char name[kEntryNameSize];
    BuildEntryName(e, name);
    if (ExtractFile(image, info, dir, disk, user, name) != 1) return 0;
    ++written;
  }
  return 1;
}

// The folder "user_X" made current, the user's files extracted into it, the
// previous directory current again. `created` tells whether this call made the
// folder; `written` counts the files written.
int ExtractUserAreaFolder(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk,
                          std::uint32_t user, bool& created, std::uint32_t& written) {
  char folder[16];
  UserFolderName(user, folder, sizeof folder);
  const platform::SavedWorkingDirectory saved;
  created = false;
  if (!saved.Saved() || !EnterFolder(folder, created)) return 0;
  const int result = ExtractUserAreaHere(image, info, dir, disk, user, written);
  if (result != 1) DropEmptyFolder(saved, folder, created);
  return result;
}

}  // namespace

bool IsValidPcName(const char* name) {
  if (name == nullptr || name[0] == '\0') return false;
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == '\\' || c == '/') return false;
  }
  return true;
}

bool FindFileExtents(const DiskDirectory& dir, std::uint32_t user, const char* name, ExtentTable& table) {
  table.count = 0;
  table.bytes = 0;
  std::memset(table.blocks, 0, sizeof table.blocks);
  if (name == nullptr || name[0] == '\0') return false;
  FileEntries file;
  CollectFileEntries(dir, user, name, file);
  if (!EntriesAreWhole(dir, file)) return false;
  std::uint32_t filled = 0;
  bool ended = false;  // a 0 ends the list, also inside an entry
  for (std::uint32_t k = 0; k < file.count; ++k) {
    const DirectoryEntry& e = dir.slots[file.slots[k]];
    for (int i = 0; i < 8; ++i) {
      const unsigned b = BlockNumber(e, i);
      table.blocks[filled++] = static_cast<std::uint16_t>(b);
      if (b == 0) ended = true;
      if (!ended) ++table.count;
    }
  }
  table.bytes = FileSizeFromEntry(dir.slots[file.slots[file.count - 1]]);
  return true;
}

int ExtractFile(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk, std::uint32_t user,
                const char* name) {
  if (!IsValidPcName(name)) return 0;
  ExtentTable table;
  if (!FindFileExtents(dir, user, name, table)) return 0;
  if (!BlocksAreSound(info, disk, table)) return 0;
  if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) return 0;  // never overwrites a PC file
  // The bytes go into a file of another name first: a copy cut short (a kill,
  // a power cut) leaves no file that looks like the item.
  char part[kPartNameSize];
  HANDLE pc = CreatePartFile(name, part);
  if (pc == INVALID_HANDLE_VALUE) return 0;
  const bool copied = CopyBlocks(image, pc, disk, table);
  const bool closed = CloseHandle(pc) != FALSE;
  // The name is given only to a whole file, and never over one that appeared meanwhile.
  if (copied && closed && MoveFileA(part, name)) return 1;
  DeleteFileA(part);
  return 0;
}

int ExtractUserArea(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk,
                    std::uint32_t user) {
  bool created = false;
  std::uint32_t written = 0;
  return ExtractUserAreaFolder(image, info, dir, disk, user, created, written);
}

int ExtractDisk(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk) {
  char folder[16];
  DiskFolderName(disk, folder, sizeof folder);
  const platform::SavedWorkingDirectory saved;
  bool created = false;
  if (!saved.Saved() || !EnterFolder(folder, created)) return 0;
  bool all = true;
  bool userMet[16] = {};
  bool userCreated[16] = {};
  std::uint32_t written = 0;
  ListedSlots listed;
  FindListedSlots(dir, listed);
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User == 0) {
      if (!listed.slot[i]) continue;  // the file is attempted once, by the entry it is listed by
      char name[kEntryNameSize];
      BuildEntryName(e, name);
      if (ExtractFile(image, info, dir, disk, 0, name) == 1)
        ++written;
      else
        all = false;
    } else if (e.User <= 15 && !userMet[e.User]) {
      userMet[e.User] = true;
      if (ExtractUserAreaFolder(image, info, dir, disk, e.User, userCreated[e.User], written) != 1) all = false;
    }
  }
  if (!all && created && written == 0) {
    // Nothing could be written: the folders this call made go again.
    for (std::uint32_t user = 1; user <= 15; ++user) {
      char name[16];
      UserFolderName(user, name, sizeof name);
      if (userCreated[user]) RemoveDirectoryA(name);
    }
    DropEmptyFolder(saved, folder, created);
  }
  return all ? 1 : 0;
}

int CopyItemToPC(HANDLE image, const char* path, const PluginPanelItem& item) {
  ResolvedItem r;
  const int ready = ResolveItem(image, path, item, r);
  if (ready != 1) return ready;
  switch (r.path.kind) {
    case ItemKind::Disk: return ExtractDisk(image, r.info, r.dir, r.path.disk);
    case ItemKind::UserArea: return ExtractUserArea(image, r.info, r.dir, r.path.disk, r.path.user);
    case ItemKind::File: break;
  }
  return ExtractFile(image, r.info, r.dir, r.path.disk, r.path.user, r.path.name);
}

}  // namespace hdd
