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

// Polygon sink of the scan: outline vertices grow the bounds, cut-outs do not. Runs of points are
// folded into local copies of the bounds, which stay in registers over the run.
struct BoundsSink {
  PlotBounds draw;
  const PlotBounds header;
  void Point(PolygonPart part, int32_t x, int32_t y) {
    if (part == PolygonPart::Outline) ExtendBounds(draw, header, x, y);
  }
  // The run's own box first; only a run that leaves the header box needs the point-by-point rule.
  template <class F>
  void Points(PolygonPart part, const PointRun<F>& run) {
    if (part != PolygonPart::Outline || run.count == 0) return;
    const RunBox& b = run.box;
    if (MergeBoxInside(draw, header, b.MinX, b.MaxX, b.MinY, b.MaxY)) return;
    PlotBounds d = draw;
    const PlotBounds h = header;
    for (size_t i = 0; i < run.count; ++i) ExtendBounds(d, h, run.X(i), run.Y(i));
    draw = d;
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
template <class F, class Reader>
BodyRead StepPrimitive(Reader& r, int kind, PlotBounds& draw, const PlotBounds& header) {
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

// What the record walk carries from one record to the next.
struct WalkState {
  PlotBounds draw;
  const PlotBounds header;
  int layer = 0;          // the current layer, 0 (no layer) before the first OpLayer
  bool indexing = false;  // layer is 1..16
};

// One step of the record walk: a primitive (kind >= 0, body its position) or another word.
struct Stepped {
  BodyRead read = BodyRead::Whole;
  int kind = -1;
  uint64_t body = 0;
};

// Steps over the word at the reader's position and, for a primitive, its body; an OpLayer record
// changes the current layer, an OpSkip record is passed over with its body, other words are no
// record and are passed over one at a time. Nothing of a step that could not be read whole
// changes the state, apart from bounds its whole points have grown.
template <class F, class Reader>
Stepped StepRecord(Reader& r, WalkState& st) {
  uint8_t w[4];
  if (!r.Read(w, F::kWord)) return {BodyRead::FixedCut};
  const uint32_t code = F::Word(w);
  if (const int kind = F::KindOf(code); kind >= 0) {
    const uint64_t body = r.Tell();
    return {StepPrimitive<F>(r, kind, st.draw, st.header), kind, body};
  }
  if (code == F::OpLayer) {
    if (!r.Read(w, F::kLayerBody)) return {BodyRead::FixedCut};
    st.layer = F::LayerOfOpLayer(w);
    st.indexing = st.layer >= 1 && st.layer <= kMaxLayer;
  } else if (code == F::OpSkip) {
    if (!r.Skip(F::kSkipBody)) return {BodyRead::FixedCut};
  }
  return {};
}

// Indexes a stepped primitive on the current layer. A record whose fixed part is whole is indexed
// even when its variable part is cut: the renderers draw what of it is whole and report the rest.
inline void Commit(const Stepped& step, const WalkState& st, RecordIndex& index) {
  if (step.kind >= 0 && step.read != BodyRead::FixedCut && st.indexing) index.Add(step.kind, st.layer, step.body);
}

// Steps over a primitive whose body is only its fixed part (a line without further vertices, a
// rectangle, bar, circle or arc) without a branch on its kind, reading in place. The kinds of a
// plot's records follow each other in no order a branch predictor could learn, and a mispredicted
// jump per record would cost more than all the rest of its step; here the kind only selects
// values. Their points lie at the same words of every such body: word 1 and 2 the first point (a
// circle's centre), words 3 and 4 the second (a circle's radius in word 3), words 5 and 6 an arc's
// third point. Returns false, having read nothing, for any other record or when fewer bytes than
// the largest such record and the word after it are buffered; the caller then takes the general
// step.
template <class F>
bool StepFixedPrimitive(SpanReader& s, WalkState& st, RecordIndex& index) {
  constexpr size_t kW = F::kWord;
  constexpr size_t kNeeded = kW + F::kFixedBody[KindArc] + kW;
  const std::span<const uint8_t> in = s.Buffered();
  if (in.size() < kNeeded) return false;
  const uint8_t* p = in.data();
  const int kind = F::KindOf(F::Word(p));
  if (kind < KindLine || kind > KindArc) return false;
  const uint8_t* body = p + kW;
  const size_t size = F::kFixedBody[static_cast<size_t>(kind)];
  // A PLT 4.5 line goes on with further vertices unless its second x or the word after its fixed
  // part is a record code.
  if constexpr (F::kFormat == PltFormat::Plt45) {
    // The word after a line's fixed part is word 5, which an arc's point is read from anyway:
    // the test needs no load of its own and is evaluated whole, so only its rare outcome is a
    // branch.
    const uint32_t x2 = F::Word(body + 3 * kW), after = F::Word(body + F::kFixedBody[KindLine]);
    const unsigned line = kind == KindLine;
    const unsigned ends = unsigned{EndsPolyline45(x2)} | unsigned{EndsPolyline45(after)};
    if (line > ends) return false;
  }
  // Every word is loaded and the kind chooses between values through masks, which compilers keep
  // free of branches (they turn a choice between two loads into a branch).
  const int64_t circle = -int64_t{kind == KindCircle}, arc = -int64_t{kind == KindArc};
  auto choose = [](int64_t mask, int64_t a, int64_t b) { return b ^ ((a ^ b) & mask); };
  const int64_t c1 = F::Coord(body + kW), c2 = F::Coord(body + 2 * kW);
  const int64_t c3 = F::Coord(body + 3 * kW), c4 = F::Coord(body + 4 * kW);
  const int64_t c5 = F::Coord(body + 5 * kW), c6 = F::Coord(body + 6 * kW);
  const int64_t radius = int64_t{F::Word(body + 3 * kW)} & circle;
  const int64_t x1 = c1 - radius, y1 = c2 - radius;
  const int64_t x2 = choose(circle, c1 + radius, c3), y2 = choose(circle, c2 + radius, c4);
  const int64_t x3 = choose(arc, c5, x1), y3 = choose(arc, c6, y1);
  ExtendBoundsBy3(st.draw, st.header, x1, y1, x2, y2, x3, y3);
  if (st.indexing) index.Add(kind, st.layer, s.Tell() + kW);
  s.Advance(kW + size);
  return true;
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
  // only while it is 1..16. The records inside the reader's buffered block are walked in place
  // (SpanReader); a record that runs past the block's end is read again through the reader.
  WalkState st{res.DrawBounds, res.HeaderBounds};
  bool truncated = res.Truncated;
  while (!truncated) {
    const std::span<const uint8_t> in = r.Buffered();
    const uint64_t at = r.Tell();
    SpanReader s(in, at, at + in.size() >= r.Size());
    while (s.Used() < in.size()) {
      if (StepFixedPrimitive<F>(s, st, res.Index)) continue;
      const size_t start = s.Used();
      const Stepped step = StepRecord<F>(s, st);
      if (step.read != BodyRead::Whole && !s.Last()) {
        s.Rewind(start);
        break;
      }
      Commit(step, st, res.Index);
      if (step.read != BodyRead::Whole) {
        truncated = true;
        break;
      }
    }
    r.Advance(s.Used());
    if (truncated || r.AtEnd()) break;
    const Stepped step = StepRecord<F>(r, st);
    Commit(step, st, res.Index);
    if (step.read != BodyRead::Whole) truncated = true;
  }
  res.DrawBounds = st.draw;
  res.Truncated = truncated;
  return res;
}

}  // namespace

PlotScanResult ScanPlot(PlotReader& reader, PltFormat format, LayerTable& table, bool russian) {
  return format == PltFormat::Plt45 ? Scan<Plt45>(reader, table, russian) : Scan<Plt85>(reader, table, russian);
}

PlotScanResult ScanPlotFile(const std::filesystem::path& path, PltFormat format, LayerTable& table, bool russian) {
  PlotReader reader = PlotReader::OpenFile(path, PlotReader::Access::Sequential);
  PlotScanResult res = ScanPlot(reader, format, table, russian);
  res.Index.ShrinkToFit();
  res.Stamp = reader.Stamp();
  return res;
}

}  // namespace quarto
