// The DESKTOOLS_FAULTS switch (see common/faults.h).
#include "common/faults.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <unistd.h>

namespace common::faults {

#ifdef DESKTOOLS_TEST_HOOKS
const bool kCompiledIn = true;
#else
const bool kCompiledIn = false;
#endif

namespace {

struct FaultSettings {
  bool hasWriteLimit = false;
  std::uint64_t writeLimit = 0;
  std::uint64_t failCall = 0;  // 0: none
  std::uint64_t killCall = 0;  // 0: none
  bool denyCreate = false;
  bool denyMkdir = false;
  bool noTmpfile = false;
  std::string under;  // empty: everywhere
};

// The counts of this copy of the library, and the text they belong to.
struct FaultCounts {
  std::string text;
  std::uint64_t bytes = 0;
  std::uint64_t calls = 0;
};

FaultCounts& Counts() {
  static FaultCounts counts;
  return counts;
}

std::uint64_t ParseCount(std::string_view v) {
  std::uint64_t n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return n;
    n = n > (UINT64_MAX - 9) / 10 ? UINT64_MAX : n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return n;
}

// A folder with its symbolic links resolved, or as given when it does not exist.
std::string ResolvedFolder(const std::string& folder) {
  char buf[PATH_MAX];
  if (realpath(folder.c_str(), buf) != nullptr) return buf;
  return folder;
}

// Reads the variable; restarts the counts when its text changed. Without the test hooks the
// variable is never read: no faults.
FaultSettings CurrentSettings() {
  FaultSettings s;
  if (!kCompiledIn) return s;
  const char* text = std::getenv(kVariable);
  FaultCounts& counts = Counts();
  if (text == nullptr || *text == '\0') {
    counts.text.clear();
    return s;
  }
  if (counts.text != text) {
    counts.text = text;
    counts.bytes = 0;
    counts.calls = 0;
  }
  std::string_view rest(text);
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const std::size_t eq = item.find('=');
    const std::string_view key = item.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
    if (key == "write-full-after") {
      s.hasWriteLimit = true;
      s.writeLimit = ParseCount(value);
    } else if (key == "write-fail-call") {
      s.failCall = ParseCount(value);
    } else if (key == "kill-write-call") {
      s.killCall = ParseCount(value);
    } else if (key == "deny-create") {
      s.denyCreate = true;
    } else if (key == "deny-mkdir") {
      s.denyMkdir = true;
    } else if (key == "no-tmpfile") {
      s.noTmpfile = true;
    } else if (key == "under") {
      s.under = ResolvedFolder(std::string(value));
    }
  }
  return s;
}

bool IsAtOrBelow(const std::string& path, const std::string& folder) {
  if (folder.empty()) return true;
  if (path.compare(0, folder.size(), folder) != 0) return false;
  return path.size() == folder.size() || path[folder.size()] == '/' || folder.back() == '/';
}

// Absolute form of a name as the kernel would find it: the folder part resolved (it exists
// when a file is created in it), the last component kept.
std::string AbsoluteName(const char* name) {
  std::string full = name;
  if (full.empty() || full[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return full;
    full = std::string(cwd) + "/" + full;
  }
  const std::size_t slash = full.rfind('/');
  const std::string folder = slash == 0 ? std::string("/") : full.substr(0, slash);
  std::string resolved = ResolvedFolder(folder);
  if (resolved.empty() || resolved.back() != '/') resolved += '/';
  return resolved + full.substr(slash + 1);
}

std::string PathOfDescriptor(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char buf[PATH_MAX];
  const ssize_t n = readlink(link, buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace

WriteFault CheckWrite(int fd, std::size_t count) {
  const FaultSettings s = CurrentSettings();
  if (!s.hasWriteLimit && s.failCall == 0 && s.killCall == 0) return {count, false};
  if (!s.under.empty() && !IsAtOrBelow(PathOfDescriptor(fd), s.under)) return {count, false};
  FaultCounts& counts = Counts();
  ++counts.calls;
  if (s.killCall != 0 && counts.calls == s.killCall) return {count / 2, true, true};
  if (s.failCall != 0 && counts.calls == s.failCall) return {0, true};
  if (!s.hasWriteLimit) return {count, false};
  const std::uint64_t room = s.writeLimit > counts.bytes ? s.writeLimit - counts.bytes : 0;
  if (count <= room) {
    counts.bytes += count;
    return {count, false};
  }
  counts.bytes += room;
  return {static_cast<std::size_t>(room), true};
}

bool CreateIsDenied(const char* path) {
  const FaultSettings s = CurrentSettings();
  if (!s.denyCreate || path == nullptr) return false;
  return IsAtOrBelow(AbsoluteName(path), s.under);
}

bool FolderIsDenied(const char* path) {
  const FaultSettings s = CurrentSettings();
  if (!s.denyMkdir || path == nullptr) return false;
  return IsAtOrBelow(AbsoluteName(path), s.under);
}

bool TmpfileIsDenied(const char* path) {
  const FaultSettings s = CurrentSettings();
  if (!s.noTmpfile || path == nullptr) return false;
  return IsAtOrBelow(ResolvedFolder(path), s.under);
}

}  // namespace common::faults
