#include "testsupport/random_plot.h"

#include <algorithm>
#include <random>
#include <string>

namespace quarto::test {

IndexEntries IndexOf(const PlotScanResult& res) {
  IndexEntries got;
  for (int k = 0; k < kPrimitiveKindCount; ++k)
    for (int l = 0; l < kLayerSlots; ++l) {
      const auto p = res.Index.Positions(k, l);
      if (!p.empty()) got[{k, l}] = std::vector<uint64_t>(p.begin(), p.end());
    }
  return got;
}

RandomPlot MakeRandomPlot(PltFormat format, uint32_t seed, size_t min_size, int lead_words) {
  const bool is45 = format == PltFormat::Plt45;
  const int32_t box = is45 ? 12000 : 60'000'000;  // header box +-box; points go to +-2 box
  std::mt19937 rng(seed);
  auto num = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  auto coord = [&] { return num(-2 * box, 2 * box); };
  RandomPlot p{PltWriter(format), InitialDrawBounds(box, -box, -box, box), {}};
  PltWriter& w = p.w;
  w.Header({.x1 = box, .y1 = -box, .x2 = -box, .y2 = box});
  for (int i = 0; i < lead_words; ++i) w.Word(0x1234);
  auto grow = [&](int64_t x, int64_t y) {
    PlotBounds& b = p.want;
    if (x >= -box) b.MinX = std::min(b.MinX, x);
    if (x <= box) b.MaxX = std::max(b.MaxX, x);
    if (y >= -box) b.MinY = std::min(b.MinY, y);
    if (y <= box) b.MaxY = std::max(b.MaxY, y);
  };
  int layer = num(0, 2);
  w.Layer(layer);
  bool after_line = false;
  do {
    const int kind = num(0, 99);
    uint64_t body = 0;
    int k = -1;
    if (kind < 3) {
      const int byte = num(0, 20);
      w.Layer(byte);
      layer = byte == 19 ? 16 : byte;
      after_line = false;
      continue;
    } else if (kind < 5) {
      w.Skip();
      after_line = false;
      continue;
    } else if (kind < 6) {
      // No record; after a PLT 4.5 line it would be read as a further vertex.
      if (!(is45 && after_line)) w.Word(static_cast<uint32_t>(num(1, 0x7FFF)));
      after_line = after_line && is45;
      continue;
    } else if (kind < 30) {
      const int32_t x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
      std::vector<test::PltPoint> more;
      if (is45 && num(0, 3) == 0)
        for (int v = num(1, 5); v > 0; --v) more.push_back({coord(), coord()});  // drawn, not measured
      body = w.Line(0, 1, x1, y1, x2, y2, more), k = KindLine;
      grow(x1, y1), grow(x2, y2);
    } else if (kind < 40) {
      const int32_t x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
      const bool rect = num(0, 1) == 1;
      body = rect ? w.Rect(0, 1, x1, y1, x2, y2) : w.Bar(x1, y1, x2, y2), k = rect ? KindRect : KindBar;
      grow(x1, y1), grow(x2, y2);
    } else if (kind < 55) {
      const int32_t cx = coord() / 2, cy = coord() / 2;
      const uint32_t r = static_cast<uint32_t>(num(0, is45 ? 65535 : box));
      body = w.Circle(0, 1, cx, cy, r, 0, 360, num(0, 1) == 1), k = KindCircle;
      grow(int64_t{cx} - r, int64_t{cy} - r), grow(int64_t{cx} + r, int64_t{cy} + r);
    } else if (kind < 65) {
      const int32_t cx = coord(), cy = coord(), xs = coord(), ys = coord(), xe = coord(), ye = coord();
      body = w.Arc(0, 1, cx, cy, xs, ys, xe, ye), k = KindArc;
      grow(cx, cy), grow(xs, ys), grow(xe, ye);
    } else if (kind < 75) {
      const int32_t x = coord(), y = coord();
      body = w.Text(x, y, 10, std::string(static_cast<size_t>(num(0, 17)), 'A')), k = KindText;
      grow(x, y);
    } else {
      std::vector<test::PltPoint> outline;
      for (int v = num(1, 30); v > 0; --v) {
        outline.push_back({coord(), coord()});
        grow(outline.back().x, outline.back().y);
      }
      std::vector<test::PltCutout> cut;
      if (num(0, 2) == 0) cut.emplace_back(test::PltContour{{{coord(), coord()}, {coord(), coord()}}});
      if (num(0, 2) == 0) cut.emplace_back(test::PltHole{coord(), coord(), 5});
      body = w.Polygon(1, outline, cut), k = KindPolygon;
    }
    if (layer >= 1 && layer <= kMaxLayer) p.index[{k, layer}].push_back(body);
    after_line = k == KindLine;
  } while (w.size() < min_size);
  return p;
}

}  // namespace quarto::test
