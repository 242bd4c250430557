#include "common/open_file.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/faults.h"

namespace common {

namespace {

constexpr const char* kNotRegular = "not a regular file";

Status NotRegular(const struct stat& st) {
  return S_ISDIR(st.st_mode) ? Status::Failed(EISDIR) : Status::Failed(EACCES, kNotRegular);
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.release();
  }
  return *this;
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

Result<FileHandle> OpenRegularFile(const std::string& path, const OpenOptions& options) {
  if (path.empty()) return Status::Failed(ENOENT);
  const bool writes = options.access != Access::Read;
  if (options.truncate && !writes) return Status::Failed(EINVAL);
  int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  flags |= options.access == Access::Read ? O_RDONLY : (options.access == Access::Write ? O_WRONLY : O_RDWR);
  if (options.create) flags |= O_CREAT;
  if (options.create && options.exclusive) flags |= O_EXCL;
  if (!options.followLinks) flags |= O_NOFOLLOW;
  if ((writes || options.create) && faults::CreateIsDenied(path.c_str())) return Status::Failed(EACCES);
  int fd;
  do {
    fd = ::open(path.c_str(), flags, options.mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    // A FIFO without a reader, opened for writing, and a device without its hardware.
    if (errno == ENXIO) return Status::Failed(EACCES, kNotRegular);
    return Status::Failed(errno);
  }
  FileHandle file(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Status::Failed(errno);
  if (!S_ISREG(st.st_mode)) return NotRegular(st);
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl < 0 || ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) return Status::Failed(errno);
  if (options.truncate && ::ftruncate(fd, 0) != 0) return Status::Failed(errno);
  return file;
}

Status WriteAll(int fd, const void* bytes, std::size_t count) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  const faults::WriteFault fault = faults::CheckWrite(fd, count);
  const std::size_t allowed = fault.fail ? fault.allowed : count;
  std::size_t done = 0;
  while (done < allowed) {
    const ssize_t n = ::write(fd, p + done, allowed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Failed(errno);
    if (n == 0) return Status::Failed(EIO);
    done += static_cast<std::size_t>(n);
  }
  if (fault.kill) ::raise(SIGKILL);
  if (fault.fail) return Status::Failed(ENOSPC);
  return {};
}

}  // namespace common
