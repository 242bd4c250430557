// Opening a file only when it is a regular file.
//
// The name is opened first, with O_NONBLOCK and O_NOCTTY, so that a FIFO without a writer
// or a terminal device cannot hold or take over the caller, and the type is then checked on
// the descriptor itself: there is no window between a check by name and the open in which
// the name could be swapped. A truncating open truncates only after that check, so a
// device or FIFO is never truncated. Opening for writing or creating obeys the fault
// switch (common/faults.h).
#pragma once

#include <sys/types.h>

#include <string>

#include "common/status.h"

namespace common {

// An open descriptor, closed when the handle goes.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  int fd() const { return fd_; }
  // Hands the descriptor over; the handle no longer closes it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

enum class Access { Read, Write, ReadWrite };

struct OpenOptions {
  Access access = Access::Read;
  bool create = false;      // make the file when it is missing, with `mode` (less the umask)
  bool exclusive = false;   // with create: fail with EEXIST when the name exists
  bool truncate = false;    // empty the file (needs Write or ReadWrite)
  bool followLinks = true;  // false: a symbolic link as the last component fails (ELOOP)
  mode_t mode = 0666;
};

// Opens `path` when it is a regular file; the descriptor is blocking again when returned.
// A folder fails with EISDIR, any other file that is not regular (FIFO, device, socket)
// with EACCES and the reason "not a regular file"; every other failure carries the
// system's error number and text.
Result<FileHandle> OpenRegularFile(const std::string& path, const OpenOptions& options = {});

// Writes all of `bytes`, over short and interrupted writes, obeying the fault switch.
Status WriteAll(int fd, const void* bytes, std::size_t count);

}  // namespace common
