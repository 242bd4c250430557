// What a file manager shows of a file: kind, protection, size, time, and which file it is.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "common/status.h"

namespace common {

struct FileFacts {
  bool directory = false;
  // Read-only: the owner may not write it (no owner write bit). Every listing and record of
  // file attributes takes this one rule.
  bool readOnly = false;
  std::uint64_t size = 0;  // 0 for a folder
  timespec modified{};
  dev_t device = 0;
  ino_t inode = 0;
};

// The facts of `path`, symbolic links followed. With `describeDanglingLink`, a link that
// leads nowhere is described itself instead of failing.
Result<FileFacts> StatFile(const std::string& path, bool describeDanglingLink = false);

// True when both names reach one existing file (the same device and inode), however they
// reach it: the same name, a symbolic link, a hard link.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace common
