#pragma once
// Random plots for the scan tests, with what the scan must find, kept while writing.
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/plot_scan.h"
#include "testsupport/plt_writer.h"

namespace quarto::test {

// Body offsets per (kind, layer), in file order.
using IndexEntries = std::map<std::pair<int, int>, std::vector<uint64_t>>;

// The index of a scan as IndexEntries (only the lists that hold positions).
IndexEntries IndexOf(const PlotScanResult& res);

// A plot of random records (every kind, PLT 4.5 lines with further vertices, texts of every
// length, skips, stray words, layers outside 1..16, points partly outside the header box, polygons
// with contours and holes) with what the scan must find: every body on its layer and the bounds by
// the per-coordinate rule.
struct RandomPlot {
  PltWriter w;
  PlotBounds want;
  IndexEntries index;
};

// Records from `seed` until the plot holds at least min_size bytes, after lead_words stray words.
RandomPlot MakeRandomPlot(PltFormat format, uint32_t seed, size_t min_size, int lead_words);

}  // namespace quarto::test
