#include "hdd/hdd_paths.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "hdd/hdd_files.h"
#include "platform/files.h"

namespace hdd {

namespace {

constexpr std::size_t kMaxComponents = 3;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// "prefix" followed by lower-case hex digits written as printf writes them
// with at least `minDigits` digits: no leading zero beyond those.
bool ParseNumbered(std::string_view component, std::string_view prefix, std::size_t minDigits, std::uint32_t& value) {
  if (component.substr(0, prefix.size()) != prefix) return false;
  const std::string_view digits = component.substr(prefix.size());
  if (digits.size() < minDigits) return false;
  if (digits.size() > minDigits && digits[0] == '0') return false;
  std::uint64_t v = 0;
  for (char c : digits) {
    if (!IsHexDigit(c)) return false;
    v = v * 16 + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (v > UINT32_MAX) v = UINT32_MAX;  // out of every range; saturating keeps it so
  }
  value = static_cast<std::uint32_t>(v);
  return true;
}

bool ParseUser(std::string_view component, std::uint32_t& user) {
  // user_0 is never listed: user 0's files sit directly in the disk folder.
  return ParseNumbered(component, "user_", 1, user) && user != 0;
}

}  // namespace

int ParseItemPath(const char* path, bool directory, ItemPath& out) {
  out = ItemPath{};
  if (path == nullptr) return 2;
  const void* end = std::memchr(path, '\0', MAX_PATH);
  if (end == nullptr) return 2;
  const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(end) - path);
  char lower[MAX_PATH];
  for (std::size_t i = 0; i <= len; ++i)
    lower[i] = (path[i] >= 'A' && path[i] <= 'Z') ? static_cast<char>(path[i] + ('a' - 'A')) : path[i];

  std::string_view parts[kMaxComponents];
  std::size_t count = 0;
  std::string_view rest(lower, len);
  for (;;) {
    const std::size_t sep = rest.find('\\');
    if (count == kMaxComponents) return 2;
    parts[count++] = rest.substr(0, sep);
    if (parts[count - 1].empty()) return 2;
    if (sep == std::string_view::npos) break;
    rest = rest.substr(sep + 1);
  }

  if (!ParseNumbered(parts[0], "disk_", 2, out.disk)) return 2;
  if (directory) {
    if (count == 1) {
      out.kind = ItemKind::Disk;
      return 1;
    }
    if (count != 2 || !ParseUser(parts[1], out.user)) return 2;
    out.kind = ItemKind::UserArea;
    return 1;
  }
  if (count == 1) return 2;  // a file item always has a disk folder above it
  if (count == 3 && !ParseUser(parts[1], out.user)) return 2;
  const std::string_view name = parts[count - 1];
  std::memcpy(out.name, name.data(), name.size());
  out.name[name.size()] = '\0';
  out.kind = ItemKind::File;
  return 1;
}

int CheckItemRange(const ItemPath& item, std::uint32_t diskCount) {
  if (item.disk < 1 || item.disk > diskCount) return 5;
  if (item.user > 15) return 5;
  return 1;
}

void DiskFolderName(std::uint32_t disk, char* out, std::size_t size) {
  std::snprintf(out, size, "disk_%02x", static_cast<unsigned>(disk));
}

void UserFolderName(std::uint32_t user, char* out, std::size_t size) {
  std::snprintf(out, size, "user_%x", static_cast<unsigned>(user));
}

bool ReadDiskDirectory(HANDLE image, std::uint32_t disk, DiskDirectory& dir) {
  dir.whole = 0;
  DWORD got = 0;
  if (!ReadAt(image, SlotOffset(disk, 0), dir.slots, sizeof dir.slots, got)) return false;
  dir.whole = got / kEntrySize;
  return true;
}

bool ShadowedByUserZeroName(const DiskDirectory& dir, const ItemPath& item) {
  if (item.kind == ItemKind::Disk || item.user == 0) return false;
  char folder[16];
  UserFolderName(item.user, folder, sizeof folder);
  const std::size_t folderLen = std::strlen(folder);
  ListedSlots listed;
  FindListedSlots(dir, listed);
  for (std::uint32_t i = 0; i < dir.whole; ++i) {
    const DirectoryEntry& e = dir.slots[i];
    if (e.User != 0 || !listed.slot[i]) continue;  // only listed user-0 files show
    char name[kEntryNameSize];
    BuildEntryName(e, name);
    if (std::strncmp(name, folder, folderLen) != 0 || name[folderLen] != '\\') continue;
    if (item.kind == ItemKind::UserArea || std::strcmp(name + folderLen + 1, item.name) == 0) return true;
  }
  return false;
}

int ResolveItem(HANDLE image, const char* path, const PluginPanelItem& item, ResolvedItem& r) {
  const bool directory = (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const int syntax = ParseItemPath(path, directory, r.path);
  if (syntax != 1) return syntax;
  if (!ReadImageInfo(image, r.info)) return 0;
  const int range = CheckItemRange(r.path, r.info.diskCount);
  if (range != 1) return range;
  if (!ReadDiskDirectory(image, r.path.disk, r.dir) || r.dir.whole == 0) return 0;
  return ShadowedByUserZeroName(r.dir, r.path) ? 2 : 1;
}

}  // namespace hdd
