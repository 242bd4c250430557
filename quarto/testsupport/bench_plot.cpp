#include "testsupport/bench_plot.h"

#include <charconv>
#include <random>
#include <string>
#include <string_view>

namespace quarto::test {

void WriteBenchPlot(PltWriter& w, int records, const BenchPlotSpec& spec) {
  w.Header({1, 0, 0, spec.board, spec.board * 3 / 4, -1, 1});
  for (int l = 1; l <= 4; ++l) w.LayerName("L" + std::to_string(l), l);
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
}

std::unique_ptr<BenchDrawing> PrepareBenchDrawing(const std::filesystem::path& path) {
  auto d = std::make_unique<BenchDrawing>();
  InitLayerGrid(d->table.Grid);
  d->scan = ScanPlotFile(path, PltFormat::Plt85, d->table, false);
  FrameInput& in = d->in;
  SetFrameHeader(in, d->scan.Header85);
  in.target = RenderTarget::Bitmap;
  in.windowWidth = 1280, in.windowHeight = 1024;
  in.screenWidth = 1920, in.screenHeight = 1080;
  in.drawBounds = d->scan.DrawBounds;
  in.fitPending = true;
  d->layout = ComputeFrame(in);
  const PlotScanResult* scan = &d->scan;
  d->pass.positions = [scan](int kind, int layer) { return scan->Index.Positions(kind, layer); };
  d->pass.layers.colors = d->table.LayerColors;
  d->pass.layers.order = d->table.LayerOrder;
  d->pass.layers.orderCount = d->table.LayerOrderCount;
  return d;
}

bool ReadCounts(int argc, char** argv, std::span<int> counts) {
  if (argc < 1 || static_cast<size_t>(argc - 1) > counts.size()) return false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view text = argv[i];
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) return false;
    counts[static_cast<size_t>(i - 1)] = value;
  }
  return true;
}

std::vector<double> BestOfEach(int runs, const std::vector<std::function<void()>>& jobs) {
  std::vector<double> best(jobs.size(), 1e300);
  for (int i = 0; i < runs; ++i) {
    for (size_t j = 0; j < jobs.size(); ++j) {
      const auto t0 = std::chrono::steady_clock::now();
      jobs[j]();
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      best[j] = std::min(best[j], s);
    }
  }
  return best;
}

}  // namespace quarto::test
