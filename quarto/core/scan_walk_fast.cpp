// The scan's fast record walk. WalkRecordsFast must give exactly what WalkRecords of
// core/scan_walk.h, the plain record-by-record walk, gives for the same data: the same index
// entries in the same order, the same bounds and the same answer to whether the data ends inside a
// record, wherever the reader's blocks begin and end. Nothing here may change what a record is or
// where it ends; it only gets there with fewer instructions and fewer mispredicted branches. The
// differential test (tests/core/scan_walk_test.cpp) compares the two walks over random plots with
// cut records and stray words.
//
// How: the records inside the reader's buffered block are read in place through a SpanReader; a
// record that runs past the block's end is rewound and read again through the reader. Lines
// without further vertices, rectangles, bars, circles and arcs are stepped without a branch on
// their kind. Polygon point runs are found up to their marker and measured in one pass, for PLT 4.5
// eight 16-bit words at a time with the vector types of core/word_vectors.h.
#include "core/scan_walk.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "core/plot_reader.h"
#include "core/plot_scan.h"
#include "core/plt_format.h"
#include "core/word_vectors.h"

namespace quarto {
namespace {

// Merges the box minX..maxX, minY..maxY of some points into draw when it lies wholly inside
// header, where every one of the points counts on every side; returns false and leaves draw alone
// otherwise (the points then go through ExtendBounds one by one). Written without branches
// but the result: a well-formed plot's boxes lie inside, which a branch predictor soon learns.
inline bool MergeBoxInside(PlotBounds& d, const PlotBounds& h, int64_t minX, int64_t maxX, int64_t minY, int64_t maxY) {
  // Inside when no difference is negative; coordinates are 32-bit values (a circle's corners
  // 34-bit at most), so the 64-bit differences cannot overflow.
  if (((minX - h.MinX) | (h.MaxX - maxX) | (minY - h.MinY) | (h.MaxY - maxY)) < 0) return false;
  d.MinX = minX < d.MinX ? minX : d.MinX;
  d.MaxX = maxX > d.MaxX ? maxX : d.MaxX;
  d.MinY = minY < d.MinY ? minY : d.MinY;
  d.MaxY = maxY > d.MaxY ? maxY : d.MaxY;
  return true;
}

// Grows draw by up to three points of one record as ExtendBounds does one by one (repeat a point
// for fewer): their box at once when it lies inside header, else point by point.
[[gnu::always_inline]] inline void ExtendBoundsBy3(PlotBounds& d, const PlotBounds& h, int64_t x1, int64_t y1,
                                                   int64_t x2, int64_t y2, int64_t x3, int64_t y3) {
  // Written as selections, which compilers turn into conditional moves: which of a record's
  // points is the smallest is no more predictable than its kind.
  auto lo = [](int64_t a, int64_t b) { return b < a ? b : a; };
  auto hi = [](int64_t a, int64_t b) { return b > a ? b : a; };
  if (MergeBoxInside(d, h, lo(lo(x1, x2), x3), hi(hi(x1, x2), x3), lo(lo(y1, y2), y3), hi(hi(y1, y2), y3))) return;
  ExtendBounds(d, h, x1, y1);
  ExtendBounds(d, h, x2, y2);
  ExtendBounds(d, h, x3, y3);
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

// Walks a polygon body after its head as WalkPolygonBody does, but hands the points already
// buffered to the sink as runs: sink needs Points(PolygonPart, const PointRun<F>&) besides
// what WalkPolygonBody needs.
template <class F, class Reader, class Sink>
bool WalkPolygonRuns(Reader& r, Sink& sink) {
  return WalkPolygonBoundaries<F>(r, sink, [&](PolygonPart part, uint32_t& marker) {
    constexpr size_t kPoint = 2 * F::kWord;
    for (;;) {
      const std::span<const uint8_t> in = r.Buffered();
      const size_t whole = in.size() / kPoint;
      const PointRun<F> run = FindPointRun<F>(in.data(), whole);
      sink.Points(part, run);
      if (run.count < whole) {
        marker = F::Word(in.data() + run.count * kPoint);
        r.Advance(run.count * kPoint + F::kWord);
        sink.EndBoundary(part);
        return true;
      }
      r.Advance(run.count * kPoint);
      // A point across the end of the buffer, or the end of the data.
      if (const BoundaryRead read = ReadBoundaryItem<F>(r, sink, part, marker); read != BoundaryRead::More)
        return read == BoundaryRead::Ended;
    }
  });
}

// The scan's polygon sink for runs: the bounds grow as BoundsSink grows them point by point. Runs
// of points are folded into local copies of the bounds, which stay in registers over the run.
struct RunBoundsSink : BoundsSink {
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
};

// The variable parts as the fast walk goes over them: PLT 4.5 line vertices read in place, polygon
// points in runs.
struct FastVariableParts {
  template <class Reader>
  static bool LineVertices45(Reader& r, uint32_t x2_word) {
    if (EndsPolyline45(x2_word)) return true;
    uint8_t v[4];
    for (;;) {
      // The vertices already buffered are passed over in place.
      const std::span<const uint8_t> in = r.Buffered();
      size_t used = 0;
      while (used + 4 <= in.size() && !EndsPolyline45(ReadLE16(in.data() + used))) used += 4;
      r.Advance(used);
      if (used + 4 <= in.size() || r.AtEnd()) return true;
      // A vertex across the end of the buffer, or the end of the data.
      if (!r.Peek(v, 2)) return false;
      if (EndsPolyline45(ReadLE16(v))) return true;
      if (!r.Read(v, 4)) return false;
    }
  }
  template <class F, class Reader>
  static bool Polygon(Reader& r, PlotBounds& draw, const PlotBounds& header) {
    RunBoundsSink sink{{draw, header}};
    const bool whole = WalkPolygonRuns<F>(r, sink);
    draw = sink.draw;
    return whole;
  }
};

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

// The fast walk of one format. The records inside the reader's buffered block are walked in
// place; a record that runs past the block's end is read again through the reader.
template <class F>
Walked Walk(PlotReader& r, const PlotBounds& draw, const PlotBounds& header, RecordIndex& index) {
  WalkState st{draw, header};
  for (;;) {
    const std::span<const uint8_t> in = r.Buffered();
    const uint64_t at = r.Tell();
    SpanReader s(in, at, at + in.size() >= r.Size());
    bool cut = false;
    while (s.Used() < in.size()) {
      if (StepFixedPrimitive<F>(s, st, index)) continue;
      const size_t start = s.Used();
      const Stepped step = StepRecord<F, FastVariableParts>(s, st);
      if (step.read != BodyRead::Whole && !s.Last()) {
        s.Rewind(start);
        break;
      }
      IndexStep(step, st, index);
      if (step.read != BodyRead::Whole) {
        cut = true;
        break;
      }
    }
    r.Advance(s.Used());
    if (cut) return {st.draw, true};
    if (r.AtEnd()) return {st.draw, false};
    const Stepped step = StepRecord<F, FastVariableParts>(r, st);
    IndexStep(step, st, index);
    if (step.read != BodyRead::Whole) return {st.draw, true};
  }
}

}  // namespace

Walked WalkRecordsFast(PltFormat format, PlotReader& r, const PlotBounds& draw, const PlotBounds& header,
                       RecordIndex& index) {
  return format == PltFormat::Plt45 ? Walk<Plt45>(r, draw, header, index) : Walk<Plt85>(r, draw, header, index);
}

}  // namespace quarto
