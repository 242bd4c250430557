// MicroDOS hard-disk image: layout, directory entries, sector addressing and
// recognition.
//
// The image is a row of equal disks of 803840 bytes (785 sectors of 1024),
// numbered from 1. The 16-bit disk count sits at offset 132 of the file; the
// last disk may end early. Each disk's directory of 128 entries of 32 bytes
// starts 41984 bytes into the disk; 2048-byte allocation blocks are counted
// from the directory's first sector (the directory is blocks 0 and 1).
// All offsets are 64-bit: an image of 65535 disks is about 52 GB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32types.h"

namespace hdd {

constexpr std::uint64_t kDiskSize = 803840;        // bytes per disk
constexpr std::uint64_t kDirectoryOffset = 41984;  // directory start within a disk
constexpr std::uint64_t kDiskCountOffset = 132;    // 16-bit little-endian disk count
constexpr std::uint32_t kSlotsPerDisk = 128;
constexpr std::uint32_t kEntrySize = 32;
constexpr std::uint32_t kSectorSize = 1024;
constexpr std::uint32_t kBlockSize = 2048;
constexpr std::uint32_t kSectorsPerDisk = 785;
constexpr std::uint32_t kDirectorySector = 41;  // sectors before the directory
constexpr std::uint32_t kEntryBytes = 16384;    // bytes one entry covers (8 blocks)
constexpr std::uint32_t kRecordSize = 128;

constexpr std::uint8_t kUserFree = 0xE5;        // free entry
constexpr std::uint8_t kUserDiskFolder = 0x10;  // shows the disk's folder
constexpr std::uint8_t kRecordsFull = 0x80;     // entry full, the file goes on in another entry

constexpr std::size_t kEntryNameSize = 13;  // 8 + "." + 3 + terminator

// The 32-byte directory entry as stored.
struct DirectoryEntry {
  std::uint8_t User;
  char Name[8];
  char Ext[3];
  std::uint8_t Extent;
  std::uint8_t S1;
  std::uint8_t S2;
  std::uint8_t Records;
  std::uint8_t Blocks[16];  // eight 16-bit little-endian block numbers; 0 ends the list
};
static_assert(sizeof(DirectoryEntry) == kEntrySize);

// Block number i (0..7) of an entry.
inline unsigned BlockNumber(const DirectoryEntry& e, int i) {
  return static_cast<unsigned>(e.Blocks[2 * i]) | (static_cast<unsigned>(e.Blocks[2 * i + 1]) << 8);
}

// Size of a file from its last entry: (Extent x 128 + Records) x 128 bytes.
inline std::uint32_t FileSizeFromEntry(const DirectoryEntry& e) {
  return (static_cast<std::uint32_t>(e.Extent) * 128u + e.Records) * kRecordSize;
}

// Start of disk d (from 1).
inline std::uint64_t DiskOffset(std::uint32_t disk) { return (static_cast<std::uint64_t>(disk) - 1) * kDiskSize; }

// Offset of directory slot k (0..127) of disk d.
inline std::uint64_t SlotOffset(std::uint32_t disk, std::uint32_t slot) {
  return DiskOffset(disk) + kDirectoryOffset + static_cast<std::uint64_t>(slot) * kEntrySize;
}

// File name of an entry: name and extension without trailing blanks (a zero
// byte ends either early), joined by "." when the extension is not empty,
// "/" turned into "@", letters A-Z lowered, other bytes kept as they stand.
// dst must hold kEntryNameSize bytes; an entry of blanks gives "".
void BuildEntryName(const DirectoryEntry& entry, char* dst);

// Track t, side s and sector r (1..5) of sector n counted from the directory.
void SectorToTrackSide(std::uint32_t n, std::uint32_t& t, std::uint32_t& s, std::uint32_t& r);

// Offset of the 1024-byte sector of disk d, track t, side s, sector r.
std::uint64_t SectorOffset(std::uint32_t d, std::uint32_t t, std::uint32_t s, std::uint32_t r);

// Reads one sector into a 1024-byte buffer, cleared first, so a sector beyond
// the end of the file reads as zeros. Returns the byte count read.
DWORD ReadSector(HANDLE image, std::uint32_t d, std::uint32_t t, std::uint32_t s, std::uint32_t r,
                 unsigned char* buffer);

// Moves the file pointer to a 64-bit offset.
bool SeekTo(HANDLE file, std::uint64_t offset);

// Reads up to `count` bytes at `offset`; false when the move or the read fails.
bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD count, DWORD& bytesRead);

// Reads a whole directory slot; false on a failed move, failed read or short read.
bool ReadSlot(HANDLE image, std::uint32_t disk, std::uint32_t slot, DirectoryEntry& entry);

// Disk count and size of one image, read through its handle.
struct ImageInfo {
  std::uint32_t diskCount = 0;
  std::uint64_t fileSize = 0;
};

// Reads size and disk count; false when either cannot be read in full.
bool ReadImageInfo(HANDLE image, ImageInfo& info);

// True when a file of `fileSize` bytes holds the (diskCount - 1) whole disks
// an image needs (its last disk may end early). A count of 0 never holds, and
// the product is 64-bit, so no count wraps round to a small size.
bool SizeHoldsDisks(std::uint64_t fileSize, std::uint32_t diskCount);

// Recognition of an open file: a nonzero disk count, at least (count - 1)
// whole disks, and a first directory slot on every disk that reads in full and
// is free, the folder marker, or a user 0-15 entry with Records <= 0x80 and
// S1 = S2 = 0.
bool CheckImage(HANDLE image);

// The module's IsImage: refuses when the host offered 132 bytes or fewer,
// otherwise opens the named file for reading and checks it.
int RecognizeImage(const char* fileName, int firstBytesSize);

}  // namespace hdd
