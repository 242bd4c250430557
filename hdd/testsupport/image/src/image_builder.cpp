#include "hddtest/image_builder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace hddtest {

namespace {

// The layout written with its own numbers, never the module's constants, so that a wrong
// constant in the module cannot move the fixtures along with it.
constexpr std::uint64_t kFloppyDirectoryOffset = 0xA000;
constexpr std::uint64_t kDiskBytes = 803840;      // one disk: 785 sectors of 1024 bytes
constexpr std::uint64_t kDirectoryStart = 41984;  // a disk's directory: 41 sectors of 1024 bytes in
constexpr std::uint64_t kCountOffset = 132;       // the 16-bit disk count
constexpr std::uint32_t kSlots = 128;             // directory slots of a disk
constexpr std::size_t kSlotBytes = 32;            // one directory entry
constexpr std::size_t kBlockBytes = 2048;
constexpr std::size_t kRecordBytes = 128;
constexpr std::uint8_t kFree = 0xE5;
constexpr std::uint8_t kContinues = 0x80;
// Blocks 0 to 371 fill a disk from its directory on; 0 and 1 are the directory.
constexpr std::size_t kBlocksPerDisk = (kDiskBytes - kDirectoryStart) / kBlockBytes;
static_assert(kBlocksPerDisk == 372);

void PadInto(std::uint8_t* dst, std::string_view src, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) dst[i] = i < src.size() ? static_cast<std::uint8_t>(src[i]) : 0x20;
}

}  // namespace

RawEntry MakeEntry(std::uint8_t user, std::string_view name, std::string_view ext, std::uint8_t extent,
                   std::uint8_t records, std::vector<std::uint16_t> blocks, std::uint8_t s1, std::uint8_t s2) {
  if (name.size() > 8 || ext.size() > 3 || blocks.size() > 8) throw std::invalid_argument("entry field too long");
  RawEntry e{};
  e[0] = user;
  PadInto(&e[1], name, 8);
  PadInto(&e[9], ext, 3);
  e[12] = extent;
  e[13] = s1;
  e[14] = s2;
  e[15] = records;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    e[16 + 2 * i] = static_cast<std::uint8_t>(blocks[i] & 0xFF);
    e[17 + 2 * i] = static_cast<std::uint8_t>(blocks[i] >> 8);
  }
  return e;
}

std::uint64_t SlotOffsetOf(std::uint32_t disk, std::uint32_t slot) {
  return (disk - 1) * kDiskBytes + kDirectoryStart + std::uint64_t{slot} * kSlotBytes;
}

Bytes PatternBytes(std::size_t size, std::uint8_t seed) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251);
  return b;
}

ImageBuilder::ImageBuilder(std::uint32_t disks, bool freeDirectories)
    : disks_(disks), size_(static_cast<std::uint64_t>(disks) * kDiskBytes), nextSlot_(disks, 0), nextBlock_(disks, 2) {
  SetDiskCountField(static_cast<std::uint16_t>(disks));
  if (freeDirectories) {
    const Bytes freeDir(kSlots * kSlotBytes, kFree);
    for (std::uint32_t d = 1; d <= disks; ++d) WriteBytes(SlotOffsetOf(d, 0), freeDir);
  }
}

void ImageBuilder::SetDiskCountField(std::uint16_t value) {
  WriteBytes(kCountOffset, Bytes{static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)});
}

void ImageBuilder::WriteBytes(std::uint64_t offset, const Bytes& bytes) { writes_.emplace_back(offset, bytes); }

void ImageBuilder::SetSlot(std::uint32_t disk, std::uint32_t slot, const RawEntry& entry) {
  if (disk < 1 || disk > disks_ || slot >= kSlots) throw std::out_of_range("slot outside the image");
  WriteBytes(SlotOffsetOf(disk, slot), Bytes(entry.begin(), entry.end()));
  nextSlot_[disk - 1] = std::max(nextSlot_[disk - 1], slot + 1);
}

std::vector<std::uint32_t> ImageBuilder::AddFile(std::uint32_t disk, std::uint8_t user, std::string_view nameExt,
                                                 const Bytes& data, Layout layout) {
  if (disk < 1 || disk > disks_) throw std::out_of_range("disk outside the image");
  const std::size_t dot = nameExt.rfind('.');
  const std::string_view name = dot == std::string_view::npos ? nameExt : nameExt.substr(0, dot);
  const std::string_view ext = dot == std::string_view::npos ? std::string_view() : nameExt.substr(dot + 1);

  const std::size_t records = (data.size() + kRecordBytes - 1) / kRecordBytes;
  const std::size_t blockCount = (data.size() + kBlockBytes - 1) / kBlockBytes;
  // One entry per 128 records. MicroDOS gives a size that fills its last entry
  // exactly one more entry with Records 0, since 0x80 means "continues";
  // cpmtools ends such a file with the full entry.
  const std::size_t entries = layout == Layout::CpmTools && records > 0 ? (records + 127) / 128 : records / 128 + 1;
  // Refuse before writing anything what MicroDOS could not store: blocks
  // past the disk's last one would land in the next disk.
  if (nextBlock_[disk - 1] + blockCount > kBlocksPerDisk)
    throw std::invalid_argument("disk full: no room for the file's blocks");
  if (nextSlot_[disk - 1] + entries > kSlots)
    throw std::invalid_argument("directory full: no slots for the file's entries");

  std::vector<std::uint16_t> blocks;
  for (std::size_t i = 0; i < blockCount; ++i) {
    const std::uint32_t b = nextBlock_[disk - 1]++;
    blocks.push_back(static_cast<std::uint16_t>(b));
    const std::size_t from = i * kBlockBytes;
    const std::size_t len = std::min<std::size_t>(kBlockBytes, data.size() - from);
    WriteBytes((disk - 1) * kDiskBytes + kDirectoryStart + static_cast<std::uint64_t>(b) * kBlockBytes,
               Bytes(data.begin() + static_cast<std::ptrdiff_t>(from),
                     data.begin() + static_cast<std::ptrdiff_t>(from + len)));
  }

  std::vector<std::uint32_t> slots;
  for (std::size_t e = 0; e < entries; ++e) {
    const bool last = e + 1 == entries;
    const std::uint8_t recs = last ? static_cast<std::uint8_t>(records - 128 * e) : kContinues;
    std::vector<std::uint16_t> part;
    for (std::size_t i = e * 8; i < std::min(blocks.size(), e * 8 + 8); ++i) part.push_back(blocks[i]);
    const std::uint32_t slot = nextSlot_[disk - 1];
    SetSlot(disk, slot, MakeEntry(user, name, ext, static_cast<std::uint8_t>(e), recs, part));
    slots.push_back(slot);
  }
  return slots;
}

void ImageBuilder::AddFloppy(std::uint32_t disk, const Bytes& floppy) {
  if (disk < 1 || disk > disks_) throw std::out_of_range("disk outside the image");
  if (floppy.size() <= kFloppyDirectoryOffset) throw std::invalid_argument("floppy image too short");
  // The whole data region, up to the 785 sectors that lie between one disk's
  // directory and the next one's; the image grows to hold the last disk's.
  const std::size_t room = kDiskBytes;
  const std::size_t len = std::min<std::size_t>(room, floppy.size() - kFloppyDirectoryOffset);
  const std::uint64_t at = SlotOffsetOf(disk, 0);
  WriteBytes(at, Bytes(floppy.begin() + kFloppyDirectoryOffset,
                       floppy.begin() + static_cast<std::ptrdiff_t>(kFloppyDirectoryOffset + len)));
  size_ = std::max<std::uint64_t>(size_, at + len);
  nextSlot_[disk - 1] = kSlots;
}

Bytes ImageBuilder::ToBytes() const {
  Bytes image(size_, 0);
  for (const auto& [offset, bytes] : writes_) {
    for (std::size_t i = 0; i < bytes.size() && offset + i < size_; ++i) image[offset + i] = bytes[i];
  }
  return image;
}

bool ImageBuilder::Save(const std::string& path) const {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ftruncate(fd, static_cast<off_t>(size_)) == 0;
  for (const auto& [offset, bytes] : writes_) {
    if (!ok || offset >= size_) continue;
    const std::size_t len = static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), size_ - offset));
    ok = pwrite(fd, bytes.data(), len, static_cast<off_t>(offset)) == static_cast<ssize_t>(len);
  }
  return close(fd) == 0 && ok;
}

Bytes ReadFileBytes(const std::string& path, std::uint64_t offset, std::size_t count) {
  std::ifstream in(path, std::ios::binary);
  Bytes out(count);
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
  out.resize(in ? count : static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return out;
}

Bytes ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace hddtest
