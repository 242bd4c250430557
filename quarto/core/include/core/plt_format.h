#pragma once
// The two plot file formats, PLT 4.5 (16-bit little-endian words) and PLT 8.5 (32-bit big-endian
// words): the one definition of their layouts and the decoders of their fixed parts, in the order
// a reader meets them. First what both share: the drawn kinds of record, the layers, the bodies as
// they decode. Then each format: its header, its layer-name record, its record codes and the
// fixed part of every body. Last how the first bytes tell the format and a record code its kind.
//
// A file is a header, a run of layer-name records, then records up to its end: a record code and a
// body whose layout the code fixes. The variable parts of bodies (further vertices of a PLT 4.5
// line, text strings, polygon outlines and cut-outs) have no fixed size; core/plt_walk.h walks
// them.
//
// Plt45 and Plt85 are format traits with the same members; code that works on both formats is a
// template over them. Coordinates are decoded to int32_t (PLT 4.5 values are sign-extended from 16
// bits) and radii to uint32_t; do arithmetic on them in int64_t.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/numeric.h"

namespace quarto {

// ---- What both formats share -------------------------------------------------------------------

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

// A record belongs to the layer of the last OpLayer record before it; the layer number 19 of an
// OpLayer record selects layer 16 in both formats. Layers 1..16 are drawn.
inline int MapLayerNumber(int n) { return n == 19 ? 16 : n; }
inline constexpr int kMaxLayer = 16;
inline constexpr int kLayerSlots = 17;  // layers 0..16

// Byte order: PLT 4.5 fields are little-endian, PLT 8.5 fields big-endian.
inline uint32_t SwapLong(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24); }
inline int32_t ReadLE16s(const uint8_t* p) { return static_cast<int16_t>(ReadLE16(p)); }
inline int32_t ReadBE32s(const uint8_t* p) { return static_cast<int32_t>(ReadBE32(p)); }

// The unit of the header's unit code; any code other than the two is scaled like metric.
enum class PlotUnit { Mils, Metric, Other };

// A layer-name record: the name's raw 8-bit bytes (up to the first zero, at most 6 or 8) and the
// layer number as stored (not mapped, not checked).
struct LayerNameRec {
  std::string Name;
  int32_t Layer = 0;
};

// The fixed parts of the record bodies, decoded; the same for both formats.
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
struct HoleBody {  // a round cut-out of a polygon
  int32_t Cx = 0, Cy = 0;
  uint32_t R = 0;
};

// The justification code (25..43) of a text, 0 when it has none: PLT 4.5 keeps the code itself,
// PLT 8.5 keeps twice the code.
int TextJustificationCode(PltFormat format, uint8_t justification);

// ---- PLT 4.5 -----------------------------------------------------------------------------------

inline constexpr uint16_t Plot45Magic = 0x804E;  // bytes 4E 80

struct Plot45Header {           // 20 bytes at offset 0, little-endian
  uint16_t Magic = 0;           // +0
  uint16_t Version = 0;         // +2
  int16_t X1 = 0, Y1 = 0;       // +4, +6: first corner of the header box
  int16_t X2 = 0, Y2 = 0;       // +8, +10: the opposite corner (the corners come in any order)
  int16_t UnitCode = 0;         // +12: 2 mils, 7 metric
  uint16_t Multiplier = 0;      // +14: one file unit is M hundredths of a mm (metric) or M mils
  uint16_t LayerNameCount = 0;  // +16; 2 bytes unused follow
};
Plot45Header DecodePlot45Header(const uint8_t* p);  // 20 bytes

// Layer-name records (8 bytes each) follow the header: 6 name bytes, the layer number, one unused
// byte. Then the records: a 16-bit code and its body.
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
  static constexpr uint32_t OpContour = 0x807E;  // the three markers inside a polygon
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

// OpLayer, 2 bytes: +1 the layer number. OpLine and OpRect, 10 bytes: +0 style, +1 pen width
// (bytes), +2 x1, +4 y1, +6 x2, +8 y2 (i16); a line goes on with further vertices up to the next
// record code.
inline LineBody Plt45::DecodeLine(const uint8_t* p) {
  return LineBody{p[0], p[1], Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8)};
}
// True when a PLT 4.5 word ends a line's list of further vertices (0x8000..0x81FF: a record code).
// A second x in that range also means the line has none.
inline bool EndsPolyline45(uint32_t x_word) { return x_word >= 0x8000 && x_word <= 0x81FF; }
// OpBar, 10 bytes: +0 unused, +2 x1, +4 y1, +6 x2, +8 y2.
inline BarBody Plt45::DecodeBar(const uint8_t* p) {
  return BarBody{Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8)};
}
// OpCircle (either code), 14 bytes: +0 style, +1 pen width, +2 centre x, +4 centre y, +6 radius
// (u16), +8 unused, +10 start angle, +12 end angle (degrees).
inline CircleBody Plt45::DecodeCircle(const uint8_t* p) {
  return CircleBody{p[0], p[1], Coord(p + 2), Coord(p + 4), ReadLE16(p + 6), ReadLE16(p + 10), ReadLE16(p + 12)};
}
// OpArc, 14 bytes: +0 style, +1 pen width, +2 centre x, +4 centre y, +6 start x, +8 start y,
// +10 end x, +12 end y.
inline ArcBody Plt45::DecodeArc(const uint8_t* p) {
  return ArcBody{p[0], p[1], Coord(p + 2), Coord(p + 4), Coord(p + 6), Coord(p + 8), Coord(p + 10), Coord(p + 12)};
}
// OpText, 10 bytes: +0 unused, +2 anchor x, +4 anchor y, +6 flags, +7 height low, +8 height high,
// +9 justification code; then the string in 4-byte groups.
inline TextBody Plt45::DecodeText(const uint8_t* p) {
  return TextBody{Coord(p + 2), Coord(p + 4), p[6], static_cast<uint32_t>(p[7] + 128u * p[8]), p[9]};
}
// OpPolygon: a 2-byte head (+1 pen width), then the outline and the cut-outs. OpHole's body inside
// a polygon, 10 bytes: +0 unused, +2 centre x, +4 centre y, +6 radius (u16), +8 unused. OpSkip: 6
// bytes, ignored.
inline HoleBody Plt45::DecodeHole(const uint8_t* p) { return HoleBody{Coord(p + 2), Coord(p + 4), ReadLE16(p + 6)}; }

// ---- PLT 8.5 -----------------------------------------------------------------------------------

inline constexpr uint32_t Plot85Magic = 0x800003BE;  // bytes 80 00 03 BE

struct Plot85Header {          // 40 bytes at offset 0, big-endian; fields here in machine order
  uint32_t Magic = 0;          // +0
  int32_t Version = 0;         // +4
  int32_t X1 = 0, Y1 = 0;      // +8, +12
  int32_t X2 = 0, Y2 = 0;      // +16, +20
  int32_t UnitCode = 0;        // +24: 8 mils, 9 metric
  uint32_t Unused28 = 0;       // +28
  int32_t LayerNameCount = 0;  // +32: 0 or less: none; 4 bytes unused follow
};
Plot85Header DecodePlot85Header(const uint8_t* p);  // 40 bytes

// Layer-name records (16 bytes each) follow the header: 8 name bytes read in the order 3,2,1,0,
// 7,6,5,4, 4 unused, the layer number (i32). Then the records: a 32-bit code and its body.
struct Plt85 {
  static constexpr PltFormat kFormat = PltFormat::Plt85;
  using Header = Plot85Header;
  static constexpr size_t kWord = 4;
  static constexpr size_t kHeaderSize = 40;
  static constexpr size_t kLayerNameSize = 16;
  static constexpr size_t kNameBytes = 8;

  // Each code is the PLT 4.5 code c as 0x80000000 + (c - 0x8000) + 0x370.
  static constexpr uint32_t OpLayer = 0x80000419;
  static constexpr uint32_t OpLine = 0x80000418;
  static constexpr uint32_t OpRect = 0x80000417;
  static constexpr uint32_t OpBar = 0x80000416;
  static constexpr uint32_t OpCircle = 0x80000415;
  static constexpr uint32_t OpArc = 0x800003EA;
  static constexpr uint32_t OpText = 0x80000412;
  static constexpr uint32_t OpPolygon = 0x80000413;
  static constexpr uint32_t OpSkip = 0x80000405;
  static constexpr uint32_t OpContour = 0x800003EE;  // the three markers inside a polygon
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

// OpLayer, 4 bytes: +1 the layer number. OpLine and OpRect, 20 bytes: +0 pen width, +2 style
// (u16), +4 x1, +8 y1, +12 x2, +16 y2 (i32); a PLT 8.5 line is one segment.
inline LineBody Plt85::DecodeLine(const uint8_t* p) {
  return LineBody{ReadBE16(p + 2), ReadBE16(p), Coord(p + 4), Coord(p + 8), Coord(p + 12), Coord(p + 16)};
}
// OpBar, 20 bytes: +0 unused, +4 x1, +8 y1, +12 x2, +16 y2.
inline BarBody Plt85::DecodeBar(const uint8_t* p) {
  return BarBody{Coord(p + 4), Coord(p + 8), Coord(p + 12), Coord(p + 16)};
}
// OpCircle, a full circle, 28 bytes: +0 pen width, +2 style, +4 centre x, +8 centre y, +12 radius
// (u32), +16 unused.
inline CircleBody Plt85::DecodeCircle(const uint8_t* p) {
  return CircleBody{ReadBE16(p + 2), ReadBE16(p), Coord(p + 4), Coord(p + 8), ReadBE32(p + 12), 0, 0};
}
// OpArc, 28 bytes: +0 pen width, +2 style, +4 centre x, +8 centre y, +12 start x, +16 start y,
// +20 end x, +24 end y.
inline ArcBody Plt85::DecodeArc(const uint8_t* p) {
  return ArcBody{ReadBE16(p + 2), ReadBE16(p),   Coord(p + 4),  Coord(p + 8),
                 Coord(p + 12),   Coord(p + 16), Coord(p + 20), Coord(p + 24)};
}
// OpText, 20 bytes: +0 unused, +4 anchor x, +8 anchor y, +12 unused, +14 flags (u16; the low byte
// of flags >> 3 is the justification value), +16 height (u32); then the string in 8-byte groups.
inline TextBody Plt85::DecodeText(const uint8_t* p) {
  const uint16_t flags = ReadBE16(p + 14);
  return TextBody{Coord(p + 4), Coord(p + 8), flags, ReadBE32(p + 16), static_cast<uint8_t>((flags >> 3) & 0xFF)};
}
// OpPolygon: a 4-byte head (+0 pen width, u16), then the outline and the cut-outs. OpHole's body
// inside a polygon, 20 bytes: +0 unused, +4 centre x, +8 centre y, +12 radius (u32), +16 unused.
// OpSkip: 12 bytes, ignored.
inline HoleBody Plt85::DecodeHole(const uint8_t* p) { return HoleBody{Coord(p + 4), Coord(p + 8), ReadBE32(p + 12)}; }

// ---- The format of a file, the kind of a record code ---------------------------------------------

// Signature of the first bytes: 80 00 03 BE is PLT 8.5, 4E 80 is PLT 4.5, anything else unknown
// (std::nullopt). The caller must hand at least 4 bytes (a shorter file is a read error).
std::optional<PltFormat> DetectPltFormat(std::span<const uint8_t, 4> first);

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

}  // namespace quarto
