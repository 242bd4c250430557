#pragma once
// The walkers of the variable parts of plot records: the further vertices of a PLT 4.5 line, the
// string of a text, the outline and cut-outs of a polygon. They read item by item, as the format
// lays the items out, and are the reference for how a record is stepped over: the renderers draw
// through them, the scan's plain record walk (core/scan_walk.h) steps through them, and the scan's
// fast walk (core/scan_walk_fast.cpp) must end every record where they end it.
//
// Walkers read from a PlotReader, or from a SpanReader over bytes it has buffered (the same
// interface), positioned right after the record's fixed part, and return false when the data
// ends inside the record.
#include <cstdint>
#include <string>

#include "core/plot_reader.h"
#include "core/plt_format.h"

namespace quarto {

// Reads a text's string groups and appends the characters to *out (out may be null to only step
// over them). PLT 4.5: 4-byte groups, the characters before the first zero byte, ending with the
// group that holds it. PLT 8.5: 8-byte groups read in the byte order 3,2,1,0,7,6,5,4, zero bytes
// dropped, ending with the group whose byte 4 is zero. Escapes and the trailing apostrophe are the
// text decoder's business. Returns false when the data ends inside the string; *out then holds
// the characters read before the cut (a PLT 4.5 group's bytes one by one, a PLT 8.5 group's first
// word when it is whole).
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

// Reads the further vertices of a PLT 4.5 line (x2_word the raw second x of its fixed part). Calls
// on_vertex(x, y) for each and leaves the reader at the word that ended the list (normally the
// next record's code), or at the end of the data. Returns false when the data ends inside a
// vertex.
template <class Reader, class OnVertex>
bool ReadLineVertices45(Reader& r, uint32_t x2_word, OnVertex&& on_vertex) {
  if (EndsPolyline45(x2_word)) return true;
  uint8_t v[4];
  while (!r.AtEnd()) {
    if (!r.Peek(v, 2)) return false;
    if (EndsPolyline45(ReadLE16(v))) return true;
    if (!r.Read(v, 4)) return false;
    on_vertex(ReadLE16s(v), ReadLE16s(v + 2));
  }
  return true;
}

// The boundaries of a polygon: its outline, and the contours of its cut-outs.
enum class PolygonPart { Outline, Contour };

// How the reading of a polygon boundary (the outline or a contour) stands after an item.
enum class BoundaryRead { More, Ended, Cut };

// Reads one item of a polygon boundary: a point, handed to sink.Point, or the marker that ends the
// boundary, stored in marker (sink.EndBoundary is called). Only x values are markers: a y value is
// a coordinate whatever it holds.
template <class F, class Reader, class Sink>
inline BoundaryRead ReadBoundaryItem(Reader& r, Sink& sink, PolygonPart part, uint32_t& marker) {
  uint8_t x[F::kWord], y[F::kWord];
  if (!r.Read(x, F::kWord)) return BoundaryRead::Cut;
  if (F::IsPolygonMarker(F::Word(x))) {
    marker = F::Word(x);
    sink.EndBoundary(part);
    return BoundaryRead::Ended;
  }
  if (!r.Read(y, F::kWord)) return BoundaryRead::Cut;
  sink.Point(part, F::Coord(x), F::Coord(y));
  return BoundaryRead::More;
}

// Walks a polygon body after its head: the outline up to the first marker, then the cut-outs
// (OpContour: one dropped value and points up to the next marker; OpHole: its body, after which
// values that are no marker are passed over up to the next marker), through OpPolyEnd and the
// value after it. read_points(part, marker) reads one boundary's points up to its marker and
// returns false when the data ends first. Returns false when the data ends inside the polygon.
template <class F, class Reader, class Sink, class ReadPoints>
bool WalkPolygonBoundaries(Reader& r, Sink& sink, ReadPoints&& read_points) {
  uint8_t b[F::kHoleBody];
  auto read_value = [&](uint32_t& v) {
    if (!r.Read(b, F::kWord)) return false;
    v = F::Word(b);
    return true;
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

// Walks a polygon body after its head, point by point. sink needs Point(PolygonPart, int32_t x,
// int32_t y) for every outline and contour point, EndBoundary(PolygonPart) when the outline or a
// contour is complete, and Hole(const HoleBody&) for a round cut-out. Returns false when the data
// ends inside the polygon.
template <class F, class Reader, class Sink>
bool WalkPolygonBody(Reader& r, Sink& sink) {
  return WalkPolygonBoundaries<F>(r, sink, [&](PolygonPart part, uint32_t& marker) {
    for (;;) {
      if (const BoundaryRead read = ReadBoundaryItem<F>(r, sink, part, marker); read != BoundaryRead::More)
        return read == BoundaryRead::Ended;
    }
  });
}

}  // namespace quarto
