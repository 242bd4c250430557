#include "core/plot_scan.h"

#include <algorithm>

#include "core/code_page.h"
#include "core/interface_texts.h"

namespace quarto {

RecordIndex::PositionList& RecordIndex::PositionList::operator=(const PositionList& o) {
  if (this == &o) return *this;
  size_ = 0;
  Resize(o.size_);
  if (o.size_) std::memcpy(data_, o.data_, o.size_ * sizeof(uint64_t));
  size_ = o.size_;
  return *this;
}

void RecordIndex::PositionList::Resize(size_t capacity) {
  if (capacity == capacity_) return;
  if (capacity == 0) {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    return;
  }
  void* p = std::realloc(data_, capacity * sizeof(uint64_t));
  if (!p) throw std::bad_alloc();
  data_ = static_cast<uint64_t*>(p);
  capacity_ = capacity;
}

void RecordIndex::PositionList::Grow() { Resize(capacity_ < 64 ? 64 : capacity_ * 2); }

void RecordIndex::PositionList::ShrinkToFit() { Resize(size_); }

PlotBounds HeaderBoundsOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return PlotBounds{std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

PlotBounds InitialDrawBounds(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t cx = x1 + DivTrunc(x2 - x1, 2);
  const int64_t cy = y1 + DivTrunc(y2 - y1, 2);
  return PlotBounds{cx, cx + 1, cy, cy + 1};
}

PageOrientation OrientationOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  // Width over height greater than 1, decided without dividing so a zero height is well defined.
  const int64_t w = x1 > x2 ? x1 - x2 : x2 - x1;
  const int64_t h = y1 > y2 ? y1 - y2 : y2 - y1;
  return w > h ? PageOrientation::Landscape : PageOrientation::Portrait;
}

std::string FormatPanelText(PltFormat format) { return format == PltFormat::Plt45 ? "PLT 4" : "PLT 8"; }

std::string VersionPanelText(const PlotScanResult& result) { return std::to_string(result.Version); }

std::optional<std::string> UnitPanelText(PlotUnit unit, bool russian) {
  switch (unit) {
    case PlotUnit::Mils: return std::string(InterfaceTextFor(kRowUnitMils, russian));
    case PlotUnit::Metric: return std::string(InterfaceTextFor(kRowUnitMetric, russian));
    case PlotUnit::Other: break;
  }
  return std::nullopt;
}

std::string LayerNameToUtf8(std::string_view raw) { return DecodeToUtf8(CodePage::Cp1251, raw); }

namespace {

// Polygon sink of the scan: outline vertices grow the bounds, cut-outs do not. It grows its own
// copy (kept in registers over the walk); the caller copies it back.
struct BoundsSink {
  PlotBounds draw;
  const PlotBounds header;
  void Point(PolygonPart part, int32_t x, int32_t y) {
    if (part == PolygonPart::Outline) ExtendBounds(draw, header, x, y);
  }
  void EndBoundary(PolygonPart) {}
  void Hole(const HoleBody&) {}
};

// How far a primitive's body could be read.
enum class BodyRead {
  Whole,
  VariableCut,  // the fixed part is whole, the data ends inside the variable part
  FixedCut,     // the data ends inside the fixed part
};
inline BodyRead Variable(bool whole) { return whole ? BodyRead::Whole : BodyRead::VariableCut; }

// Reads one primitive's body (the reader right after its code): the fixed part, whose points grow
// the bounds, then the variable part exactly as the renderers read it.
template <class F>
BodyRead StepPrimitive(PlotReader& r, int kind, PlotBounds& draw, const PlotBounds& header) {
  uint8_t b[32];
  auto extend = [&](int64_t x, int64_t y) { ExtendBounds(draw, header, x, y); };
  // Each case reads its fixed part with a constant size, so the copy is a few moves.
  switch (kind) {
    case KindLine:
    case KindRect: {
      if (!r.Read(b, F::kFixedBody[KindLine])) return BodyRead::FixedCut;
      const LineBody l = F::DecodeLine(b);
      extend(l.X1, l.Y1);
      extend(l.X2, l.Y2);
      // Further vertices of a PLT 4.5 line are passed over; they do not grow the bounds.
      if constexpr (F::kFormat == PltFormat::Plt45) {
        if (kind == KindLine) return Variable(ReadLineVertices45(r, ReadLE16(b + 6), [](int32_t, int32_t) {}));
      }
      return BodyRead::Whole;
    }
    case KindBar: {
      if (!r.Read(b, F::kFixedBody[KindBar])) return BodyRead::FixedCut;
      const BarBody bar = F::DecodeBar(b);
      extend(bar.X1, bar.Y1);
      extend(bar.X2, bar.Y2);
      return BodyRead::Whole;
    }
    case KindCircle: {
      if (!r.Read(b, F::kFixedBody[KindCircle])) return BodyRead::FixedCut;
      const CircleBody c = F::DecodeCircle(b);
      const int64_t r64 = c.R;
      extend(c.Cx - r64, c.Cy - r64);
      extend(c.Cx + r64, c.Cy + r64);
      return BodyRead::Whole;
    }
    case KindArc: {
      if (!r.Read(b, F::kFixedBody[KindArc])) return BodyRead::FixedCut;
      const ArcBody a = F::DecodeArc(b);
      extend(a.Cx, a.Cy);
      extend(a.Xs, a.Ys);
      extend(a.Xe, a.Ye);
      return BodyRead::Whole;
    }
    case KindText: {
      if (!r.Read(b, F::kFixedBody[KindText])) return BodyRead::FixedCut;
      const TextBody t = F::DecodeText(b);
      extend(t.X, t.Y);
      return Variable(ReadTextString<F>(r, nullptr));
    }
    case KindPolygon: {
      if (!r.Read(b, F::kPolygonHead)) return BodyRead::FixedCut;
      BoundsSink sink{draw, header};
      const bool whole = WalkPolygonBody<F>(r, sink);
      draw = sink.draw;
      return Variable(whole);
    }
    default: return BodyRead::Whole;
  }
}

template <class F>
void StoreHeader(PlotScanResult& res, const typename F::Header& h) {
  if constexpr (F::kFormat == PltFormat::Plt45)
    res.Header45 = h;
  else
    res.Header85 = h;
}

template <class F>
PlotScanResult Scan(PlotReader& r, LayerTable& table, bool russian) {
  PlotScanResult res;
  res.Format = F::kFormat;
  r.Seek(0);
  uint8_t hb[F::kHeaderSize];
  if (!r.Read(hb, F::kHeaderSize)) throw PlotIoError(PlotIoError::Kind::ShortFile, kTextReadBeyondEnd);
  const typename F::Header h = F::DecodeHeader(hb);
  StoreHeader<F>(res, h);
  res.Version = h.Version;
  res.Unit = F::Unit(h);
  res.HeaderBounds = HeaderBoundsOf(h.X1, h.Y1, h.X2, h.Y2);
  res.DrawBounds = InitialDrawBounds(h.X1, h.Y1, h.X2, h.Y2);
  res.Orientation = OrientationOf(h.X1, h.Y1, h.X2, h.Y2);
  res.EnableN21 = res.Unit == PlotUnit::Mils;

  // Layer table: rows back in number order and off, then the named layers on.
  ResetLayerRows(table.Grid, russian);
  const int64_t names = F::LayerNameCount(h);
  for (int64_t i = 0; i < names; ++i) {
    uint8_t nb[F::kLayerNameSize];
    if (!r.Read(nb, F::kLayerNameSize)) {
      res.Truncated = true;
      break;
    }
    LayerNameRec rec = F::DecodeLayerName(nb);
    // A name for layer 19 names layer 16, where the records of OpLayer 19 are drawn.
    AddLayerName(table.Grid, MapLayerNumber(rec.Layer), LayerNameToUtf8(rec.Name), russian);
    res.LayerNames.push_back(std::move(rec));
  }
  ApplyLayerTable(table);

  // The record walk. The current layer starts at 0 (no layer) for every scan; records are indexed
  // only while it is 1..16.
  // The bounds grow in locals, which no store through the reader or the index can alias.
  int layer = 0;
  bool indexing = false;  // layer is 1..16
  PlotBounds draw = res.DrawBounds;
  const PlotBounds header = res.HeaderBounds;
  bool truncated = res.Truncated;
  uint8_t w[4];
  while (!truncated && !r.AtEnd()) {
    if (!r.Read(w, F::kWord)) {
      truncated = true;
      break;
    }
    const uint32_t code = F::Word(w);
    const int kind = F::KindOf(code);
    if (kind < 0) {
      if (code == F::OpLayer) {
        if (!r.Read(w, F::kLayerBody)) {
          truncated = true;
          break;
        }
        layer = F::LayerOfOpLayer(w);
        indexing = layer >= 1 && layer <= kMaxLayer;
      } else if (code == F::OpSkip) {
        if (!r.Skip(F::kSkipBody)) truncated = true;
      }
      continue;  // other words are no record: passed over one word at a time
    }
    const uint64_t body = r.Tell();
    const BodyRead read = StepPrimitive<F>(r, kind, draw, header);
    // A record whose fixed part is whole is indexed even when its variable part is cut: the
    // renderers draw what of it is whole and report the rest.
    if (read != BodyRead::FixedCut && indexing) res.Index.Add(kind, layer, body);
    if (read != BodyRead::Whole) truncated = true;
  }
  res.DrawBounds = draw;
  res.Truncated = truncated;
  return res;
}

}  // namespace

PlotScanResult ScanPlot(PlotReader& reader, PltFormat format, LayerTable& table, bool russian) {
  return format == PltFormat::Plt45 ? Scan<Plt45>(reader, table, russian) : Scan<Plt85>(reader, table, russian);
}

PlotScanResult ScanPlotFile(const std::filesystem::path& path, PltFormat format, LayerTable& table, bool russian) {
  PlotReader reader = PlotReader::OpenFile(path);
  PlotScanResult res = ScanPlot(reader, format, table, russian);
  res.Index.ShrinkToFit();
  res.Stamp = reader.Stamp();
  return res;
}

}  // namespace quarto
