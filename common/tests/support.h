// Small helpers of the library's tests: fixture files, what a folder holds, and running a
// piece of a test as another user.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "testsupport/temp_dir.h"

namespace common::test {

using testsupport::TempDir;
namespace fs = std::filesystem;

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

inline mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

inline bool IsRoot() { return ::geteuid() == 0; }

// The user the tests drop to when they run as root.
inline const passwd* Nobody() { return ::getpwnam("nobody"); }

// Gives `path` to the user a dropped child runs as (only root can, and only root needs it:
// otherwise the child runs as the test's own user, who owns it already).
inline void GiveToOtherUser(const std::string& path) {
  if (!IsRoot() || !Nobody()) return;
  if (::lchown(path.c_str(), Nobody()->pw_uid, Nobody()->pw_gid) != 0) std::abort();
}

// Runs `body` in a child process as a user other than root: as nobody when the tests run
// as root, else as the test's own user. Returns what `body` returned (0 to 255), or -1
// when the child could not be made or drop its rights.
inline int RunAsOtherUser(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (IsRoot()) {
      const passwd* nobody = Nobody();
      if (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
        ::_exit(255);
    }
    ::_exit(body() & 0xFF);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  const int code = WEXITSTATUS(status);
  return code == 255 ? -1 : code;
}

// The user the tests run as, and the one RunAsOtherUser runs as.
inline const char* OtherUserName() { return IsRoot() ? "nobody" : "the test's user"; }

}  // namespace common::test
