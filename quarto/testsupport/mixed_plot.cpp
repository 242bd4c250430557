#include "testsupport/mixed_plot.h"

#include <random>
#include <string>
#include <vector>

namespace quarto::test {

PltWriter MixedPlot(PltFormat format, int records, const MixedPlotSpec& spec) {
  PltWriter w(format);
  w.Header({1, 0, 0, spec.board, spec.board * 3 / 4, -1, 1});
  for (int l = 1; l <= 4; ++l) w.LayerName(std::string(1, 'L').append(std::to_string(l)), l);
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int32_t> pos(0, spec.board * 3 / 4 - 1);
  std::uniform_int_distribution<int32_t> size(spec.sizeMin, spec.sizeMax);
  std::uniform_int_distribution<int> kind(0, 99);
  int layer = 0;
  for (int n = 0; n < records; ++n) {
    if (n % 5000 == 0) w.Layer(layer = layer % 4 + 1);
    const int32_t x = pos(rng), y = pos(rng), s = size(rng);
    const int k = kind(rng);
    if (k < 35) {
      w.Line(k % 3, 20000, x, y, x + s, y + s / 2);
    } else if (k < 45) {
      w.Rect(0, 10000, x, y, x + s, y + s);
    } else if (k < 60) {
      w.Bar(x, y, x + s, y + s / 3);
    } else if (k < 70) {
      w.Circle(0, 10000, x, y, static_cast<uint32_t>(s / 2));
    } else if (k < 75) {
      w.Arc(0, 10000, x, y, x + s, y, x, y + s);
    } else {
      std::vector<PltPoint> outline;
      for (int i = 0; i < 20; ++i) outline.push_back({x + (i % 2) * s + i * spec.polygonStep, y + i * s / 20});
      std::vector<PltCutout> cut;
      if (k % 4 == 0) cut.emplace_back(PltHole{x + s / 2, y + s / 2, static_cast<uint32_t>(s / 8)});
      w.Polygon(10000, outline, cut);
    }
  }
  return w;
}

}  // namespace quarto::test
