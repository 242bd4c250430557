#include "common/replace_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/faults.h"
#include "common/open_file.h"

namespace common {

namespace {

constexpr int kMaxLinkHops = 40;

// The last name of a chain of symbolic links (the name itself when it is no link).
Result<std::string> FollowLinks(std::string name) {
  for (int hop = 0;; ++hop) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    if (hop == kMaxLinkHops) return Status::Failed(ELOOP);
    std::string to(static_cast<std::size_t>(st.st_size) + 1, '\0');
    const ssize_t n = ::readlink(name.c_str(), to.data(), to.size());
    if (n < 0) return Status::Failed(errno);
    to.resize(static_cast<std::size_t>(n));
    const std::size_t slash = name.rfind('/');
    name = to.starts_with('/') || slash == std::string::npos ? to : name.substr(0, slash + 1) + to;
  }
}

// Creates the missing folders of `folder`, as mkdir -p does.
Status MakeFolders(const std::string& folder) {
  std::string at;
  for (std::size_t i = 0; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '/') continue;
    at = folder.substr(0, i);
    if (at.empty()) continue;
    if (faults::FolderIsDenied(at.c_str()) && ::access(at.c_str(), F_OK) != 0) return Status::Failed(EACCES);
    if (::mkdir(at.c_str(), 0777) != 0 && errno != EEXIST) return Status::Failed(errno);
  }
  return {};
}

// Refuses what must not be replaced: anything but a regular file, and a protected one.
Status CheckTarget(int folder, const std::string& name, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return Status::Failed(EISDIR);
  if (!S_ISREG(st.st_mode)) return Status::Failed(EACCES, "not a regular file");
  if (::geteuid() == 0) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return Status::Failed(EACCES);
  } else if (::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0) {
    return Status::Failed(errno);
  }
  return {};
}

// The old file's owner, group and mode on the new one. Owner and group are kept where the
// process may set them; the mode comes after, since a change of owner clears set-id bits.
Status KeepOwnerAndMode(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  if (::fchmod(fd, old.st_mode & 07777) != 0) return Status::Failed(errno);
  return {};
}

// An unnamed file in the folder, or none (-1) where the file system has none.
Result<FileHandle> OpenUnnamed(int folder, const std::string& folderPath, mode_t mode) {
  if (faults::TmpfileIsDenied(folderPath.c_str())) return FileHandle();
  const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd >= 0) return FileHandle(fd);
  if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return FileHandle();
  return Status::Failed(errno);
}

// Gives the unnamed file `fd` the name `temp` in the folder.
Status LinkIn(int fd, int folder, const std::string& temp) {
  char self[64];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, self, folder, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
  const int e = errno;
  // Without /proc, only a process allowed to link by descriptor gets there.
  if (::linkat(fd, "", folder, temp.c_str(), AT_EMPTY_PATH) == 0) return {};
  return Status::Failed(e);
}

Status SyncFolder(int folder) {
  // File systems that cannot sync a folder (EINVAL) have nothing to sync.
  if (::fsync(folder) != 0 && errno != EINVAL) return Status::Failed(errno);
  return {};
}

class Replacement {
 public:
  Replacement(std::string folderPath, std::string name)
      : folderPath_(std::move(folderPath)), name_(std::move(name)), temp_(TemporaryNameFor(name_)) {}
  ~Replacement() {
    if (named_) ::unlinkat(folder_.fd(), temp_.c_str(), 0);
  }

  Status Run(std::string_view bytes, const ReplaceOptions& options) {
    const std::string target = folderPath_ + "/" + name_;
    int fd = ::open(folderPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && options.makeFolders) {
      if (Status made = MakeFolders(folderPath_); !made) return made;
      fd = ::open(folderPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (fd < 0) return Status::Failed(errno);
    folder_ = FileHandle(fd);

    struct stat old {};
    const bool exists = ::fstatat(folder_.fd(), name_.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) return Status::Failed(errno);
    if (exists)
      if (Status allowed = CheckTarget(folder_.fd(), name_, old); !allowed) return allowed;
    if (faults::CreateIsDenied(target.c_str())) return Status::Failed(EACCES);

    // What a save killed before its rename left.
    ::unlinkat(folder_.fd(), temp_.c_str(), 0);
    Result<FileHandle> file = OpenUnnamed(folder_.fd(), folderPath_, 0666);
    if (!file) return file.status();
    const bool unnamed = file->fd() >= 0;
    if (!unnamed) {
      const int named =
          ::openat(folder_.fd(), temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (named < 0) return Status::Failed(errno);
      file = FileHandle(named);
      named_ = true;
    }
    const int out = file->fd();
    if (exists)
      if (Status kept = KeepOwnerAndMode(out, old); !kept) return kept;
    if (Status written = WriteAll(out, bytes.data(), bytes.size()); !written) return written;
    // The data reaches the disk before a name points at it: after a crash the target holds
    // the old content or the new, never an empty or partly written file.
    if (::fsync(out) != 0) return Status::Failed(errno);
    if (unnamed) {
      if (Status linked = LinkIn(out, folder_.fd(), temp_); !linked) return linked;
      named_ = true;
    }
    if (::close(file->release()) != 0) return Status::Failed(errno);
    if (::renameat(folder_.fd(), temp_.c_str(), folder_.fd(), name_.c_str()) != 0) return Status::Failed(errno);
    named_ = false;
    // The rename itself lasts only once the folder is synced.
    return SyncFolder(folder_.fd());
  }

 private:
  std::string folderPath_;
  std::string name_;
  std::string temp_;
  FileHandle folder_;
  bool named_ = false;  // the hidden name exists and is ours to remove
};

}  // namespace

std::string TemporaryNameFor(std::string_view fileName) {
  // FNV-1a of the name: the same file gets the same hidden name at every save.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : fileName) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  char name[48];
  std::snprintf(name, sizeof name, ".desktools-save-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

Status ReplaceFile(const std::string& path, std::string_view bytes, const ReplaceOptions& options) {
  if (path.empty()) return Status::Failed(ENOENT);
  Result<std::string> last = FollowLinks(path);
  if (!last) return last.status();
  const std::string& target = last.value();
  const std::size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) return Status::Failed(EISDIR);
  return Replacement(std::move(folder), std::move(name)).Run(bytes, options);
}

}  // namespace common
