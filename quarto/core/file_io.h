#pragma once
// Whole-file reading and writing for small files the viewer keeps (its settings) and writes (BMP
// exports): reading opens only regular files, so a pipe never blocks; writing goes to a temporary
// file in the same folder, synced and renamed over the target, so the old file stays whole until
// the new one is complete.
#include <optional>
#include <string>
#include <string_view>

namespace quarto {

enum class FileRead { Read, Missing, Unreadable };

// The file's bytes. Missing: no file there. Unreadable: something is there that cannot be read as
// a regular file (a folder, a pipe, no permission, a read error).
FileRead ReadWholeFile(const std::string& path, std::string& bytes);

// Writes the bytes through a temporary file renamed over the target; the target's folder is made
// when missing, and a symbolic link keeps pointing where it did (its target file is replaced).
// False when any step fails; the temporary file is then removed and the old file is untouched.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace quarto
