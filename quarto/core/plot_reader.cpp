#include "core/plot_reader.h"

#include "common/open_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarto {

namespace {

constexpr size_t kBlockSize = 256 * 1024;

// What one block read gave: the bytes read (fewer than asked at the end of the file) and the
// error number of a failing read (0 when none failed).
struct BlockRead {
  size_t got = 0;
  int error = 0;
};

// Reads up to want bytes at pos, retrying interrupted and partial reads.
BlockRead ReadBlock(int fd, uint8_t* dst, size_t want, uint64_t pos) {
  BlockRead r;
  while (r.got < want) {
    const ssize_t n = ::pread(fd, dst + r.got, want - r.got, static_cast<off_t>(pos + r.got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      r.error = errno ? errno : EIO;
      break;
    }
    if (n == 0) break;
    r.got += static_cast<size_t>(n);
  }
  return r;
}

}  // namespace

PlotReader::PlotReader(std::span<const uint8_t> memory)
    : size_(memory.size()),
      stamp_{memory.size(), 0},
      begin_(memory.data()),
      cur_(memory.data()),
      end_(memory.data() + memory.size()) {}

PlotReader PlotReader::OpenFile(const std::filesystem::path& path, Access access) {
  PlotReader r;
  // Only a regular file is opened, without waiting for a pipe's writer.
  common::Result<common::FileHandle> file = common::OpenRegularFile(path.string());
  if (!file) {
    const int e = file.error();
    if (e == EACCES || e == EPERM || e == EISDIR)
      throw PlotIoError(PlotIoError::Kind::AccessDenied, kTextFileAccessDenied);
    throw PlotIoError(PlotIoError::Kind::NotFound, kTextFileNotFound);
  }
  // The reader owns the handle from here on: the destructor closes it on every path.
  r.fd_ = file->release();
  struct stat st {};
  if (::fstat(r.fd_, &st) != 0) throw PlotIoError(PlotIoError::Kind::AccessDenied, kTextFileAccessDenied);
  r.size_ = static_cast<uint64_t>(st.st_size);
  r.stamp_ = FileStamp{r.size_, int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
  r.buffer_.resize(kBlockSize);
  // A walk from the start to the end: the kernel reads ahead of it (in a window twice its usual
  // size), so the next block is on its way while this one is walked. Only a hint: where it is
  // refused, the reads are the same.
  if (access == Access::Sequential) ::posix_fadvise(r.fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  r.Fill(0);
  return r;
}

PlotReader::PlotReader(PlotReader&& o) noexcept { *this = std::move(o); }

PlotReader& PlotReader::operator=(PlotReader&& o) noexcept {
  if (this == &o) return *this;
  Close();
  const bool own_buffer = o.fd_ >= 0;
  const size_t b = static_cast<size_t>(o.begin_ - (own_buffer ? o.buffer_.data() : o.begin_));
  const size_t c = static_cast<size_t>(o.cur_ - o.begin_);
  const size_t e = static_cast<size_t>(o.end_ - o.begin_);
  fd_ = o.fd_;
  size_ = o.size_;
  stamp_ = o.stamp_;
  block_pos_ = o.block_pos_;
  buffer_ = std::move(o.buffer_);
  begin_ = own_buffer ? buffer_.data() + b : o.begin_;
  cur_ = begin_ + c;
  end_ = begin_ + e;
  o.fd_ = -1;
  o.begin_ = o.cur_ = o.end_ = nullptr;
  o.size_ = 0;
  return *this;
}

PlotReader::~PlotReader() { Close(); }

void PlotReader::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void PlotReader::Fill(uint64_t pos) {
  if (pos > size_) pos = size_;
  block_pos_ = pos;
  begin_ = cur_ = end_ = buffer_.data();
  if (pos >= size_) return;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(kBlockSize, size_ - pos));
  const BlockRead got = ReadBlock(fd_, buffer_.data(), want, pos);
  if (got.got < want && got.error) throw PlotIoError(PlotIoError::Kind::ReadError, kTextReadError);
  // A file that shrank since it was opened simply ends earlier.
  if (got.got < want) size_ = pos + got.got;
  end_ = begin_ + got.got;
}

bool PlotReader::ReadSlow(void* dst, size_t n) {
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    size_t avail = static_cast<size_t>(end_ - cur_);
    if (avail == 0) {
      if (fd_ < 0 || Tell() >= size_) return false;
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
  if (fd_ >= 0) {
    Fill(pos);
  }
}

}  // namespace quarto
