// Reading a regular file from its start, whole or up to a limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "common/open_file.h"
#include "common/status.h"

namespace common {

struct FileBytes {
  std::string bytes;       // the first bytes of the file, at most the limit asked for
  std::uint64_t size = 0;  // the length of the whole file (more than the limit when it is longer)
};

// Reads at most `maxBytes` from the start of the regular file `path` (opened as
// OpenRegularFile does), so that a huge file costs no huge buffer; what lies beyond is only
// measured. A missing file fails with ENOENT (or ENOTDIR), anything else as the open or
// the read did.
Result<FileBytes> ReadFile(const std::string& path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// The same from a file opened already (from its current position), for a caller that tells
// a failed open from a failed read.
Result<FileBytes> ReadFile(const FileHandle& file, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

}  // namespace common
