#include "core/fileio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/error.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

std::string Reason() { return std::strerror(errno); }

std::string Quoted(const fs::path& file) { return "\"" + file.string() + "\""; }

// The file a name stands for when it is a symbolic link (a chain of links is followed to
// its end); the name itself otherwise. A dangling link gives the file it would create.
fs::path LinkTarget(const fs::path& name, const std::string& title) {
  fs::path file = name;
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
    if (hops == 40) throw Error(title, "Cannot write " + Quoted(name) + ": too many levels of symbolic links.");
    const fs::path next = fs::read_symlink(file, ec);
    if (ec) throw Error(title, "Cannot read the link " + Quoted(file) + ": " + ec.message() + ".");
    file = next.is_absolute() ? next : file.parent_path() / next;
  }
}

// Syncs a folder's entries to the disk. File systems that cannot sync a folder (EINVAL)
// count as done. False with errno set on failure.
bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return synced;
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const fs::path& file, std::size_t maxSize, const std::string& title) {
  FileHead head = ReadFileHead(file, maxSize, title);
  if (head.length > maxSize)
    throw Error(title, "The file " + Quoted(file) + " is too long (more than " + std::to_string(maxSize) + " bytes).");
  return std::move(head.data);
}

FilePtr OpenRegularFile(const fs::path& file, const std::string& title) {
  // Only regular files are read: a pipe or a device would block or never end.
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  if (fs::is_directory(status)) throw Error(title, "Cannot open " + Quoted(file) + ": it is a folder.");
  if (fs::exists(status) && !fs::is_regular_file(status))
    throw Error(title, "Cannot open " + Quoted(file) + ": it is not a regular file.");
  FilePtr f(std::fopen(file.c_str(), "rb"));
  if (!f) throw Error(title, "Cannot open " + Quoted(file) + ": " + Reason() + ".");
  return f;
}

FileHead ReadFileHead(const fs::path& file, std::size_t maxSize, const std::string& title) {
  FilePtr f = OpenRegularFile(file, title);
  FileHead head;
  std::uint8_t chunk[16384];
  while (head.data.size() < maxSize) {
    const std::size_t n = std::fread(chunk, 1, std::min(sizeof chunk, maxSize - head.data.size()), f.get());
    head.data.insert(head.data.end(), chunk, chunk + n);
    if (n == 0 || std::ferror(f.get())) break;
  }
  if (std::ferror(f.get())) throw Error(title, "Cannot read " + Quoted(file) + ": " + Reason() + ".");
  head.length = head.data.size();
  // Whatever lies beyond maxSize is only measured.
  if (head.data.size() == maxSize && std::fgetc(f.get()) != EOF) {
    struct stat st {};
    const std::uintmax_t size = fstat(fileno(f.get()), &st) == 0 ? static_cast<std::uintmax_t>(st.st_size) : 0;
    head.length = std::max<std::uintmax_t>(size, maxSize + std::uintmax_t{1});
  }
  return head;
}

void ReplaceFile(const fs::path& name, std::span<const std::uint8_t> data, const std::string& title) {
  static std::atomic<unsigned> counter{0};
  // A symbolic link stays a link: the file it points to gets the new content, and the
  // temporary file is made beside that file so that the rename stays within its folder.
  const fs::path file = LinkTarget(name, title);
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  fs::path temp;
  FilePtr f;
  for (int attempt = 0; attempt < 100 && !f; ++attempt) {
    // A short hidden name, so that it fits wherever the target's name fits.
    temp = folder / (".brindle-" + std::to_string(stamp % 1000000007ull) + "-" + std::to_string(counter++) + ".tmp");
    f.reset(std::fopen(temp.c_str(), "wbx"));
    if (!f && errno != EEXIST) break;
  }
  if (!f) throw Error(title, "Cannot create a file in the folder " + Quoted(folder) + ": " + Reason() + ".");

  auto fail = [&](const std::string& what) {
    const std::string reason = Reason();
    f.reset();
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw Error(title, "Cannot " + what + " " + Quoted(name) + ": " + reason + ".");
  };
  if (!data.empty() && std::fwrite(data.data(), 1, data.size(), f.get()) != data.size()) fail("write");
  if (std::fflush(f.get()) != 0) fail("write");
  // The data reaches the disk before the name points at it: after a crash the name gives
  // either the old content or the new, never an empty or partly written file.
  if (::fsync(::fileno(f.get())) != 0) fail("write");
  if (std::fclose(f.release()) != 0) {
    const std::string reason = Reason();
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw Error(title, "Cannot write " + Quoted(name) + ": " + reason + ".");
  }
  std::error_code ec;
  const auto status = fs::status(file, ec);
  if (!ec && fs::is_regular_file(status)) fs::permissions(temp, status.permissions(), ec);
  fs::rename(temp, file, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw Error(title, "Cannot replace " + Quoted(name) + ": " + ec.message() + ".");
  }
  // The rename itself is durable only once the folder is synced.
  if (!SyncFolder(folder))
    throw Error(title, "The file " + Quoted(name) +
                           " was written, but its folder could not be saved to disk: " + Reason() + ".");
}

}  // namespace brindle
