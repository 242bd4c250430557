#include "common/file_facts.h"

#include <cerrno>

#include <sys/stat.h>

namespace common {

Result<FileFacts> StatFile(const std::string& path, bool describeDanglingLink) {
  struct stat st {};
  if (path.empty()) return Status::Failed(ENOENT);
  if (::stat(path.c_str(), &st) != 0) {
    const int e = errno;
    if (!describeDanglingLink || ::lstat(path.c_str(), &st) != 0) return Status::Failed(e);
  }
  FileFacts f;
  f.directory = S_ISDIR(st.st_mode);
  f.readOnly = (st.st_mode & S_IWUSR) == 0;
  f.size = f.directory ? 0 : static_cast<std::uint64_t>(st.st_size);
  f.modified = st.st_mtim;
  f.device = st.st_dev;
  f.inode = st.st_ino;
  return f;
}

bool SameFile(const std::string& a, const std::string& b) {
  const Result<FileFacts> fa = StatFile(a), fb = StatFile(b);
  return fa && fb && fa->device == fb->device && fa->inode == fb->inode;
}

}  // namespace common
