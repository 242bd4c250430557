#include "core/plot_scan.h"

#include <algorithm>

#include "core/code_page.h"
#include "core/interface_texts.h"

namespace quarto {

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

// Polygon sink of the scan: outline vertices grow the bounds, cut-outs do not.
struct BoundsSink {
  PlotBounds& draw;
  const PlotBounds& header;
  void Point(PolygonPart part, int32_t x, int32_t y) {
    if (part == PolygonPart::Outline) ExtendBounds(draw, header, x, y);
  }
  void EndBoundary(PolygonPart) {}
  void Hole(const HoleBody&) {}
};

// Reads one primitive's body (the reader right after its code): the fixed part, whose points grow
// the bounds, then the variable part exactly as the renderers read it. False when the data ends
// inside the body.
template <class F>
bool StepPrimitive(PlotReader& r, int kind, PlotBounds& draw, const PlotBounds& header) {
  uint8_t b[32];
  auto extend = [&](int64_t x, int64_t y) { ExtendBounds(draw, header, x, y); };
  // Each case reads its fixed part with a constant size, so the copy is a few moves.
  switch (kind) {
    case KindLine:
    case KindRect: {
      if (!r.Read(b, F::kFixedBody[KindLine])) return false;
      const LineBody l = F::DecodeLine(b);
      extend(l.X1, l.Y1);
      extend(l.X2, l.Y2);
      // Further vertices of a PLT 4.5 line are passed over; they do not grow the bounds.
      if constexpr (F::kFormat == PltFormat::Plt45) {
        if (kind == KindLine) return ReadLineVertices45(r, ReadLE16(b + 6), [](int32_t, int32_t) {});
      }
      return true;
    }
    case KindBar: {
      if (!r.Read(b, F::kFixedBody[KindBar])) return false;
      const BarBody bar = F::DecodeBar(b);
      extend(bar.X1, bar.Y1);
      extend(bar.X2, bar.Y2);
      return true;
    }
    case KindCircle: {
      if (!r.Read(b, F::kFixedBody[KindCircle])) return false;
      const CircleBody c = F::DecodeCircle(b);
      const int64_t r64 = c.R;
      extend(c.Cx - r64, c.Cy - r64);
      extend(c.Cx + r64, c.Cy + r64);
      return true;
    }
    case KindArc: {
      if (!r.Read(b, F::kFixedBody[KindArc])) return false;
      const ArcBody a = F::DecodeArc(b);
      extend(a.Cx, a.Cy);
      extend(a.Xs, a.Ys);
      extend(a.Xe, a.Ye);
      return true;
    }
    case KindText: {
      if (!r.Read(b, F::kFixedBody[KindText])) return false;
      const TextBody t = F::DecodeText(b);
      extend(t.X, t.Y);
      return ReadTextString<F>(r, nullptr);
    }
    case KindPolygon: {
      if (!r.Read(b, F::kPolygonHead)) return false;
      BoundsSink sink{draw, header};
      return WalkPolygonBody<F>(r, sink);
    }
    default: return true;
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
  int layer = 0;
  uint8_t w[4];
  while (!res.Truncated && !r.AtEnd()) {
    if (!r.Read(w, F::kWord)) {
      res.Truncated = true;
      break;
    }
    const uint32_t code = F::Word(w);
    if (code == F::OpLayer) {
      if (!r.Read(w, F::kLayerBody)) {
        res.Truncated = true;
        break;
      }
      layer = F::LayerOfOpLayer(w);
      continue;
    }
    if (code == F::OpSkip) {
      if (!r.Skip(F::kSkipBody)) res.Truncated = true;
      continue;
    }
    const int kind = F::KindOf(code);
    if (kind < 0) continue;  // no record: passed over one word at a time
    const uint64_t body = r.Tell();
    if (!StepPrimitive<F>(r, kind, res.DrawBounds, res.HeaderBounds)) {
      res.Truncated = true;
      break;
    }
    if (layer >= 1 && layer <= kMaxLayer) res.Index.Add(kind, layer, body);
  }
  return res;
}

}  // namespace

PlotScanResult ScanPlot(PlotReader& reader, PltFormat format, LayerTable& table, bool russian) {
  return format == PltFormat::Plt45 ? Scan<Plt45>(reader, table, russian) : Scan<Plt85>(reader, table, russian);
}

PlotScanResult ScanPlotFile(const std::filesystem::path& path, PltFormat format, LayerTable& table, bool russian) {
  PlotReader reader = PlotReader::OpenFile(path);
  return ScanPlot(reader, format, table, russian);
}

}  // namespace quarto
