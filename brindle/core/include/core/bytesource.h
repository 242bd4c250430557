#pragma once
// Bytes read by position, from a file or from memory, so that a reader takes only the
// parts of a file it needs and a file that declares a huge picture costs no huge read.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "core/fileio.h"

namespace brindle {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Copies up to n bytes from offset into dst; returns how many were there. Never throws.
  virtual std::size_t readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) = 0;
  // Exactly n bytes from offset, or false.
  bool readExact(std::uint64_t offset, std::uint8_t* dst, std::size_t n) { return readAt(offset, dst, n) == n; }
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
  std::uint64_t size() const override { return data_.size(); }
  std::size_t readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) override;

 private:
  std::span<const std::uint8_t> data_;
};

// A regular file opened for reading. A folder, a pipe or device (which could block), or a
// file that cannot be opened throws brindle::Error with the given caption.
class FileSource : public ByteSource {
 public:
  FileSource(const std::filesystem::path& file, const std::string& title);
  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) override;

 private:
  common::FileHandle file_;
  std::uint64_t size_ = 0;
};

// Reads a source front to back through a buffer.
class SequentialReader {
 public:
  explicit SequentialReader(ByteSource& source, std::uint64_t start = 0) : source_(source), pos_(start) {}
  // Up to n bytes; returns how many were there.
  std::size_t read(std::uint8_t* dst, std::size_t n);
  // One byte, or false at the end.
  bool next(std::uint8_t& b);

 private:
  ByteSource& source_;
  std::uint64_t pos_;  // file position of the next byte not yet in the buffer
  std::uint8_t buffer_[16384];
  std::size_t have_ = 0, at_ = 0;
};

}  // namespace brindle
