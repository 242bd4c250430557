#pragma once
// The hard-disk image a fuzz input stands for. A real image is hundreds of kilobytes of mostly
// empty disk space, so the input holds only what the module reads and the image is laid out
// sparsely around it:
//   byte 0       bits 0-1: directories given (1 to 4); bits 2-7: bytes cut off the end of the file
//   bytes 1-2    the 16-bit disk count, little-endian, stored at offset 132
//   then         4096 bytes of directory for each disk given (disk 1 first), shorter for the last
//   the rest     disk 1's data blocks, from block 2 on
// The file holds exactly the disks whose directories were given, less the bytes cut off.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

inline constexpr uint64_t kHddDiskSize = 803840;
inline constexpr uint64_t kHddDirectoryOffset = 41984;
inline constexpr uint64_t kHddDirectorySize = 4096;

// Writes the image the input stands for to path; false when the input is too short.
inline bool WriteHddImage(const std::string& path, const uint8_t* data, size_t size) {
  if (size < 3) return false;
  const unsigned disks = (data[0] & 3u) + 1;
  const unsigned cut = data[0] >> 2;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  bool ok = ::pwrite(fd, data + 1, 2, 132) == 2;
  size_t at = 3;
  for (unsigned d = 0; d < disks && at < size; ++d) {
    const size_t n = std::min<size_t>(kHddDirectorySize, size - at);
    ok = ok && ::pwrite(fd, data + at, n, static_cast<off_t>(d * kHddDiskSize + kHddDirectoryOffset)) ==
                   static_cast<ssize_t>(n);
    at += n;
  }
  if (at < size) {
    const size_t n = size - at;
    ok = ok && ::pwrite(fd, data + at, n, static_cast<off_t>(kHddDirectoryOffset + kHddDirectorySize)) ==
                   static_cast<ssize_t>(n);
  }
  const uint64_t length =
      std::max<uint64_t>(disks * kHddDiskSize, kHddDirectoryOffset + kHddDirectorySize + (at < size ? size - at : 0)) -
      cut;
  ok = ok && ::ftruncate(fd, static_cast<off_t>(length)) == 0;
  ::close(fd);
  return ok;
}

// The input for an image: directories of the disks given (each padded or cut to 4096 bytes),
// then disk 1's data blocks.
inline std::vector<uint8_t> HddImageInput(uint16_t count, const std::vector<std::vector<uint8_t>>& directories,
                                          const std::vector<uint8_t>& data, unsigned cut = 0) {
  std::vector<uint8_t> in;
  in.push_back(static_cast<uint8_t>(((directories.size() - 1) & 3u) | (cut << 2)));
  in.push_back(static_cast<uint8_t>(count & 0xFF));
  in.push_back(static_cast<uint8_t>(count >> 8));
  for (const auto& dir : directories) {
    std::vector<uint8_t> d = dir;
    d.resize(kHddDirectorySize, 0xE5);
    in.insert(in.end(), d.begin(), d.end());
  }
  in.insert(in.end(), data.begin(), data.end());
  return in;
}

}  // namespace fuzz
