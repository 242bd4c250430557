// bench-render: times the bitmap target on a large generated plot against a baseline.
//
// The plot (PLT 8.5, about a million records, more than 50 MB) is written with the test writer
// and scanned as the open command would. The measured run is the bitmap target at fit zoom: a
// bitmap of the preview's scale, every record body read again from the file through the record
// index and drawn through the QPainter canvas. The baseline draws the very same canvas calls from
// an in-memory list onto a bitmap of the same size. Both figures are the best of several runs.
//
// Usage: bench-render [records] [runs]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/qpainter_canvas.h"
#include "core/layer_table.h"
#include "core/plot_scan.h"
#include "core/render_frame.h"
#include "core/render_pass.h"
#include "testsupport/mixed_plot.h"
#include "testsupport/recording_canvas.h"

using namespace quarto;

namespace {

// About `records` primitives over four layers: lines, outlines, bars, circles, arcs and polygons.
void WritePlot(const std::filesystem::path& path, int records) {
  test::MixedPlot(PltFormat::Plt85, records).Save(path);
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Best time of each of two jobs, run in turns so that both meet the same load of the machine.
template <class A, class B>
std::pair<double, double> BestOfBoth(int runs, A&& a, B&& b) {
  double bestA = 1e300, bestB = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    a();
    bestA = std::min(bestA, Seconds(std::chrono::steady_clock::now() - t0));
    t0 = std::chrono::steady_clock::now();
    b();
    bestB = std::min(bestB, Seconds(std::chrono::steady_clock::now() - t0));
  }
  return {bestA, bestB};
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const int records = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

  const auto path = std::filesystem::temp_directory_path() / ("bench-render-" + std::to_string(::getpid()) + ".plt");
  WritePlot(path, records);
  const auto bytes = std::filesystem::file_size(path);

  LayerTable table;
  InitLayerGrid(table.Grid);
  const PlotScanResult scan = ScanPlotFile(path, PltFormat::Plt85, table, false);

  FrameInput in;
  SetFrameHeader(in, scan.Header85);
  in.target = RenderTarget::Bitmap;
  in.windowWidth = 1280, in.windowHeight = 1024;
  in.screenWidth = 1920, in.screenHeight = 1080;
  in.drawBounds = scan.DrawBounds;
  in.fitPending = true;
  const FrameLayout layout = ComputeFrame(in);

  PassInput pass;
  pass.positions = [&scan](int kind, int layer) { return scan.Index.Positions(kind, layer); };
  pass.layers.colors = table.LayerColors;
  pass.layers.order = table.LayerOrder;
  pass.layers.orderCount = table.LayerOrderCount;

  // The baseline's list: the calls the renderer makes, kept in memory.
  RecordingCanvas recorder;
  DrawPlot(recorder, in, layout, pass, path.string());
  const std::vector<RecordingCanvas::Call> calls = recorder.calls();

  const QSize size(layout.BitmapWidth, layout.BitmapHeight);
  const auto [fromFile, fromMemory] = BestOfBoth(
      runs,
      [&] {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        const RenderOutcome out = DrawPlot(canvas, in, layout, pass, path.string());
        if (out.problem != RenderOutcome::Problem::None) std::fprintf(stderr, "problem: %s\n", out.message.c_str());
      },
      [&] {
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        QPainterCanvas canvas(painter);
        RecordingCanvas::Replay(calls, canvas);
      });
  std::filesystem::remove(path);

  std::printf("plot: %.1f MB, %zu records, %zu canvas calls, bitmap %dx%d at zoom %.4f\n", bytes / 1e6,
              scan.Index.Total(), calls.size(), size.width(), size.height(), layout.Zoom);
  std::printf("bitmap target from the file: %8.3f s\n", fromFile);
  std::printf("baseline from memory:        %8.3f s\n", fromMemory);
  std::printf("ratio: %.2f (target: at most 1.50)\n", fromFile / fromMemory);
  return 0;
}
