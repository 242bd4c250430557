#include "core/fileio.h"

#include <cerrno>
#include <string_view>

#include "common/read_file.h"
#include "common/replace_file.h"
#include "core/error.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& file) { return "\"" + file.string() + "\""; }

// Why a file could not be opened for reading, as the error box says it.
Error OpenError(const fs::path& file, const common::Status& failure, const std::string& title) {
  if (failure.error() == EISDIR) return Error(title, "Cannot open " + Quoted(file) + ": it is a folder.");
  return Error(title, "Cannot open " + Quoted(file) + ": " +
                          (failure.reason() == "not a regular file" ? std::string("it is not a regular file")
                                                                    : failure.reason()) +
                          ".");
}

}  // namespace

common::FileHandle OpenRegularFile(const fs::path& file, const std::string& title) {
  common::Result<common::FileHandle> opened = common::OpenRegularFile(file.string());
  if (!opened) throw OpenError(file, opened.status(), title);
  return std::move(opened.value());
}

std::vector<std::uint8_t> ReadWholeFile(const fs::path& file, std::size_t maxSize, const std::string& title) {
  FileHead head = ReadFileHead(file, maxSize, title);
  if (head.length > maxSize)
    throw Error(title, "The file " + Quoted(file) + " is too long (more than " + std::to_string(maxSize) + " bytes).");
  return std::move(head.data);
}

FileHead ReadFileHead(const fs::path& file, std::size_t maxSize, const std::string& title) {
  const common::FileHandle opened = OpenRegularFile(file, title);
  const common::Result<common::FileBytes> read = common::ReadFile(opened, maxSize);
  if (!read) throw Error(title, "Cannot read " + Quoted(file) + ": " + read.reason() + ".");
  FileHead head;
  head.data.assign(read->bytes.begin(), read->bytes.end());
  head.length = read->size;
  return head;
}

void ReplaceFile(const fs::path& name, std::span<const std::uint8_t> data, const std::string& title) {
  const common::Status saved =
      common::ReplaceFile(name.string(), std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
  if (!saved) throw Error(title, "Cannot write " + Quoted(name) + ": " + saved.reason() + ".");
}

}  // namespace brindle
