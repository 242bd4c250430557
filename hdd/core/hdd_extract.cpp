#include "hdd_extract.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "platform/workdir.h"

namespace hdd {

namespace {

// Consecutive blocks are read and written together, up to this many at once.
constexpr std::uint32_t kRunBlocks = 32;

// Offset of block b of a disk: its sectors 2b and 2b + 1 counted from the directory.
std::uint64_t BlockOffset(std::uint32_t disk, std::uint32_t block) {
  std::uint32_t t = 0, s = 0, r = 0;
  SectorToTrackSide(2 * block, t, s, r);
  return SectorOffset(disk, t, s, r);
}

// Every block the file's size needs is listed, is a data block, and lies
// wholly in the image file.
bool BlocksAreSound(const ImageInfo& info, std::uint32_t disk, const ExtentTable& table) {
  const std::uint32_t needed = (table.bytes + kBlockSize - 1) / kBlockSize;
  if (needed > table.count) return false;  // a 0 before the listed size
  for (std::uint32_t i = 0; i < needed; ++i) {
    const std::uint32_t b = table.blocks[i];
    if (b < kFirstDataBlock || b > kLastDataBlock) return false;
    if (BlockOffset(disk, b) + kBlockSize > info.fileSize) return false;
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
// `created` tells whether this call made it.
bool EnterFolder(const char* name, bool& created) {
  created = CreateDirectoryA(name, nullptr) != FALSE;
  if (!created && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  if (SetCurrentDirectoryA(name)) return true;
  if (created) RemoveDirectoryA(name);
  return false;
}

// After a failure: a folder this call made goes again when it stayed empty.
void DropEmptyFolder(const platform::SavedWorkingDirectory& saved, const char* name, bool created) {
  if (!created || !saved.Restore()) return;
  RemoveDirectoryA(name);  // refuses a folder that holds anything
}

// The user's files into the current directory; `written` counts the files written.
int ExtractUserAreaHere(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk,
                        std::uint32_t user, std::uint32_t& written) {
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != user || e.Records == kRecordsFull) continue;
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
  std::uint32_t filled = 0;
  bool ended = false;  // a 0 ends the list, also inside an entry
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != user) continue;
    char built[kEntryNameSize];
    BuildEntryName(e, built);
    if (std::strcmp(built, name) != 0) continue;
    for (int k = 0; k < 8; ++k) {
      const unsigned b = BlockNumber(e, k);
      table.blocks[filled++] = static_cast<std::uint16_t>(b);
      if (b == 0) ended = true;
      if (!ended) ++table.count;
    }
    if (e.Records != kRecordsFull) {
      table.bytes = FileSizeFromEntry(e);
      return true;
    }
  }
  return false;
}

int ExtractFile(HANDLE image, const ImageInfo& info, const DiskDirectory& dir, std::uint32_t disk, std::uint32_t user,
                const char* name) {
  if (!IsValidPcName(name)) return 0;
  ExtentTable table;
  if (!FindFileExtents(dir, user, name, table)) return 0;
  if (!BlocksAreSound(info, disk, table)) return 0;
  HANDLE pc = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_ARCHIVE | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (pc == INVALID_HANDLE_VALUE) return 0;  // never overwrites a PC file
  const bool copied = CopyBlocks(image, pc, disk, table);
  const bool closed = CloseHandle(pc) != FALSE;
  if (copied && closed) return 1;
  DeleteFileA(name);
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
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User == 0) {
      if (e.Records == kRecordsFull) continue;  // the file is attempted once, by its last entry
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
