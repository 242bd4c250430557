#include "hdd/hdd_image.h"

#include <cstring>

#include "platform/files.h"

namespace hdd {

namespace {

// Copies up to `count` bytes, stopping at a zero byte, and cuts trailing blanks.
std::size_t CopyField(const char* src, std::size_t count, char* dst) {
  std::size_t len = 0;
  while (len < count && src[len] != '\0') {
    dst[len] = src[len];
    ++len;
  }
  while (len > 0 && dst[len - 1] == ' ') --len;
  dst[len] = '\0';
  return len;
}

}  // namespace

void BuildEntryName(const DirectoryEntry& entry, char* dst) {
  char name[9];
  char ext[4];
  const std::size_t nameLen = CopyField(entry.Name, sizeof entry.Name, name);
  const std::size_t extLen = CopyField(entry.Ext, sizeof entry.Ext, ext);
  std::size_t pos = 0;
  std::memcpy(dst, name, nameLen);
  pos = nameLen;
  if (extLen > 0) {
    dst[pos++] = '.';
    std::memcpy(dst + pos, ext, extLen);
    pos += extLen;
  }
  dst[pos] = '\0';
  for (std::size_t i = 0; i < pos; ++i) {
    if (dst[i] == '/')
      dst[i] = '@';
    else if (dst[i] >= 'A' && dst[i] <= 'Z')
      dst[i] = static_cast<char>(dst[i] + ('a' - 'A'));
  }
}

void SectorToTrackSide(std::uint32_t n, std::uint32_t& t, std::uint32_t& s, std::uint32_t& r) {
  t = (n / 5) / 2;
  s = (n / 5) % 2;
  r = (n % 5) + 1;
}

std::uint64_t SectorOffset(std::uint32_t d, std::uint32_t t, std::uint32_t s, std::uint32_t r) {
  // ((157 d + 2 t + s - 149) x 5 + r) x 1024; d >= 1 keeps the bracket positive.
  const std::uint64_t unit = 157ull * d + 2ull * t + s - 149ull;
  return (unit * 5 + r) * kSectorSize;
}

bool SeekTo(HANDLE file, std::uint64_t offset) {
  LONG high = static_cast<LONG>(static_cast<std::uint32_t>(offset >> 32));
  const DWORD low =
      SetFilePointer(file, static_cast<LONG>(static_cast<std::uint32_t>(offset & 0xFFFFFFFFu)), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD count, DWORD& bytesRead) {
  bytesRead = 0;
  if (!SeekTo(file, offset)) return false;
  return ReadFile(file, buffer, count, &bytesRead, nullptr) != FALSE;
}

DWORD ReadSector(HANDLE image, std::uint32_t d, std::uint32_t t, std::uint32_t s, std::uint32_t r,
                 unsigned char* buffer) {
  std::memset(buffer, 0, kSectorSize);
  DWORD got = 0;
  ReadAt(image, SectorOffset(d, t, s, r), buffer, kSectorSize, got);
  return got;
}

bool ReadSlot(HANDLE image, std::uint32_t disk, std::uint32_t slot, DirectoryEntry& entry) {
  DWORD got = 0;
  return ReadAt(image, SlotOffset(disk, slot), &entry, kEntrySize, got) && got == kEntrySize;
}

bool ReadImageInfo(HANDLE image, ImageInfo& info) {
  DWORD high = 0;
  const DWORD low = GetFileSize(image, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  unsigned char count[2];
  DWORD got = 0;
  if (!ReadAt(image, kDiskCountOffset, count, sizeof count, got) || got != sizeof count) return false;
  info.fileSize = (static_cast<std::uint64_t>(high) << 32) | low;
  info.diskCount = static_cast<std::uint32_t>(count[0]) | (static_cast<std::uint32_t>(count[1]) << 8);
  return true;
}

bool SizeHoldsDisks(std::uint64_t fileSize, std::uint32_t diskCount) {
  return diskCount != 0 && fileSize >= (static_cast<std::uint64_t>(diskCount) - 1) * kDiskSize;
}

bool CheckImage(HANDLE image) {
  ImageInfo info;
  if (!ReadImageInfo(image, info)) return false;
  if (!SizeHoldsDisks(info.fileSize, info.diskCount)) return false;
  for (std::uint32_t d = info.diskCount; d >= 1; --d) {
    DirectoryEntry e;
    if (!ReadSlot(image, d, 0, e)) return false;  // a disk that ends before its first entry
    if (e.User == kUserFree || e.User == kUserDiskFolder) continue;
    if (e.User > kUserDiskFolder) return false;
    if (e.Records > kRecordsFull || e.S1 != 0 || e.S2 != 0) return false;
  }
  return true;
}

int RecognizeImage(const char* fileName, int firstBytesSize) {
  if (firstBytesSize <= 132) return 0;
  HANDLE h = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  const bool ok = CheckImage(h);
  CloseHandle(h);
  return ok ? 1 : 0;
}

}  // namespace hdd
