#include "testsupport/bench_plot.h"

namespace quarto::test {

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
