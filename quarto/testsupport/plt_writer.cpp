#include "testsupport/plt_writer.h"

#include <fstream>
#include <stdexcept>

namespace quarto::test {

void PltWriter::U16(uint32_t v) {
  if (is45()) {
    Byte(v & 0xFF);
    Byte((v >> 8) & 0xFF);
  } else {
    Byte((v >> 8) & 0xFF);
    Byte(v & 0xFF);
  }
}

void PltWriter::U32(uint32_t v) {
  Byte((v >> 24) & 0xFF);
  Byte((v >> 16) & 0xFF);
  Byte((v >> 8) & 0xFF);
  Byte(v & 0xFF);
}

void PltWriter::Coord(int32_t v) {
  if (is45())
    U16(static_cast<uint32_t>(v) & 0xFFFF);
  else
    U32(static_cast<uint32_t>(v));
}

void PltWriter::Word(uint32_t w) {
  if (is45())
    U16(w & 0xFFFF);
  else
    U32(w);
}

void PltWriter::Bytes(const std::vector<uint8_t>& bytes) { data_.insert(data_.end(), bytes.begin(), bytes.end()); }

void PltWriter::Truncate(size_t n) {
  if (n < data_.size()) data_.resize(n);
}

void PltWriter::Header(const PltHeaderSpec& h) {
  data_.clear();
  name_count_ = 0;
  if (is45()) {
    U16(Plot45Magic);
    U16(static_cast<uint32_t>(h.version));
    Coord(h.x1);
    Coord(h.y1);
    Coord(h.x2);
    Coord(h.y2);
    U16(static_cast<uint32_t>(h.unit < 0 ? 7 : h.unit));
    U16(h.multiplier);
    U16(0);
    Zeros(2);
  } else {
    U32(Plot85Magic);
    U32(static_cast<uint32_t>(h.version));
    Coord(h.x1);
    Coord(h.y1);
    Coord(h.x2);
    Coord(h.y2);
    U32(static_cast<uint32_t>(h.unit < 0 ? 9 : h.unit));
    Zeros(4);
    U32(0);
    Zeros(4);
  }
}

void PltWriter::SetLayerNameCount(int32_t n) {
  if (data_.size() < (is45() ? 20u : 40u)) throw std::logic_error("PltWriter: header first");
  const auto v = static_cast<uint32_t>(n);
  if (is45()) {
    data_[16] = v & 0xFF;
    data_[17] = (v >> 8) & 0xFF;
  } else {
    data_[32] = (v >> 24) & 0xFF;
    data_[33] = (v >> 16) & 0xFF;
    data_[34] = (v >> 8) & 0xFF;
    data_[35] = v & 0xFF;
  }
}

void PltWriter::LayerName(std::string_view name, int32_t layer) {
  if (is45()) {
    uint8_t rec[8] = {};
    for (size_t i = 0; i < 6 && i < name.size(); ++i) rec[i] = static_cast<uint8_t>(name[i]);
    rec[6] = static_cast<uint8_t>(layer);
    data_.insert(data_.end(), rec, rec + 8);
  } else {
    uint8_t rec[16] = {};
    const int order[8] = {3, 2, 1, 0, 7, 6, 5, 4};
    for (size_t i = 0; i < 8 && i < name.size(); ++i) rec[order[i]] = static_cast<uint8_t>(name[i]);
    const auto v = static_cast<uint32_t>(layer);
    rec[12] = (v >> 24) & 0xFF;
    rec[13] = (v >> 16) & 0xFF;
    rec[14] = (v >> 8) & 0xFF;
    rec[15] = v & 0xFF;
    data_.insert(data_.end(), rec, rec + 16);
  }
  SetLayerNameCount(++name_count_);
}

uint64_t PltWriter::Code(uint32_t code45, uint32_t code85) {
  Word(is45() ? code45 : code85);
  return data_.size();
}

uint64_t PltWriter::Layer(int layer_byte) {
  const uint64_t at = Code(Plt45::OpLayer, Plt85::OpLayer);
  Byte(0);
  Byte(static_cast<uint8_t>(layer_byte));
  if (!is45()) Zeros(2);
  return at;
}

// Style and width: bytes, style first, in PLT 4.5; 16-bit values, width first, in PLT 8.5.
void PltWriter::StyleWidth(int style, int width) {
  if (is45()) {
    Byte(static_cast<uint8_t>(style));
    Byte(static_cast<uint8_t>(width));
  } else {
    U16(static_cast<uint32_t>(width));
    U16(static_cast<uint32_t>(style));
  }
}

uint64_t PltWriter::Line(int style, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                         const std::vector<PltPoint>& more) {
  const uint64_t at = Code(Plt45::OpLine, Plt85::OpLine);
  StyleWidth(style, width);
  Coord(x1);
  Coord(y1);
  Coord(x2);
  Coord(y2);
  if (is45())
    for (const auto& p : more) {
      Coord(p.x);
      Coord(p.y);
    }
  return at;
}

uint64_t PltWriter::Rect(int style, int width, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const uint64_t at = Code(Plt45::OpRect, Plt85::OpRect);
  StyleWidth(style, width);
  Coord(x1);
  Coord(y1);
  Coord(x2);
  Coord(y2);
  return at;
}

uint64_t PltWriter::Bar(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const uint64_t at = Code(Plt45::OpBar, Plt85::OpBar);
  Zeros(is45() ? 2 : 4);
  Coord(x1);
  Coord(y1);
  Coord(x2);
  Coord(y2);
  return at;
}

uint64_t PltWriter::Circle(int style, int width, int32_t cx, int32_t cy, uint32_t r, int start_angle, int end_angle,
                           bool alt_code) {
  const uint64_t at = Code(alt_code ? Plt45::OpCircleAlt : Plt45::OpCircle, Plt85::OpCircle);
  StyleWidth(style, width);
  Coord(cx);
  Coord(cy);
  if (is45()) {
    U16(r & 0xFFFF);
    Zeros(2);
    U16(static_cast<uint32_t>(start_angle));
    U16(static_cast<uint32_t>(end_angle));
  } else {
    U32(r);
    Zeros(12);
  }
  return at;
}

uint64_t PltWriter::Arc(int style, int width, int32_t cx, int32_t cy, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  const uint64_t at = Code(Plt45::OpArc, Plt85::OpArc);
  StyleWidth(style, width);
  for (int32_t v : {cx, cy, xs, ys, xe, ye}) Coord(v);
  return at;
}

uint64_t PltWriter::Text(int32_t x, int32_t y, uint32_t height, std::string_view text, int flags, int justification) {
  const uint64_t at = Code(Plt45::OpText, Plt85::OpText);
  if (is45()) {
    Zeros(2);
    Coord(x);
    Coord(y);
    Byte(static_cast<uint8_t>(flags));
    Byte(static_cast<uint8_t>(height % 128));
    Byte(static_cast<uint8_t>(height / 128));
    Byte(static_cast<uint8_t>(justification));
    // Groups of 4 up to and including the group that holds the closing zero.
    const size_t groups = text.size() / 4 + 1;
    std::vector<uint8_t> g(groups * 4, 0);
    for (size_t i = 0; i < text.size(); ++i) g[i] = static_cast<uint8_t>(text[i]);
    Bytes(g);
  } else {
    Zeros(4);
    Coord(x);
    Coord(y);
    Zeros(2);
    U16(static_cast<uint32_t>((flags & 7) | ((justification * 2) << 3)));
    U32(height);
    // Groups of 8, characters in the byte order 3,2,1,0,7,6,5,4; the last group's byte 4 is zero.
    const int order[8] = {3, 2, 1, 0, 7, 6, 5, 4};
    const size_t groups = text.size() / 8 + 1;
    std::vector<uint8_t> g(groups * 8, 0);
    for (size_t i = 0; i < text.size(); ++i) g[(i / 8) * 8 + order[i % 8]] = static_cast<uint8_t>(text[i]);
    Bytes(g);
  }
  return at;
}

uint64_t PltWriter::Polygon(int width, const std::vector<PltPoint>& outline, const std::vector<PltCutout>& cutouts,
                            uint32_t after_end) {
  const uint64_t at = Code(Plt45::OpPolygon, Plt85::OpPolygon);
  if (is45()) {
    Byte(0);
    Byte(static_cast<uint8_t>(width));
  } else {
    U16(static_cast<uint32_t>(width));
    Zeros(2);
  }
  auto points = [&](const std::vector<PltPoint>& pts) {
    for (const auto& p : pts) {
      Coord(p.x);
      Coord(p.y);
    }
  };
  points(outline);
  for (const auto& c : cutouts) {
    if (const auto* contour = std::get_if<PltContour>(&c)) {
      Word(is45() ? Plt45::OpContour : Plt85::OpContour);
      Word(contour->dropped);
      points(contour->points);
    } else {
      const auto& hole = std::get<PltHole>(c);
      Word(is45() ? Plt45::OpHole : Plt85::OpHole);
      Zeros(is45() ? 2 : 4);
      Coord(hole.cx);
      Coord(hole.cy);
      if (is45()) {
        U16(hole.r & 0xFFFF);
        Zeros(2);
      } else {
        U32(hole.r);
        Zeros(4);
      }
    }
  }
  Word(is45() ? Plt45::OpPolyEnd : Plt85::OpPolyEnd);
  Word(after_end);
  return at;
}

uint64_t PltWriter::Skip() {
  const uint64_t at = Code(Plt45::OpSkip, Plt85::OpSkip);
  Zeros(is45() ? 6 : 12);
  return at;
}

void PltWriter::Save(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data_.data()), static_cast<std::streamsize>(data_.size()));
  if (!out) throw std::runtime_error("PltWriter: cannot write " + path.string());
}

}  // namespace quarto::test
