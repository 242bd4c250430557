#include "core/plot_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarto {

namespace {
constexpr size_t kBlockSize = 256 * 1024;
}

PlotReader::PlotReader(std::span<const uint8_t> memory)
    : size_(memory.size()),
      stamp_{memory.size(), 0},
      begin_(memory.data()),
      cur_(memory.data()),
      end_(memory.data() + memory.size()) {}

PlotReader PlotReader::OpenFile(const std::filesystem::path& path) {
  PlotReader r;
  // Opened without blocking, so a pipe with no writer cannot hold the program; what is no
  // regular file is refused before anything is read from it.
  errno = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM || errno == EISDIR || errno == ENXIO)
      throw PlotIoError(PlotIoError::Kind::AccessDenied, kTextFileAccessDenied);
    throw PlotIoError(PlotIoError::Kind::NotFound, kTextFileNotFound);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw PlotIoError(PlotIoError::Kind::AccessDenied, kTextFileAccessDenied);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  r.file_ = ::fdopen(fd, "rb");
  if (!r.file_) {
    ::close(fd);
    throw PlotIoError(PlotIoError::Kind::ReadError, kTextReadError);
  }
  // The reader owns the handle from here on: the destructor closes it on every path.
  r.size_ = static_cast<uint64_t>(st.st_size);
  r.stamp_ = FileStamp{r.size_, int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
  r.buffer_.resize(kBlockSize);
  r.Fill(0);
  return r;
}

PlotReader::PlotReader(PlotReader&& o) noexcept { *this = std::move(o); }

PlotReader& PlotReader::operator=(PlotReader&& o) noexcept {
  if (this == &o) return *this;
  if (file_) std::fclose(file_);
  const bool own_buffer = o.file_ != nullptr;
  const size_t b = static_cast<size_t>(o.begin_ - (own_buffer ? o.buffer_.data() : o.begin_));
  const size_t c = static_cast<size_t>(o.cur_ - o.begin_);
  const size_t e = static_cast<size_t>(o.end_ - o.begin_);
  file_ = o.file_;
  size_ = o.size_;
  stamp_ = o.stamp_;
  block_pos_ = o.block_pos_;
  buffer_ = std::move(o.buffer_);
  begin_ = own_buffer ? buffer_.data() + b : o.begin_;
  cur_ = begin_ + c;
  end_ = begin_ + e;
  o.file_ = nullptr;
  o.begin_ = o.cur_ = o.end_ = nullptr;
  o.size_ = 0;
  return *this;
}

PlotReader::~PlotReader() {
  if (file_) std::fclose(file_);
}

void PlotReader::Fill(uint64_t pos) {
  if (pos > size_) pos = size_;
  block_pos_ = pos;
  begin_ = cur_ = end_ = buffer_.data();
  if (pos >= size_) return;
  if (std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0)
    throw PlotIoError(PlotIoError::Kind::ReadError, kTextReadError);
  const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), size_ - pos));
  const size_t got = std::fread(buffer_.data(), 1, want, file_);
  if (got < want && std::ferror(file_)) throw PlotIoError(PlotIoError::Kind::ReadError, kTextReadError);
  // A file that shrank since it was opened simply ends earlier.
  if (got < want) size_ = pos + got;
  end_ = begin_ + got;
}

bool PlotReader::ReadSlow(void* dst, size_t n) {
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    size_t avail = static_cast<size_t>(end_ - cur_);
    if (avail == 0) {
      if (!file_ || Tell() >= size_) return false;
      Fill(Tell());
      avail = static_cast<size_t>(end_ - cur_);
      if (avail == 0) return false;
    }
    const size_t take = std::min(avail, n);
    if (out) {
      std::memcpy(out, cur_, take);
      out += take;
    }
    cur_ += take;
    n -= take;
  }
  return true;
}

bool PlotReader::PeekSlow(void* dst, size_t n) {
  const uint64_t at = Tell();
  if (at + n > size_) return false;
  const bool ok = Read(dst, n);
  Seek(at);
  return ok;
}

void PlotReader::Seek(uint64_t pos) {
  if (pos > size_) pos = size_;
  if (pos >= block_pos_ && pos <= block_pos_ + static_cast<uint64_t>(end_ - begin_)) {
    cur_ = begin_ + (pos - block_pos_);
    return;
  }
  if (file_) {
    Fill(pos);
  }
}

}  // namespace quarto
