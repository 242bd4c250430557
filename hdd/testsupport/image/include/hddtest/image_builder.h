// Builds MicroDOS hard-disk images for tests and for the mkhdd tool.
//
// The builder records writes (offset, bytes) in order and replays them onto a
// file of the chosen size, so an image of hundreds of disks stays sparse on
// disk and small in memory. Each disk's directory starts out free (0xE5) unless
// asked otherwise; files get blocks from 2 upward and entries in the next free
// slots of their disk.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hddtest {

using Bytes = std::vector<std::uint8_t>;
using RawEntry = std::array<std::uint8_t, 32>;

// A 32-byte entry. name and ext are padded with blanks to 8 and 3 bytes (any
// bytes, zero and bit-7 bytes included, are taken as they stand).
RawEntry MakeEntry(std::uint8_t user, std::string_view name, std::string_view ext, std::uint8_t extent,
                   std::uint8_t records, std::vector<std::uint16_t> blocks = {}, std::uint8_t s1 = 0,
                   std::uint8_t s2 = 0);

// File offset of directory slot k (0..127) of disk d (from 1), from the builder's own
// numbers: (d - 1) x 803840 + 41984 + 32 k.
std::uint64_t SlotOffsetOf(std::uint32_t disk, std::uint32_t slot);

// Content of a synthetic file: byte i is (i * 7 + seed) mod 251.
Bytes PatternBytes(std::size_t size, std::uint8_t seed = 0);

// How a file's last entry is written when its size fills whole 16 KB entries.
enum class Layout {
  // MicroDOS: one more entry with Records 0 after the last full one, since 0x80
  // means "continues".
  MicroDos,
  // cpmtools and CP/M 2.2: no further entry; every entry of the file has
  // Records 0x80 and the one of the highest extent number is the last.
  CpmTools,
};

class ImageBuilder {
 public:
  explicit ImageBuilder(std::uint32_t disks, bool freeDirectories = true);

  std::uint32_t Disks() const { return disks_; }

  // The raw 16-bit value at offset 132 (the disk count by default).
  void SetDiskCountField(std::uint16_t value);

  // Raw bytes at a file offset.
  void WriteBytes(std::uint64_t offset, const Bytes& bytes);

  // Raw 32-byte directory slot k (0..127) of disk d.
  void SetSlot(std::uint32_t disk, std::uint32_t slot, const RawEntry& entry);

  // A file of `data`: blocks allocated on the disk, entries with Extent and
  // Records as `layout` writes them (Records 0x80 for a full entry; with
  // Layout::MicroDos an extra Records-0 entry when the size is a positive
  // multiple of 16 KB). "NAME.EXT" is split at the last "." and padded.
  // Returns the slots used. Throws, changing nothing, when the disk's blocks
  // or directory slots cannot hold the file.
  std::vector<std::uint32_t> AddFile(std::uint32_t disk, std::uint8_t user, std::string_view nameExt, const Bytes& data,
                                     Layout layout = Layout::MicroDos);

  // A MicroDOS floppy image's directory and data region (from offset 0xA000)
  // as disk d: all of it, up to the 785 sectors before the next disk's
  // directory. The image grows when the last disk's region reaches past it.
  void AddFloppy(std::uint32_t disk, const Bytes& floppy);

  // The next slot AddFile would use on a disk.
  std::uint32_t NextSlot(std::uint32_t disk) const { return nextSlot_.at(disk - 1); }

  // File size (default: whole disks); smaller truncates, larger extends.
  void SetSize(std::uint64_t size) { size_ = size; }
  std::uint64_t Size() const { return size_; }

  // The image in memory (for small images).
  Bytes ToBytes() const;
  // Writes the image, sparse where nothing was written; false on failure.
  bool Save(const std::string& path) const;

 private:
  std::uint32_t disks_;
  std::uint64_t size_;
  std::vector<std::pair<std::uint64_t, Bytes>> writes_;
  std::vector<std::uint32_t> nextSlot_;
  std::vector<std::uint32_t> nextBlock_;
};

// Reads `count` bytes at `offset` of a file (fewer at its end).
Bytes ReadFileBytes(const std::string& path, std::uint64_t offset, std::size_t count);
// A whole file, or empty when it cannot be read.
Bytes ReadWholeFile(const std::string& path);

}  // namespace hddtest
