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
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/qpainter_canvas.h"
#include "testsupport/bench_plot.h"
#include "testsupport/recording_canvas.h"

using namespace quarto;

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  int counts[] = {1'000'000, 5};
  if (!test::ReadCounts(argc, argv, counts)) {
    std::fprintf(stderr, "usage: bench-render [records] [runs]\n");
    return 2;
  }
  const int records = counts[0], runs = counts[1];

  const auto path = std::filesystem::temp_directory_path() / ("bench-render-" + std::to_string(::getpid()) + ".plt");
  {
    test::PltWriter w(PltFormat::Plt85);
    test::WriteBenchPlot(w, records);
    w.Save(path);
  }
  const auto bytes = std::filesystem::file_size(path);
  const auto d = test::PrepareBenchDrawing(path);

  // The baseline's list: the calls the renderer makes, kept in memory.
  RecordingCanvas recorder;
  DrawPlot(recorder, d->in, d->layout, d->pass, path.string());
  const std::vector<RecordingCanvas::Call> calls = recorder.calls();

  const QSize size(d->layout.BitmapWidth, d->layout.BitmapHeight);
  const std::vector<double> best =
      test::BestOfEach(runs, {[&] {
                                QImage image(size, QImage::Format_RGB32);
                                QPainter painter(&image);
                                QPainterCanvas canvas(painter);
                                const RenderOutcome out = DrawPlot(canvas, d->in, d->layout, d->pass, path.string());
                                if (out.problem != RenderOutcome::Problem::None)
                                  std::fprintf(stderr, "problem: %s\n", out.message.c_str());
                              },
                              [&] {
                                QImage image(size, QImage::Format_RGB32);
                                QPainter painter(&image);
                                QPainterCanvas canvas(painter);
                                RecordingCanvas::Replay(calls, canvas);
                              }});
  std::filesystem::remove(path);

  std::printf("plot: %.1f MB, %zu records, %zu canvas calls, bitmap %dx%d at zoom %.4f\n", bytes / 1e6,
              d->scan.Index.Total(), calls.size(), size.width(), size.height(), d->layout.Zoom);
  std::printf("bitmap target from the file: %8.3f s\n", best[0]);
  std::printf("baseline from memory:        %8.3f s\n", best[1]);
  std::printf("ratio: %.2f (target: at most 1.50)\n", best[0] / best[1]);
  return 0;
}
