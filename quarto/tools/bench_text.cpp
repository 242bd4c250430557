// bench-text: what texts in the built-in stroke font cost the bitmap target.
//
// The render benchmark's plot is written twice: as it is, and with 100 000 texts of 10 characters
// added on its layers (Latin letters, digits and Cyrillic letters, all four rotations, every fourth
// text justified), their anchors inside the plot's extents so both plots fit alike. Each is drawn
// to the bitmap target at fit zoom through the QPainter canvas; the difference is the texts'
// share. The same text strokes, recorded once as an in-memory point list, are replayed through the
// same canvas as the baseline of that share. Then the same with the stroke font off: the texts in
// the default system face, against a replay of the same font and text calls kept in memory.
// Figures are the best of several runs.
//
// Usage: bench-text [records] [texts] [runs]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <QFontDatabase>

#include "app/qpainter_canvas.h"
#include "app/system_fonts.h"
#include "core/text_records.h"
#include "testsupport/bench_plot.h"
#include "testsupport/recording_canvas.h"

using namespace quarto;

namespace {

// The lines a drawing makes, kept as points with the pens in force: what the texts draw is only
// MoveTo and LineTo with the text pen.
class StrokeList : public Canvas {
 public:
  struct Step {
    int32_t x, y;
    bool line;
  };
  void Polyline(std::span<const DevicePoint>) override { ++others; }
  void Polygon(std::span<const DevicePoint>) override { ++others; }
  void Rectangle(int32_t, int32_t, int32_t, int32_t) override { ++others; }
  void Ellipse(int32_t, int32_t, int32_t, int32_t) override { ++others; }
  void Arc(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override { ++others; }
  void FillRect(int32_t, int32_t, int32_t, int32_t) override {}

  void Replay(Canvas& target) const {
    size_t change = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
      while (change < pens.size() && pens[change].first == i) target.pen = pens[change++].second;
      const Step& s = steps[i];
      if (s.line)
        target.LineTo(s.x, s.y);
      else
        target.MoveTo(s.x, s.y);
    }
  }

  std::vector<Step> steps;
  std::vector<std::pair<size_t, Pen>> pens;  // from step index on
  size_t others = 0;

 protected:
  void OnMoveTo(DevicePoint p) override { Add({p.x, p.y, false}); }
  void DrawLine(DevicePoint, DevicePoint to) override { Add({to.x, to.y, true}); }

 private:
  void Add(Step s) {
    if (pens.empty() || !(pens.back().second == pen)) pens.emplace_back(steps.size(), pen);
    steps.push_back(s);
  }
};

// Font and text calls kept in memory, measured by the QPainter canvas that will replay them so
// that they are placed as a drawing places them.
class MeasuredRecording : public RecordingCanvas {
 public:
  explicit MeasuredRecording(QPainterCanvas& measure) : measure_(measure) {}
  TextSize TextExtent(std::string_view text) override { return measure_.TextExtent(text); }

 protected:
  void OnSetFont(const Font& f) override {
    RecordingCanvas::OnSetFont(f);
    measure_.SetFont(f);
  }

 private:
  QPainterCanvas& measure_;
};

void AddTexts(test::PltWriter& w, int texts) {
  std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int c = 0x80; c <= 0xAF; ++c) alphabet.push_back(static_cast<char>(c));
  for (int c = 0xE0; c <= 0xEF; ++c) alphabet.push_back(static_cast<char>(c));
  const int nine[] = {25, 26, 27, 33, 34, 35, 41, 42, 43};
  std::mt19937 rng(54321);
  std::uniform_int_distribution<int32_t> pos(0, test::kBenchBoard * 3 / 4 - 1);
  std::uniform_int_distribution<uint32_t> height(500'000, 3'000'000);  // about 3 to 20 pixels at fit
  std::uniform_int_distribution<size_t> letter(0, alphabet.size() - 1);
  int layer = 0;
  for (int n = 0; n < texts; ++n) {
    if (n % 5000 == 0) w.Layer(layer = layer % 4 + 1);
    std::string s(10, ' ');
    for (char& c : s) c = alphabet[letter(rng)];
    const int j = n % 4 == 0 ? nine[(n / 4) % 9] : 34;
    w.Text(pos(rng), pos(rng), height(rng), s, n % 4 == 1 ? 1 : (n % 4 == 2 ? 2 : (n % 4 == 3 ? 3 : 0)), j);
  }
}

void Paint(const test::BenchDrawing& d, const std::filesystem::path& path, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  QPainterCanvas canvas(painter);
  const RenderOutcome out = DrawPlot(canvas, d.in, d.layout, d.pass, path.string());
  if (out.problem != RenderOutcome::Problem::None) std::fprintf(stderr, "problem: %s\n", out.message.c_str());
}

// Times in seconds: without texts, with texts, and the replay of what the texts drew.
void Report(const std::vector<double>& best, const char* replayed) {
  const double share = best[1] - best[0];
  std::printf("bitmap target without texts: %8.3f s\n", best[0]);
  std::printf("bitmap target with texts:    %8.3f s\n", best[1]);
  std::printf("ratio with / without:        %8.2f\n", best[1] / best[0]);
  std::printf("texts' share:                %8.3f s\n", share);
  std::printf("replay of %s: %8.3f s\n", replayed, best[2]);
  std::printf("share / replay: %.2f (target: at most 1.50)\n", share / best[2]);
}

void RunSystemFont(test::BenchDrawing& a, test::BenchDrawing& b, const std::filesystem::path& plain,
                   const std::filesystem::path& withTexts, int runs) {
  a.pass.strokeFont = b.pass.strokeFont = false;
  a.pass.systemFont.face = b.pass.systemFont.face = DefaultFontFace(QFontDatabase::families()).toStdString();
  const QSize size(b.layout.BitmapWidth, b.layout.BitmapHeight);
  std::vector<RecordingCanvas::Call> calls;
  {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QPainterCanvas measure(painter);
    MeasuredRecording rec(measure);
    PassInput only = b.pass;
    const PlotScanResult* scan = &b.scan;
    only.positions = [scan](int kind, int layer) {
      return kind == KindText ? scan->Index.Positions(kind, layer) : std::span<const uint64_t>{};
    };
    DrawPlot(rec, b.in, b.layout, only, withTexts.string());
    for (const auto& c : rec.calls())
      if (c.op == RecordingCanvas::Op::SetFont || c.op == RecordingCanvas::Op::TextOut) calls.push_back(c);
  }
  const std::vector<double> best =
      test::BestOfEach(runs, {[&] { Paint(a, plain, size); }, [&] { Paint(b, withTexts, size); },
                              [&] {
                                QImage image(size, QImage::Format_RGB32);
                                QPainter painter(&image);
                                QPainterCanvas canvas(painter);
                                RecordingCanvas::Replay(calls, canvas);
                              }});
  std::printf("system font \"%s\" (PCAD unchecked): %zu font and text calls\n", a.pass.systemFont.face.c_str(),
              calls.size());
  Report(best, "the font and text calls");
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  int counts[] = {1'000'000, 100'000, 3};
  if (!test::ReadCounts(argc, argv, counts)) {
    std::fprintf(stderr, "usage: bench-text [records] [texts] [runs]\n");
    return 2;
  }
  const int records = counts[0], texts = counts[1], runs = counts[2];

  const auto dir = std::filesystem::temp_directory_path();
  const auto plain = dir / ("bench-text-" + std::to_string(::getpid()) + "-plain.plt");
  const auto withTexts = dir / ("bench-text-" + std::to_string(::getpid()) + "-texts.plt");
  {
    test::PltWriter w(PltFormat::Plt85);
    test::WriteBenchPlot(w, records);
    w.Save(plain);
    AddTexts(w, texts);
    w.Save(withTexts);
  }
  auto a = test::PrepareBenchDrawing(plain);
  auto b = test::PrepareBenchDrawing(withTexts);
  a->pass.texts = b->pass.texts = &PlotTextHook();
  if (a->layout.Zoom != b->layout.Zoom || a->layout.BitmapWidth != b->layout.BitmapWidth)
    std::fprintf(stderr, "warning: the plots do not fit alike (zoom %.6f and %.6f)\n", a->layout.Zoom, b->layout.Zoom);

  // The texts' strokes alone, as the renderer draws them, kept in memory.
  StrokeList strokes;
  {
    PassInput only = b->pass;
    const PlotScanResult* scan = &b->scan;
    only.positions = [scan](int kind, int layer) {
      return kind == KindText ? scan->Index.Positions(kind, layer) : std::span<const uint64_t>{};
    };
    DrawPlot(strokes, b->in, b->layout, only, withTexts.string());
  }

  const QSize size(b->layout.BitmapWidth, b->layout.BitmapHeight);
  const std::vector<double> best =
      test::BestOfEach(runs, {[&] { Paint(*a, plain, size); }, [&] { Paint(*b, withTexts, size); },
                              [&] {
                                QImage image(size, QImage::Format_RGB32);
                                QPainter painter(&image);
                                QPainterCanvas canvas(painter);
                                strokes.Replay(canvas);
                              }});
  std::printf("plot: %.1f MB, %zu records; with %d texts: %.1f MB; bitmap %dx%d at zoom %.4f\n",
              std::filesystem::file_size(plain) / 1e6, a->scan.Index.Total(), texts,
              std::filesystem::file_size(withTexts) / 1e6, size.width(), size.height(), b->layout.Zoom);
  std::printf("text strokes: %zu points, %zu pen changes, %zu other calls\n", strokes.steps.size(), strokes.pens.size(),
              strokes.others);
  std::printf("stroke font (PCAD checked)\n");
  Report(best, "the text strokes");

  RunSystemFont(*a, *b, plain, withTexts, runs);
  std::filesystem::remove(plain);
  std::filesystem::remove(withTexts);

  return 0;
}
