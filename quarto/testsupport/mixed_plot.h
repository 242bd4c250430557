#pragma once
// The mixed plot of the benchmarks: lines, outlines, bars, circles, arcs and polygons of 20 points
// (a quarter of them with a hole), on four layers that change every 5000 records, placed at random
// with a fixed seed.
#include <cstdint>

#include "testsupport/plt_writer.h"

namespace quarto::test {

struct MixedPlotSpec {
  int32_t board = 200'000'000;  // header box: board x 3/4 board file units
  int32_t sizeMin = 1000, sizeMax = 400'000;
  int32_t polygonStep = 997;  // x step between neighbouring polygon points
};

// The plot of the format with about `records` primitives.
PltWriter MixedPlot(PltFormat format, int records, const MixedPlotSpec& spec = {});

}  // namespace quarto::test
