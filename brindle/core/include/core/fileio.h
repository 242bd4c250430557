#pragma once
// The program's file reads and saves, through the file library (common/), with the texts of
// the program's error boxes: only regular files are read, and a save replaces the whole file
// as common/replace_file.h does (links kept, mode kept, protected files refused).
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/open_file.h"

namespace brindle {

// Opens a regular file for reading. A folder, a pipe or device (which could block or never
// end), or a file that cannot be opened throws brindle::Error with the given box caption.
common::FileHandle OpenRegularFile(const std::filesystem::path& file, const std::string& title);

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

// Writes data as the new content of file (common/replace_file.h). On failure the old file
// stays as it was and brindle::Error is thrown with the system's reason.
void ReplaceFile(const std::filesystem::path& file, std::span<const std::uint8_t> data, const std::string& title);

}  // namespace brindle
