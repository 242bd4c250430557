#pragma once
// What the render benchmarks share: the large generated PLT 8.5 board, its preparation for the
// bitmap target at fit zoom (scan, frame, pass input), and the timing of jobs run in turns.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "core/layer_table.h"
#include "core/plot_scan.h"
#include "core/render_frame.h"
#include "core/render_pass.h"
#include "testsupport/plt_writer.h"

namespace quarto::test {

// The board's side in file units (0.1 um each): 20 mm.
inline constexpr int32_t kBenchBoard = 200'000'000;

// Where the board's primitives lie and how large they are; the defaults suit PLT 8.5, a PLT 4.5
// board needs 16-bit coordinates.
struct BenchPlotSpec {
  int32_t board = kBenchBoard;  // header box: board x 3/4 board file units
  int32_t sizeMin = 1000, sizeMax = 400'000;
  int32_t polygonStep = 997;  // x step between neighbouring polygon points
};
// The spec of the PLT 4.5 board: the same mix in 16-bit coordinates.
inline constexpr BenchPlotSpec kBenchBoard45{30000, 2, 600, 1};

// Header, four layer names and about `records` primitives over the four layers: lines, outlines,
// bars, circles, arcs and polygons of 20 points (a quarter of them with a hole), at random places
// inside the board's lower three quarters, in the writer's format.
void WriteBenchPlot(PltWriter& w, int records, const BenchPlotSpec& spec = {});

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

// A benchmark program's optional whole-number arguments (each at least 1), read over the defaults
// in `counts`; false for any other argument, or one too many.
bool ReadCounts(int argc, char** argv, std::span<int> counts);

// The best time in seconds of each job over `runs` rounds; the jobs run in turns, so all of them
// meet the same load of the machine.
std::vector<double> BestOfEach(int runs, const std::vector<std::function<void()>>& jobs);

}  // namespace quarto::test
