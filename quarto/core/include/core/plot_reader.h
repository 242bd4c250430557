#pragma once
// PlotReader: a buffered, bounds-checked byte reader over a plot file or a block of memory.
//
// Every read names how many bytes it wants and returns false when fewer remain (a body cut short
// by the end of the data); it never reads past the end. A file is read in large blocks, so a
// sequential walk of small reads costs one system call per block, and a seek inside the current
// block costs none. A file opened for a sequential walk (the scan) asks the kernel to read ahead
// of it. Opening and read failures throw PlotIoError with the texts the shell shows.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarto {

class PlotIoError : public std::runtime_error {
 public:
  enum class Kind { NotFound, AccessDenied, ReadError, ShortFile };
  PlotIoError(Kind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// Texts of the input/output errors, as the application's error box shows them.
inline constexpr const char* kTextFileNotFound = "File not found";
inline constexpr const char* kTextFileAccessDenied = "File access denied";
inline constexpr const char* kTextReadBeyondEnd = "Read beyond end of file";
inline constexpr const char* kTextReadError = "Read error";

// What tells one state of a file from another without reading it: its size and its modification
// time in nanoseconds. A file rewritten in place changes at least one of them.
struct FileStamp {
  uint64_t size = 0;
  int64_t mtimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};

class PlotReader {
 public:
  // How a file will be read: Random (seeks anywhere, as drawing does) or Sequential (from the
  // start to the end, as the scan does: the kernel reads ahead of the walk).
  enum class Access { Random, Sequential };

  // Reads the given memory; the caller keeps it alive while the reader is used.
  explicit PlotReader(std::span<const uint8_t> memory);
  // Opens the file read-only. Only regular files are opened: a folder, a pipe, a device or a
  // socket is refused as AccessDenied at once, without waiting for a writer. Throws PlotIoError
  // (NotFound, AccessDenied, ReadError).
  static PlotReader OpenFile(const std::filesystem::path& path, Access access = Access::Random);

  PlotReader(PlotReader&&) noexcept;
  PlotReader& operator=(PlotReader&&) noexcept;
  ~PlotReader();

  // Copies n bytes to dst and advances. Returns false, leaving the position at the end of the data,
  // when fewer than n bytes remain. Throws PlotIoError(ReadError) on a failing device.
  bool Read(void* dst, size_t n) {
    if (n <= static_cast<size_t>(end_ - cur_)) {
      if (n) std::memcpy(dst, cur_, n);
      cur_ += n;
      return true;
    }
    return ReadSlow(dst, n);
  }
  // Like Read without copying.
  bool Skip(size_t n) {
    if (n <= static_cast<size_t>(end_ - cur_)) {
      cur_ += n;
      return true;
    }
    return ReadSlow(nullptr, n);
  }
  // Copies the next n bytes without advancing; false when fewer than n remain.
  bool Peek(void* dst, size_t n) {
    if (n <= static_cast<size_t>(end_ - cur_)) {
      if (n) std::memcpy(dst, cur_, n);
      return true;
    }
    return PeekSlow(dst, n);
  }
  // The bytes already buffered from the current position on (may be fewer than remain in the
  // data), for walkers that step over many small values: they read them in place and then
  // Advance past what they used (at most the span's size).
  std::span<const uint8_t> Buffered() const { return {cur_, static_cast<size_t>(end_ - cur_)}; }
  void Advance(size_t n) { cur_ += n; }

  // Size and modification time of the file when it was opened (memory: its size, time 0).
  FileStamp Stamp() const { return stamp_; }

  uint64_t Tell() const { return block_pos_ + static_cast<uint64_t>(cur_ - begin_); }
  uint64_t Size() const { return size_; }
  bool AtEnd() const { return Tell() >= size_; }
  uint64_t Remaining() const { return size_ - Tell(); }
  // Moves to an absolute position; positions past the end read as the end.
  void Seek(uint64_t pos);

 private:
  PlotReader() = default;
  bool ReadSlow(void* dst, size_t n);
  bool PeekSlow(void* dst, size_t n);
  // Loads the block starting at pos (file-backed only).
  void Fill(uint64_t pos);
  void Close() noexcept;

  int fd_ = -1;
  std::vector<uint8_t> buffer_;
  uint64_t size_ = 0;
  FileStamp stamp_;
  uint64_t block_pos_ = 0;  // file position of begin_
  const uint8_t* begin_ = nullptr;
  const uint8_t* cur_ = nullptr;
  const uint8_t* end_ = nullptr;
};

// SpanReader: the same reading interface over bytes already in memory (a PlotReader's buffered
// block), for walks that step over many small records in place. When `last` is set the span ends
// where the data ends and every call behaves exactly as PlotReader's would; otherwise the data goes
// on past the span, so a read that fails at the span's end says only "not within this span" and the
// caller reads that record again through the reader that owns the data.
class SpanReader {
 public:
  SpanReader(std::span<const uint8_t> bytes, uint64_t position, bool last)
      : begin_(bytes.data()), cur_(bytes.data()), end_(bytes.data() + bytes.size()), base_(position), last_(last) {}

  bool Read(void* dst, size_t n) {
    if (n > static_cast<size_t>(end_ - cur_)) {
      cur_ = end_;
      return false;
    }
    if (n) std::memcpy(dst, cur_, n);
    cur_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (n > static_cast<size_t>(end_ - cur_)) {
      cur_ = end_;
      return false;
    }
    cur_ += n;
    return true;
  }
  bool Peek(void* dst, size_t n) const {
    if (n > static_cast<size_t>(end_ - cur_)) return false;
    if (n) std::memcpy(dst, cur_, n);
    return true;
  }
  std::span<const uint8_t> Buffered() const { return {cur_, static_cast<size_t>(end_ - cur_)}; }
  void Advance(size_t n) { cur_ += n; }

  uint64_t Tell() const { return base_ + static_cast<uint64_t>(cur_ - begin_); }
  // The end of the data: only a span that reaches it can be at its end.
  bool AtEnd() const { return last_ && cur_ == end_; }
  // Bytes left in the span (a lower bound for what is left in the data when the span is not last).
  uint64_t Remaining() const { return static_cast<uint64_t>(end_ - cur_); }
  bool Last() const { return last_; }

  // Bytes stepped over since the start of the span, and a return to one of its earlier positions.
  size_t Used() const { return static_cast<size_t>(cur_ - begin_); }
  void Rewind(size_t used) { cur_ = begin_ + used; }

 private:
  const uint8_t* begin_;
  const uint8_t* cur_;
  const uint8_t* end_;
  uint64_t base_;  // data position of begin_
  bool last_;
};

}  // namespace quarto
