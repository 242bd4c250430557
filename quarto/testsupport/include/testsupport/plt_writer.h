#pragma once
// PltWriter: builds PLT 4.5 or PLT 8.5 plot files in memory for tests, samples and benchmarks.
//
// Write the header first, then layer names (each one bumps the header's name count), then records.
// Every record call returns the file offset of the body it wrote (the byte after its record code),
// which is what the scan pass stores in RecordIndex. Raw words, raw bytes and truncation make
// damaged files. Values are written with the format's byte order and field widths; wider values are
// cut to the field.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/plt_format.h"

namespace quarto::test {

struct PltPoint {
  int32_t x = 0;
  int32_t y = 0;
};

struct PltHeaderSpec {
  int32_t version = 1;
  int32_t x1 = 0, y1 = 0, x2 = 1000, y2 = 1000;
  int32_t unit = -1;        // -1: the format's metric code (7 or 9)
  uint16_t multiplier = 1;  // PLT 4.5 only
};

struct PltContour {
  std::vector<PltPoint> points;
  uint32_t dropped = 0;  // the value after the marker that carries nothing
};
struct PltHole {
  int32_t cx = 0, cy = 0;
  uint32_t r = 0;
};
using PltCutout = std::variant<PltContour, PltHole>;

class PltWriter {
 public:
  explicit PltWriter(PltFormat format) : format_(format) {}
  PltFormat format() const { return format_; }

  void Header(const PltHeaderSpec& h = {});
  // A layer-name record; the name's bytes are stored as given (cut to 6 or 8 bytes, zero-padded).
  void LayerName(std::string_view name, int32_t layer);
  // Overwrites the header's layer-name count (for damaged files).
  void SetLayerNameCount(int32_t n);

  uint64_t Layer(int layer_byte);
  // PLT 4.5 lines take further vertices; PLT 8.5 lines ignore them.
  uint64_t Line(int style, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                const std::vector<PltPoint>& more = {});
  uint64_t Rect(int style, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  uint64_t Bar(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  // Angles are stored by PLT 4.5 only; alt_code writes the PLT 4.5 code 0x80A4 instead of 0x80A5.
  uint64_t Circle(int style, int width, int32_t cx, int32_t cy, uint32_t r, int start_angle = 0, int end_angle = 360,
                  bool alt_code = false);
  uint64_t Arc(int style, int width, int32_t cx, int32_t cy, int32_t xs, int32_t ys, int32_t xe, int32_t ye);
  // flags: rotation and mirror bits; justification is the code (25..43); PLT 8.5 stores it in the
  // flags as twice the code. The string's bytes are stored in the format's groups.
  uint64_t Text(int32_t x, int32_t y, uint32_t height, std::string_view text, int flags = 0, int justification = 34);
  uint64_t Polygon(int width, const std::vector<PltPoint>& outline, const std::vector<PltCutout>& cutouts = {},
                   uint32_t after_end = 0);
  uint64_t Skip();

  // Raw data: one word of the format (2 or 4 bytes) or arbitrary bytes.
  void Word(uint32_t w);
  void Bytes(const std::vector<uint8_t>& bytes);
  // Cuts the file to its first n bytes.
  void Truncate(size_t n);

  uint64_t size() const { return data_.size(); }
  const std::vector<uint8_t>& bytes() const { return data_; }
  void Save(const std::filesystem::path& path) const;

 private:
  uint64_t Code(uint32_t code45, uint32_t code85);
  void Byte(uint8_t b) { data_.push_back(b); }
  void U16(uint32_t v);  // in the format's byte order
  void U32(uint32_t v);  // PLT 8.5 only
  void Coord(int32_t v);
  void StyleWidth(int style, int width);
  void Zeros(size_t n) { data_.insert(data_.end(), n, 0); }
  bool is45() const { return format_ == PltFormat::Plt45; }

  PltFormat format_;
  std::vector<uint8_t> data_;
  int32_t name_count_ = 0;
};

}  // namespace quarto::test
