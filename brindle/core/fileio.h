#pragma once
// Whole-file reads and safe whole-file replacement.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace brindle {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for reading. A folder, a pipe or device (which could block or never
// end), or a file that cannot be opened throws brindle::Error with the given box caption.
FilePtr OpenRegularFile(const std::filesystem::path& file, const std::string& title);

// Reads the whole of a regular file. A file that cannot be opened or read, that is not a
// regular file (a folder, pipe or device), or that is longer than maxSize bytes throws
// brindle::Error with the given box caption.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& file, std::size_t maxSize,
                                        const std::string& title);

// The first bytes of a regular file and the file's whole length.
struct FileHead {
  std::vector<std::uint8_t> data;  // at most the maxSize first bytes
  std::uintmax_t length = 0;       // bytes in the whole file
};

// Reads at most maxSize bytes from the start of a regular file, so a huge file costs no
// huge buffer, and tells the file's length. Fails as ReadWholeFile does, bar the length.
FileHead ReadFileHead(const std::filesystem::path& file, std::size_t maxSize, const std::string& title);

// Writes data as the new content of file: a temporary file in the same folder is written,
// synced to the disk, closed and renamed over the target, and the folder is synced, every
// step checked. When file is a symbolic link, the file it points to is replaced (the
// temporary file is made in that file's folder) and the link stays. On failure the old
// file stays as it was, the temporary file is removed, and brindle::Error is thrown.
void ReplaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> data, const std::string& title);

}  // namespace brindle
