#include "common/read_file.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace common {

Result<FileBytes> ReadFile(const std::string& path, std::size_t maxBytes) {
  const Result<FileHandle> file = OpenRegularFile(path);
  if (!file) return file.status();
  return ReadFile(file.value(), maxBytes);
}

Result<FileBytes> ReadFile(const FileHandle& file, std::size_t maxBytes) {
  const int fd = file.fd();
  FileBytes out;
  char chunk[65536];
  for (;;) {
    const std::size_t want = std::min(sizeof chunk, maxBytes - out.bytes.size());
    // One byte past the limit tells whether the file goes on.
    const ssize_t n = ::read(fd, chunk, want == 0 ? 1 : want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Failed(errno);
    if (n == 0) break;
    if (want == 0) {
      struct stat st {};
      const std::uint64_t size = ::fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
      out.size = std::max<std::uint64_t>(size, std::uint64_t{maxBytes} + 1);
      return out;
    }
    out.bytes.append(chunk, static_cast<std::size_t>(n));
  }
  out.size = out.bytes.size();
  return out;
}

}  // namespace common
