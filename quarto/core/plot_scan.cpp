#include "core/plot_scan.h"

#include <algorithm>

#include "core/code_page.h"
#include "core/interface_texts.h"
#include "core/scan_walk.h"

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

template <class F>
void StoreHeader(PlotScanResult& res, const typename F::Header& h) {
  if constexpr (F::kFormat == PltFormat::Plt45)
    res.Header45 = h;
  else
    res.Header85 = h;
}

template <class F>
PlotScanResult Scan(PlotReader& r, LayerTable& table, bool russian, RecordWalk walk) {
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
  res.PseudoInchAvailable = res.Unit == PlotUnit::Mils;

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
  if (!res.Truncated) {
    const Walked w = walk == RecordWalk::Fast
                         ? WalkRecordsFast(F::kFormat, r, res.DrawBounds, res.HeaderBounds, res.Index)
                         : WalkRecords<F>(r, res.DrawBounds, res.HeaderBounds, res.Index);
    res.DrawBounds = w.draw;
    res.Truncated = w.cut;
  }
  return res;
}

}  // namespace

PlotScanResult ScanPlot(PlotReader& reader, PltFormat format, LayerTable& table, bool russian, RecordWalk walk) {
  return format == PltFormat::Plt45 ? Scan<Plt45>(reader, table, russian, walk)
                                    : Scan<Plt85>(reader, table, russian, walk);
}

PlotScanResult ScanPlotFile(const std::filesystem::path& path, PltFormat format, LayerTable& table, bool russian) {
  PlotReader reader = PlotReader::OpenFile(path, PlotReader::Access::Sequential);
  PlotScanResult res = ScanPlot(reader, format, table, russian);
  res.Index.ShrinkToFit();
  res.Stamp = reader.Stamp();
  return res;
}

}  // namespace quarto
