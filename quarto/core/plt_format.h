#pragma once
// The two plot file formats, PLT 4.5 (16-bit little-endian words) and PLT 8.5 (32-bit big-endian
// words): signature detection, header and layer-name layouts, record codes, fixed body sizes, body
// decoders, and the walkers of the variable parts (PLT 4.5 line vertices, text string groups,
// polygon outlines and cut-outs) that the scan pass and the renderers share, so both step over a
// record in exactly the same way.
//
// Plt45 and Plt85 are format traits with the same members; code that works on both formats is a
// template over them (the scan pass does so). Coordinates are decoded to int32_t (PLT 4.5 values
// are sign-extended from 16 bits) and radii to uint32_t; do arithmetic on them in int64_t.
// Walkers read from a PlotReader (or a SpanReader over its buffered bytes, which has the same
// interface) and return false when the data ends inside the record.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/numeric.h"
#include "core/plot_reader.h"
#include "core/word_vectors.h"

namespace quarto {

// The drawn kinds of record; first index of RecordIndex.
enum PrimitiveKind : int {
  KindLine = 0,
  KindRect = 1,
  KindBar = 2,
  KindCircle = 3,
  KindArc = 4,
  KindText = 5,
  KindPolygon = 6,
};
inline constexpr int kPrimitiveKindCount = 7;

enum class PltFormat { Plt45, Plt85 };

inline constexpr uint16_t Plot45Magic = 0x804E;      // bytes 4E 80
inline constexpr uint32_t Plot85Magic = 0x800003BE;  // bytes 80 00 03 BE

// Signature of the first bytes: 80 00 03 BE is PLT 8.5, 4E 80 is PLT 4.5, anything else unknown
// (std::nullopt). The caller must hand at least 4 bytes (a shorter file is a read error).
std::optional<PltFormat> DetectPltFormat(std::span<const uint8_t, 4> first);

// The layer number 19 of an OpLayer record selects layer 16 in both formats.
inline int MapLayerNumber(int n) { return n == 19 ? 16 : n; }
inline constexpr int kMaxLayer = 16;
inline constexpr int kLayerSlots = 17;  // layers 0..16

inline uint32_t SwapLong(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24); }
inline int32_t ReadLE16s(const uint8_t* p) { return static_cast<int16_t>(ReadLE16(p)); }
inline int32_t ReadBE32s(const uint8_t* p) { return static_cast<int32_t>(ReadBE32(p)); }

// ---- Headers -----------------------------------------------------------------------------------

struct Plot45Header {  // 20 bytes, little-endian
  uint16_t Magic = 0;
  uint16_t Version = 0;
  int16_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  int16_t UnitCode = 0;     // 2 mils, 7 metric
  uint16_t Multiplier = 0;  // one file unit is M hundredths of a mm (metric) or M mils
  uint16_t LayerNameCount = 0;
};

struct Plot85Header {  // 40 bytes, big-endian; fields here in machine order
  uint32_t Magic = 0;
  int32_t Version = 0;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  int32_t UnitCode = 0;  // 8 mils, 9 metric
  uint32_t Unused28 = 0;
  int32_t LayerNameCount = 0;  // 0 or less: none
};

Plot45Header DecodePlot45Header(const uint8_t* p);  // 20 bytes
Plot85Header DecodePlot85Header(const uint8_t* p);  // 40 bytes

enum class PlotUnit { Mils, Metric, Other };

// A layer-name record: the name's raw 8-bit bytes (up to the first zero, at most 6 or 8) and the
// layer number as stored (not mapped, not checked).
struct LayerNameRec {
  std::string Name;
  int32_t Layer = 0;
};

// ---- Record bodies (decoded, common to both formats) ---------------------------------------------

struct LineBody {  // OpLine and OpRect
  uint16_t Style = 0;
  uint16_t Width = 0;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
struct BarBody {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
struct CircleBody {
  uint16_t Style = 0;
  uint16_t Width = 0;
  int32_t Cx = 0, Cy = 0;
  uint32_t R = 0;
  uint16_t StartAngle = 0, EndAngle = 0;  // PLT 4.5 only (PLT 8.5 circles are full circles)
};
struct ArcBody {
  uint16_t Style = 0;
  uint16_t Width = 0;
  int32_t Cx = 0, Cy = 0, Xs = 0, Ys = 0, Xe = 0, Ye = 0;
};
struct TextBody {
  int32_t X = 0, Y = 0;       // anchor
  uint16_t Flags = 0;         // bits 0-1 rotation, bit 2 mirror
  uint32_t Height = 0;        // file units (PLT 4.5: low + 128 * high)
  uint8_t Justification = 0;  // PLT 4.5: its own byte; PLT 8.5: low byte of Flags >> 3 (twice the code)
};
struct HoleBody {
  int32_t Cx = 0, Cy = 0;
  uint32_t R = 0;
};

// The justification code (25..43) of a text, 0 when it has none: PLT 4.5 keeps the code itself,
// PLT 8.5 keeps twice the code.
int TextJustificationCode(PltFormat format, uint8_t justification);

// Receiver of polygon parts for WalkPolygonBody: Point for every outline or contour vertex,
// EndBoundary when the outline or a contour is complete, Hole for a round cut-out.
enum class PolygonPart { Outline, Contour };

// ---- Format traits -----------------------------------------------------------------------------

struct Plt45 {
  static constexpr PltFormat kFormat = PltFormat::Plt45;
  using Header = Plot45Header;
  static constexpr size_t kWord = 2;
  static constexpr size_t kHeaderSize = 20;
  static constexpr size_t kLayerNameSize = 8;
  static constexpr size_t kNameBytes = 6;

  static constexpr uint32_t OpLayer = 0x80A9;
  static constexpr uint32_t OpLine = 0x80A8;
  static constexpr uint32_t OpRect = 0x80A7;
  static constexpr uint32_t OpBar = 0x80A6;
  static constexpr uint32_t OpCircle = 0x80A5;
  static constexpr uint32_t OpCircleAlt = 0x80A4;  // read exactly like OpCircle
  static constexpr uint32_t OpArc = 0x807A;
  static constexpr uint32_t OpText = 0x80A2;
  static constexpr uint32_t OpPolygon = 0x80A3;
  static constexpr uint32_t OpSkip = 0x8095;
  static constexpr uint32_t OpContour = 0x807E;
  static constexpr uint32_t OpHole = 0x807F;
  static constexpr uint32_t OpPolyEnd = 0x8080;

  static constexpr size_t kLayerBody = 2;
  static constexpr size_t kSkipBody = 6;
  static constexpr size_t kHoleBody = 10;
  static constexpr size_t kPolygonHead = 2;
  static constexpr size_t kTextGroup = 4;
  // Fixed part of each primitive's body, by PrimitiveKind (the polygon's is its head word).
  static constexpr std::array<size_t, kPrimitiveKindCount> kFixedBody{10, 10, 10, 14, 14, 10, 2};

  static uint32_t Word(const uint8_t* p) { return ReadLE16(p); }
  static int32_t Coord(const uint8_t* p) { return ReadLE16s(p); }
  // The primitive kind of a record code, -1 for codes that are no primitive.
  static int KindOf(uint32_t code);
  static bool IsPolygonMarker(uint32_t w) { return w >= OpContour && w <= OpPolyEnd; }

  static Header DecodeHeader(const uint8_t* p) { return DecodePlot45Header(p); }
  static PlotUnit Unit(const Header& h) {
    return h.UnitCode == 2 ? PlotUnit::Mils : h.UnitCode == 7 ? PlotUnit::Metric : PlotUnit::Other;
  }
  static int32_t LayerNameCount(const Header& h) { return h.LayerNameCount; }
  static LayerNameRec DecodeLayerName(const uint8_t* p);  // 8 bytes
  static int LayerOfOpLayer(const uint8_t* body) { return MapLayerNumber(body[1]); }

  static LineBody DecodeLine(const uint8_t* p);  // also OpRect
  static BarBody DecodeBar(const uint8_t* p);
  static CircleBody DecodeCircle(const uint8_t* p);
  static ArcBody DecodeArc(const uint8_t* p);
  static TextBody DecodeText(const uint8_t* p);
  static HoleBody DecodeHole(const uint8_t* p);
  static uint16_t DecodePolygonWidth(const uint8_t* head) { return head[1]; }
};

struct Plt85 {
  static constexpr PltFormat kFormat = PltFormat::Plt85;
  using Header = Plot85Header;
  static constexpr size_t kWord = 4;
  static constexpr size_t kHeaderSize = 40;
  static constexpr size_t kLayerNameSize = 16;
  static constexpr size_t kNameBytes = 8;

  static constexpr uint32_t OpLayer = 0x80000419;
  static constexpr uint32_t OpLine = 0x80000418;
  static constexpr uint32_t OpRect = 0x80000417;
  static constexpr uint32_t OpBar = 0x80000416;
  static constexpr uint32_t OpCircle = 0x80000415;
  static constexpr uint32_t OpArc = 0x800003EA;
  static constexpr uint32_t OpText = 0x80000412;
  static constexpr uint32_t OpPolygon = 0x80000413;
  static constexpr uint32_t OpSkip = 0x80000405;
  static constexpr uint32_t OpContour = 0x800003EE;
  static constexpr uint32_t OpHole = 0x800003EF;
  static constexpr uint32_t OpPolyEnd = 0x800003F0;

  static constexpr size_t kLayerBody = 4;
  static constexpr size_t kSkipBody = 12;
  static constexpr size_t kHoleBody = 20;
  static constexpr size_t kPolygonHead = 4;
  static constexpr size_t kTextGroup = 8;
  static constexpr std::array<size_t, kPrimitiveKindCount> kFixedBody{20, 20, 20, 28, 28, 20, 4};

  static uint32_t Word(const uint8_t* p) { return ReadBE32(p); }
  static int32_t Coord(const uint8_t* p) { return ReadBE32s(p); }
  static int KindOf(uint32_t code);
  static bool IsPolygonMarker(uint32_t w) { return w >= OpContour && w <= OpPolyEnd; }

  static Header DecodeHeader(const uint8_t* p) { return DecodePlot85Header(p); }
  static PlotUnit Unit(const Header& h) {
    return h.UnitCode == 8 ? PlotUnit::Mils : h.UnitCode == 9 ? PlotUnit::Metric : PlotUnit::Other;
  }
  static int32_t LayerNameCount(const Header& h) { return h.LayerNameCount > 0 ? h.LayerNameCount : 0; }
  static LayerNameRec DecodeLayerName(const uint8_t* p);  // 16 bytes
  static int LayerOfOpLayer(const uint8_t* body) { return MapLayerNumber(body[1]); }

  static LineBody DecodeLine(const uint8_t* p);
  static BarBody DecodeBar(const uint8_t* p);
  static CircleBody DecodeCircle(const uint8_t* p);
  static ArcBody DecodeArc(const uint8_t* p);
  static TextBody DecodeText(const uint8_t* p);
  static HoleBody DecodeHole(const uint8_t* p);
  static uint16_t DecodePolygonWidth(const uint8_t* head) { return ReadBE16(head); }
};

// ---- Record codes and body decoders (inline: the scan pass calls them once a record) ----

// The primitive kind of a record code of either format (PLT 4.5 also reads 0x80A4 as a circle).
// A table over the span of the format's primitive codes answers with one load and no branch to
// mispredict: the kinds of a plot's records follow each other in no learnable order.
template <class F>
struct PrimitiveCodes {
  // The codes of the kinds in PrimitiveKind order, then PLT 4.5's second circle code (PLT 8.5
  // repeats its circle code there).
  static constexpr std::array<uint32_t, kPrimitiveKindCount + 1> kCode{
      F::OpLine, F::OpRect, F::OpBar,     F::OpCircle,
      F::OpArc,  F::OpText, F::OpPolygon, F::kFormat == PltFormat::Plt45 ? Plt45::OpCircleAlt : F::OpCircle};
  static constexpr uint32_t kFirst = *std::min_element(kCode.begin(), kCode.end());
  static constexpr uint32_t kSpan = *std::max_element(kCode.begin(), kCode.end()) - kFirst + 1;
  static constexpr auto kKinds = [] {
    std::array<int8_t, kSpan> t{};
    t.fill(-1);
    t[kCode[kPrimitiveKindCount] - kFirst] = KindCircle;
    for (int k = 0; k < kPrimitiveKindCount; ++k) t[kCode[static_cast<size_t>(k)] - kFirst] = static_cast<int8_t>(k);
    return t;
  }();
};

template <class F>
int PrimitiveKindOf(uint32_t code) {
  using Codes = PrimitiveCodes<F>;
  const uint32_t i = code - Codes::kFirst;
  return i < Codes::kSpan ? Codes::kKinds[i] : -1;
}
inline int Plt45::KindOf(uint32_t code) { return PrimitiveKindOf<Plt45>(code); }
inline int Plt85::KindOf(uint32_t code) { return PrimitiveKindOf<Plt85>(code); }

inline LineBody Plt45::DecodeLine(const uint8_t* p) {
  return LineBody{p[0], p[1], Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8)};
}
inline BarBody Plt45::DecodeBar(const uint8_t* p) {
  return BarBody{Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8)};
}
inline CircleBody Plt45::DecodeCircle(const uint8_t* p) {
  return CircleBody{p[0], p[1], Coord(p + 2), Coord(p + 4), ReadLE16(p + 6), ReadLE16(p + 10), ReadLE16(p + 12)};
}
inline ArcBody Plt45::DecodeArc(const uint8_t* p) {
  return ArcBody{p[0], p[1], Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8), Coord(p + 10), Coord(p + 12)};
}
inline TextBody Plt45::DecodeText(const uint8_t* p) {
  return TextBody{Coord(p + 2), Coord(p + 4), p[6], static_cast<uint32_t>(p[7] + 128u * p[8]), p[9]};
}
inline HoleBody Plt45::DecodeHole(const uint8_t* p) { return HoleBody{Coord(p + 2), Coord(p + 4), ReadLE16(p + 6)}; }

inline LineBody Plt85::DecodeLine(const uint8_t* p) {
  return LineBody{ReadBE16(p + 2), ReadBE16(p), Coord(p + 4), Coord(p + 8), Coord(p + 12), Coord(p + 16)};
}
inline BarBody Plt85::DecodeBar(const uint8_t* p) {
  return BarBody{Coord(p + 4), Coord(p + 8), Coord(p + 12), Coord(p + 16)};
}
inline CircleBody Plt85::DecodeCircle(const uint8_t* p) {
  return CircleBody{ReadBE16(p + 2), ReadBE16(p), Coord(p + 4), Coord(p + 8), ReadBE32(p + 12), 0, 0};
}
inline ArcBody Plt85::DecodeArc(const uint8_t* p) {
  return ArcBody{ReadBE16(p + 2), ReadBE16(p),   Coord(p + 4),  Coord(p + 8),
                 Coord(p + 12),   Coord(p + 16), Coord(p + 20), Coord(p + 24)};
}
inline TextBody Plt85::DecodeText(const uint8_t* p) {
  const uint16_t flags = ReadBE16(p + 14);
  return TextBody{Coord(p + 4), Coord(p + 8), flags, ReadBE32(p + 16), static_cast<uint8_t>((flags >> 3) & 0xFF)};
}
inline HoleBody Plt85::DecodeHole(const uint8_t* p) { return HoleBody{Coord(p + 4), Coord(p + 8), ReadBE32(p + 12)}; }

// ---- Walkers of the variable parts ---------------------------------------------------------------

// Reads a text's string groups from the reader (positioned right after the fixed part) and appends
// the characters to *out (out may be null to only step over them). PLT 4.5: 4-byte groups, the
// characters before the first zero byte, ending with the group that holds it. PLT 8.5: 8-byte
// groups read in the byte order 3,2,1,0,7,6,5,4, zero bytes dropped, ending with the group whose
// byte 4 is zero. Escapes and the trailing apostrophe are the text decoder's business.
// Returns false when the data ends inside the string; *out then holds the characters read before
// the cut (a PLT 4.5 group's bytes one by one, a PLT 8.5 group's first word when it is whole).
template <class F, class Reader>
bool ReadTextString(Reader& r, std::string* out) {
  uint8_t g[F::kTextGroup];
  for (;;) {
    if (const uint64_t left = r.Remaining(); left < F::kTextGroup) {
      const size_t n = static_cast<size_t>(left);
      if (!out || !r.Read(g, n)) {
        r.Skip(n);
        return false;
      }
      if constexpr (F::kTextGroup == 4) {
        for (size_t i = 0; i < n && g[i] != 0; ++i) out->push_back(static_cast<char>(g[i]));
      } else if (n >= 4) {
        for (int i : {3, 2, 1, 0})
          if (g[i] != 0) out->push_back(static_cast<char>(g[i]));
      }
      return false;
    }
    if (!r.Read(g, F::kTextGroup)) return false;
    if constexpr (F::kTextGroup == 4) {
      for (uint8_t c : g) {
        if (c == 0) return true;
        if (out) out->push_back(static_cast<char>(c));
      }
    } else {
      if (out) {
        for (int i : {3, 2, 1, 0, 7, 6, 5, 4})
          if (g[i] != 0) out->push_back(static_cast<char>(g[i]));
      }
      if (g[4] == 0) return true;
    }
  }
}

// True when a PLT 4.5 word ends a polyline's vertex list (0x8000..0x81FF: a record code).
inline bool EndsPolyline45(uint32_t x_word) { return x_word >= 0x8000 && x_word <= 0x81FF; }

// Reads the further vertices of a PLT 4.5 line (the reader right after its 10-byte fixed part;
// x2_word the raw second x). Calls on_vertex(x, y) for each and leaves the reader at the word that
// ended the list (normally the next record's code), or at the end of the data. Returns false when
// the data ends inside a vertex.
template <class Reader, class OnVertex>
bool ReadLineVertices45(Reader& r, uint32_t x2_word, OnVertex&& on_vertex) {
  if (EndsPolyline45(x2_word)) return true;
  uint8_t v[4];
  for (;;) {
    // The vertices already buffered are read in place.
    const std::span<const uint8_t> in = r.Buffered();
    size_t used = 0;
    bool ended = false;
    while (used + 4 <= in.size()) {
      if (EndsPolyline45(ReadLE16(in.data() + used))) {
        ended = true;
        break;
      }
      on_vertex(ReadLE16s(in.data() + used), ReadLE16s(in.data() + used + 2));
      used += 4;
    }
    r.Advance(used);
    if (ended || r.AtEnd()) return true;
    // A vertex across the end of the buffer, or the end of the data.
    if (!r.Peek(v, 2)) return false;
    if (EndsPolyline45(ReadLE16(v))) return true;
    if (!r.Read(v, 4)) return false;
    on_vertex(ReadLE16s(v), ReadLE16s(v + 2));
  }
}

// The box of a run's points (Min > Max on an axis when the run is empty).
struct RunBox {
  int32_t MinX = INT32_MAX, MaxX = INT32_MIN, MinY = INT32_MAX, MaxY = INT32_MIN;
};

// A run of consecutive points of one boundary, as they lie in the buffer (x and y words in turn),
// with their box.
template <class F>
struct PointRun {
  const uint8_t* data = nullptr;
  size_t count = 0;
  RunBox box;
  int32_t X(size_t i) const { return F::Coord(data + i * 2 * F::kWord); }
  int32_t Y(size_t i) const { return F::Coord(data + i * 2 * F::kWord + F::kWord); }
};

// The run of the `whole` points at p up to the first one whose x word is a polygon marker (all of
// them when none is), measured in the same pass.
template <class F>
PointRun<F> FindPointRun(const uint8_t* p, size_t whole) {
  constexpr size_t kPoint = 2 * F::kWord;
  PointRun<F> run{p, 0, {}};
  size_t& n = run.count;
  RunBox& b = run.box;
#if QUARTO_WORD_VECTORS
  if constexpr (F::kWord == 2) {
    // Four points at a time while no x word (the even lanes) is a marker, one of the three codes
    // from OpContour on.
    constexpr words::U16x8 kFirst = {F::OpContour, F::OpContour, F::OpContour, F::OpContour,
                                     F::OpContour, F::OpContour, F::OpContour, F::OpContour};
    constexpr words::U16x8 kThree = {3, 3, 3, 3, 3, 3, 3, 3};
    constexpr words::I16x8 kEven = {-1, 0, -1, 0, -1, 0, -1, 0};
    words::I16x8 lo = {INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX, INT16_MAX};
    words::I16x8 hi = {INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN, INT16_MIN};
    for (; n + 4 <= whole; n += 4) {
      const words::I16x8 v = words::Load(p + n * kPoint);
      if (words::Any(reinterpret_cast<words::I16x8>(reinterpret_cast<words::U16x8>(v) - kFirst < kThree) & kEven))
        break;
      lo = words::Min(lo, v);
      hi = words::Max(hi, v);
    }
    if (n > 0) {
      // Folded within the registers, halves onto halves, until lanes 0 and 1 hold x and y.
      lo = words::Min(lo, __builtin_shufflevector(lo, lo, 4, 5, 6, 7, 0, 1, 2, 3));
      hi = words::Max(hi, __builtin_shufflevector(hi, hi, 4, 5, 6, 7, 0, 1, 2, 3));
      lo = words::Min(lo, __builtin_shufflevector(lo, lo, 2, 3, 0, 1, 6, 7, 4, 5));
      hi = words::Max(hi, __builtin_shufflevector(hi, hi, 2, 3, 0, 1, 6, 7, 4, 5));
      b = RunBox{lo[0], hi[0], lo[1], hi[1]};
    }
  }
#endif
  for (; n < whole && !F::IsPolygonMarker(F::Word(p + n * kPoint)); ++n) {
    const int32_t x = run.X(n), y = run.Y(n);
    b.MinX = std::min(b.MinX, x);
    b.MaxX = std::max(b.MaxX, x);
    b.MinY = std::min(b.MinY, y);
    b.MaxY = std::max(b.MaxY, y);
  }
  return run;
}

// Hands a run of points to the sink: whole, when the sink takes runs (Points(PolygonPart,
// PointRun<F>), so a sink that only folds numbers can keep them in registers), else one by one.
template <class F, class Sink>
void EmitPoints(Sink& sink, PolygonPart part, const PointRun<F>& run) {
  if constexpr (requires { sink.Points(part, run); }) {
    sink.Points(part, run);
  } else {
    for (size_t i = 0; i < run.count; ++i) sink.Point(part, run.X(i), run.Y(i));
  }
}

// Walks a polygon body after its head: the outline points up to the first marker, then the
// cut-outs (OpContour: one dropped value and points up to the next marker; OpHole: its body, after
// which values that are no marker are passed over up to the next marker), through OpPolyEnd and
// the value after it. sink needs Point(PolygonPart, int32_t x, int32_t y) (or Points for runs, see
// EmitPoints), EndBoundary(PolygonPart) and Hole(const HoleBody&). Returns false when the data ends
// inside the polygon.
template <class F, class Reader, class Sink>
bool WalkPolygonBody(Reader& r, Sink& sink) {
  uint8_t b[F::kHoleBody];
  auto read_value = [&](uint32_t& v) {
    if (!r.Read(b, F::kWord)) return false;
    v = F::Word(b);
    return true;
  };
  // Reads points up to the next marker, which it stores in marker. Points already buffered are
  // found in place and handed on as one run.
  auto read_points = [&](PolygonPart part, uint32_t& marker) {
    constexpr size_t kPoint = 2 * F::kWord;
    for (;;) {
      const std::span<const uint8_t> in = r.Buffered();
      const size_t whole = in.size() / kPoint;
      const PointRun<F> run = FindPointRun<F>(in.data(), whole);
      const size_t n = run.count;
      EmitPoints(sink, part, run);
      if (n < whole) {
        marker = F::Word(in.data() + n * kPoint);
        r.Advance(n * kPoint + F::kWord);
        sink.EndBoundary(part);
        return true;
      }
      r.Advance(n * kPoint);
      // A point across the end of the buffer, or the end of the data.
      uint32_t x;
      if (!read_value(x)) return false;
      if (F::IsPolygonMarker(x)) {
        marker = x;
        sink.EndBoundary(part);
        return true;
      }
      if (!r.Read(b, F::kWord)) return false;
      const int32_t sx = F::kWord == 2 ? int32_t(int16_t(x)) : int32_t(x);
      sink.Point(part, sx, F::Coord(b));
    }
  };
  uint32_t marker = 0;
  if (!read_points(PolygonPart::Outline, marker)) return false;
  while (marker != F::OpPolyEnd) {
    if (marker == F::OpContour) {
      uint32_t dropped;
      if (!read_value(dropped)) return false;
      if (!read_points(PolygonPart::Contour, marker)) return false;
    } else {  // OpHole
      if (!r.Read(b, F::kHoleBody)) return false;
      sink.Hole(F::DecodeHole(b));
      do {
        if (!read_value(marker)) return false;
      } while (!F::IsPolygonMarker(marker));
    }
  }
  uint32_t after;
  return read_value(after);
}

}  // namespace quarto
