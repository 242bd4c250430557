#include "core/bytesource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "core/error.h"

namespace brindle {

namespace fs = std::filesystem;

std::size_t MemorySource::readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) {
  if (offset >= data_.size()) return 0;
  const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, data_.size() - offset));
  std::memcpy(dst, data_.data() + offset, count);
  return count;
}

FileSource::FileSource(const fs::path& file, const std::string& title) : file_(OpenRegularFile(file, title)) {
  struct stat st {};
  if (::fstat(file_.fd(), &st) != 0)
    throw Error(title, "Cannot read \"" + file.string() + "\": " + std::strerror(errno) + ".");
  size_ = static_cast<std::uint64_t>(st.st_size);
}

std::size_t FileSource::readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) {
  if (offset >= size_ || n == 0) return 0;
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(file_.fd(), dst + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t SequentialReader::read(std::uint8_t* dst, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    if (at_ == have_) {
      have_ = source_.readAt(pos_, buffer_, sizeof buffer_);
      at_ = 0;
      pos_ += have_;
      if (have_ == 0) break;
    }
    const std::size_t count = std::min(n - done, have_ - at_);
    std::memcpy(dst + done, buffer_ + at_, count);
    at_ += count;
    done += count;
  }
  return done;
}

bool SequentialReader::next(std::uint8_t& b) {
  if (at_ < have_) {
    b = buffer_[at_++];
    return true;
  }
  return read(&b, 1) == 1;
}

}  // namespace brindle
