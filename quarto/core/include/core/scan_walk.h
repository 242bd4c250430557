#pragma once
// The scan's record walk, record by record: the reference. From the first record on it reads one
// word, acts on it (a primitive's body is read and indexed, an OpLayer record changes the current
// layer, an OpSkip record is passed over with its body, any other word is passed over alone) and
// goes on to the end of the data or the first record the data cuts short. The scan takes the fast
// walk of core/scan_walk_fast.cpp, which must give exactly what this one gives; the differential
// test compares the two.
#include <cstdint>

#include "core/plot_reader.h"
#include "core/plot_scan.h"
#include "core/plt_format.h"
#include "core/plt_walk.h"

namespace quarto {

// What the record walk carries from one record to the next.
struct WalkState {
  PlotBounds draw;
  const PlotBounds header;
  int layer = 0;          // the current layer, 0 (no layer) before the first OpLayer
  bool indexing = false;  // layer is 1..16
};

// How far a primitive's body could be read.
enum class BodyRead {
  Whole,
  VariableCut,  // the fixed part is whole, the data ends inside the variable part
  FixedCut,     // the data ends inside the fixed part
};
inline BodyRead VariableRead(bool whole) { return whole ? BodyRead::Whole : BodyRead::VariableCut; }

// One step of the record walk: a primitive (kind >= 0, body its position) or another word.
struct Stepped {
  BodyRead read = BodyRead::Whole;
  int kind = -1;
  uint64_t body = 0;
};

// Polygon sink of the scan: outline vertices grow the bounds, cut-outs do not.
struct BoundsSink {
  PlotBounds draw;
  const PlotBounds header;
  void Point(PolygonPart part, int32_t x, int32_t y) {
    if (part == PolygonPart::Outline) ExtendBounds(draw, header, x, y);
  }
  void EndBoundary(PolygonPart) {}
  void Hole(const HoleBody&) {}
};

// How the record step goes over the further vertices of a PLT 4.5 line and over a polygon: here
// through the plain walkers of core/plt_walk.h. The fast walk has its own, which must end every
// record at the same place and grow the bounds alike.
struct PlainVariableParts {
  // The further vertices of a PLT 4.5 line: passed over, they do not grow the bounds.
  template <class Reader>
  static bool LineVertices45(Reader& r, uint32_t x2_word) {
    return ReadLineVertices45(r, x2_word, [](int32_t, int32_t) {});
  }
  // A polygon after its head: the outline grows the bounds.
  template <class F, class Reader>
  static bool Polygon(Reader& r, PlotBounds& draw, const PlotBounds& header) {
    BoundsSink sink{draw, header};
    const bool whole = WalkPolygonBody<F>(r, sink);
    draw = sink.draw;
    return whole;
  }
};

// Reads one primitive's body (the reader right after its code): the fixed part, whose points grow
// the bounds, then the variable part exactly as the renderers read it.
template <class F, class Parts, class Reader>
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
      if constexpr (F::kFormat == PltFormat::Plt45) {
        if (kind == KindLine) return VariableRead(Parts::LineVertices45(r, ReadLE16(b + 6)));
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
      return VariableRead(ReadTextString<F>(r, nullptr));
    }
    case KindPolygon: {
      if (!r.Read(b, F::kPolygonHead)) return BodyRead::FixedCut;
      return VariableRead(Parts::template Polygon<F>(r, draw, header));
    }
    default: return BodyRead::Whole;
  }
}

// Steps over the word at the reader's position and, for a primitive, its body; an OpLayer record
// changes the current layer, an OpSkip record is passed over with its body, other words are no
// record and are passed over one at a time. Nothing of a step that could not be read whole
// changes the state, apart from bounds its whole points have grown.
template <class F, class Parts, class Reader>
Stepped StepRecord(Reader& r, WalkState& st) {
  uint8_t w[4];
  if (!r.Read(w, F::kWord)) return {BodyRead::FixedCut};
  const uint32_t code = F::Word(w);
  if (const int kind = F::KindOf(code); kind >= 0) {
    const uint64_t body = r.Tell();
    return {StepPrimitive<F, Parts>(r, kind, st.draw, st.header), kind, body};
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
inline void IndexStep(const Stepped& step, const WalkState& st, RecordIndex& index) {
  if (step.kind >= 0 && step.read != BodyRead::FixedCut && st.indexing) index.Add(step.kind, st.layer, step.body);
}

// Where a record walk ended: the bounds its points grew, and whether the data ended inside a record.
struct Walked {
  PlotBounds draw;
  bool cut = false;
};

// Walks the records from the reader's position to the end of the data, from the bounds draw and
// outside any layer. A record that the data cuts short ends the walk; what was whole by then is
// indexed, and so is a record whose fixed part is whole.
template <class F>
Walked WalkRecords(PlotReader& r, const PlotBounds& draw, const PlotBounds& header, RecordIndex& index) {
  WalkState st{draw, header};
  while (!r.AtEnd()) {
    const Stepped step = StepRecord<F, PlainVariableParts>(r, st);
    IndexStep(step, st, index);
    if (step.read != BodyRead::Whole) return {st.draw, true};
  }
  return {st.draw, false};
}

// The scan's fast walk (core/scan_walk_fast.cpp): for the same data and arguments it returns what
// WalkRecords returns and indexes the same positions in the same order.
Walked WalkRecordsFast(PltFormat format, PlotReader& r, const PlotBounds& draw, const PlotBounds& header,
                       RecordIndex& index);

}  // namespace quarto
