#pragma once
// What the render benchmarks share: the mixed plot as a large PLT 8.5 board, its preparation for
// the bitmap target at fit zoom (scan, frame, pass input), and the timing of jobs run in turns.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/layer_table.h"
#include "core/plot_scan.h"
#include "core/render_frame.h"
#include "core/render_pass.h"
#include "testsupport/mixed_plot.h"

namespace quarto::test {

// The board's side in file units (0.1 um each): 20 mm, the mixed plot's own.
inline constexpr int32_t kBenchBoard = MixedPlotSpec{}.board;

// A scanned plot ready for the bitmap target at fit zoom.
struct BenchDrawing {
  LayerTable table;
  PlotScanResult scan;
  FrameInput in;
  FrameLayout layout;
  PassInput pass;
};
// Scans the PLT 8.5 file and computes the bitmap frame (a 1280 x 1024 window, a 1920 x 1080 screen).
std::unique_ptr<BenchDrawing> PrepareBenchDrawing(const std::filesystem::path& path);

// The best time in seconds of each job over `runs` rounds; the jobs run in turns, so all of them
// meet the same load of the machine.
std::vector<double> BestOfEach(int runs, const std::vector<std::function<void()>>& jobs);

}  // namespace quarto::test
