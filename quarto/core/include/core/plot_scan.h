#pragma once
// The scan pass: one sequential read of a plot file that prepares everything drawing needs
// without keeping the plot in memory. It reads the header and the layer names, resets and fills
// the layer table (named layers on, names as "A,B,"), calls ApplyLayerTable before the record walk,
// stores the body position of every primitive in RecordIndex under its kind and layer, and grows
// DrawBounds inside HeaderBounds. The result also carries what the status bar, the pseudo-inch menu
// item N21 and the page orientation need.
//
// Use: ScanPlotFile(path, format, table, russian) after DetectPltFormat chose the format. It throws
// PlotIoError when the file cannot be opened or is too short for its header (the table is then left
// untouched). A body cut short by the end of the file ends the walk: what was indexed stays (a
// record whose fixed part is whole is indexed even when its variable part is cut), the steps
// after the walk still run, and PlotScanResult::Truncated asks the caller to report
// kTextReadBeyondEnd once. The file is closed on every path.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/layer_table.h"
#include "core/plot_reader.h"
#include "core/plt_format.h"

namespace quarto {

// File positions of the record bodies, per primitive kind (PrimitiveKind) and layer 0..16, in file
// order. Layer 0 stays empty: records outside layers 1..16 are never indexed. Positions are 64-bit
// and the lists grow as needed, so any number of records of one kind on one layer is kept.
class RecordIndex {
 public:
  void Clear() {
    for (auto& kind : positions_)
      for (auto& layer : kind) layer.Clear();
  }
  void Add(int kind, int layer, uint64_t position) {
    positions_[static_cast<size_t>(kind)][static_cast<size_t>(layer)].Push(position);
  }
  // Empty for a kind or layer out of range.
  std::span<const uint64_t> Positions(int kind, int layer) const {
    if (kind < 0 || kind >= kPrimitiveKindCount || layer < 0 || layer >= kLayerSlots) return {};
    return positions_[static_cast<size_t>(kind)][static_cast<size_t>(layer)].View();
  }
  size_t RecordCount(int kind, int layer) const { return Positions(kind, layer).size(); }
  // Bytes the position lists hold (their capacity).
  size_t MemoryBytes() const {
    size_t n = 0;
    for (const auto& kind : positions_)
      for (const auto& layer : kind) n += layer.Capacity() * sizeof(uint64_t);
    return n;
  }
  size_t Total() const {
    size_t n = 0;
    for (const auto& kind : positions_)
      for (const auto& layer : kind) n += layer.Size();
    return n;
  }
  // Gives back the room the lists grew into beyond their records (after the scan).
  void ShrinkToFit() {
    for (auto& kind : positions_)
      for (auto& layer : kind) layer.ShrinkToFit();
  }

 private:
  // A growing array of positions on the C heap: growing and shrinking a large one moves its pages
  // in the address space (realloc) instead of copying them, and the room grown into costs no
  // memory until it is written.
  class PositionList {
   public:
    PositionList() = default;
    PositionList(const PositionList& o) { *this = o; }
    PositionList& operator=(const PositionList& o);
    PositionList(PositionList&& o) noexcept { Swap(o); }
    PositionList& operator=(PositionList&& o) noexcept {
      PositionList tmp(std::move(o));
      Swap(tmp);
      return *this;
    }
    ~PositionList() { std::free(data_); }
    void Push(uint64_t v) {
      if (size_ == capacity_) Grow();
      data_[size_++] = v;
    }
    void Clear() { size_ = 0; }
    void ShrinkToFit();
    std::span<const uint64_t> View() const { return {data_, size_}; }
    size_t Size() const { return size_; }
    size_t Capacity() const { return capacity_; }

   private:
    void Grow();
    void Resize(size_t capacity);
    void Swap(PositionList& o) noexcept {
      std::swap(data_, o.data_);
      std::swap(size_, o.size_);
      std::swap(capacity_, o.capacity_);
    }
    uint64_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
  };
  std::array<std::array<PositionList, kLayerSlots>, kPrimitiveKindCount> positions_;
};

// A box in file units, sorted per axis (Min <= Max for HeaderBounds).
struct PlotBounds {
  int64_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  bool operator==(const PlotBounds&) const = default;
};

// The header box's corners sorted per axis.
PlotBounds HeaderBoundsOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
// The one-unit box at the header box's centre, x1 + (x2 - x1) / 2 truncated toward zero with the
// corners in their header order, that DrawBounds starts from.
PlotBounds InitialDrawBounds(int64_t x1, int64_t y1, int64_t x2, int64_t y2);
// Grows draw by the point, each of the four sides separately and only inside header. Written
// without branches: the points of a plot come in no order a branch predictor could learn.
inline void ExtendBounds(PlotBounds& d, const PlotBounds& h, int64_t x, int64_t y) {
  // A value outside the header box is replaced by one that cannot win, so each side depends on
  // its previous value through one comparison only.
  const int64_t loX = x >= h.MinX ? x : INT64_MAX, hiX = x <= h.MaxX ? x : INT64_MIN;
  const int64_t loY = y >= h.MinY ? y : INT64_MAX, hiY = y <= h.MaxY ? y : INT64_MIN;
  d.MinX = loX < d.MinX ? loX : d.MinX;
  d.MaxX = hiX > d.MaxX ? hiX : d.MaxX;
  d.MinY = loY < d.MinY ? loY : d.MinY;
  d.MaxY = hiY > d.MaxY ? hiY : d.MaxY;
}

enum class PageOrientation { Portrait, Landscape };
// Landscape when the header box is wider than high (a zero-height box of positive width too);
// portrait otherwise, a square or an empty box included.
PageOrientation OrientationOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2);

struct PlotScanResult {
  PltFormat Format = PltFormat::Plt45;
  Plot45Header Header45;  // filled for PLT 4.5
  Plot85Header Header85;  // filled for PLT 8.5 (fields in machine order)
  int64_t Version = 0;    // PLT 4.5 unsigned 16-bit, PLT 8.5 signed 32-bit
  PlotUnit Unit = PlotUnit::Other;
  PlotBounds HeaderBounds;
  PlotBounds DrawBounds;
  RecordIndex Index;
  // Layer-name records in file order, names as raw 8-bit bytes and layer numbers as stored; the
  // table takes layer 19 as 16 (as OpLayer records do), records for other layers outside 1..16
  // are listed here but left out of the table.
  std::vector<LayerNameRec> LayerNames;
  bool PseudoInchAvailable = false;  // a mil file: an inch may be taken as 2.5 cm
  PageOrientation Orientation = PageOrientation::Portrait;
  // The file ended inside a record (or the layer names); report kTextReadBeyondEnd once.
  bool Truncated = false;
  // Size and modification time of the scanned file (ScanPlotFile); drawing compares them with
  // the file it opens, so a plot rewritten since the scan is not drawn from stale positions.
  FileStamp Stamp;
};

// Status panel 3: "PLT 4" or "PLT 8".
std::string FormatPanelText(PltFormat format);
// Status panel 5: the version in decimal.
std::string VersionPanelText(const PlotScanResult& result);
// Status panel 7: "Псевдодюйм"/"Mils" or "Метрика"/"Metrics"; nullopt for other unit codes (the
// panel keeps its text).
std::optional<std::string> UnitPanelText(PlotUnit unit, bool russian);

// Layer names are 8-bit text of the Windows Cyrillic code page; the table shows them as UTF-8.
std::string LayerNameToUtf8(std::string_view raw);

// How the scan walks the records: Fast, or Reference, the plain walk record by record whose results
// the fast one must equal (the tests compare the two).
enum class RecordWalk { Fast, Reference };

// The scan of an open reader (positioned anywhere; the scan starts at offset 0).
PlotScanResult ScanPlot(PlotReader& reader, PltFormat format, LayerTable& table, bool russian,
                        RecordWalk walk = RecordWalk::Fast);
// Opens the file read-only, scans it and closes it.
PlotScanResult ScanPlotFile(const std::filesystem::path& path, PltFormat format, LayerTable& table, bool russian);

}  // namespace quarto
