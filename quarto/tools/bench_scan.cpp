// bench-scan: writes large plots to a temporary folder, then times the scan pass against two plain
// sequential reads of the same file through the same 256 KB block reads the scan's reader uses:
// one that only copies the blocks (the cost of getting the bytes at all) and one that also decodes
// every word of the format (the least work a pass that looks at every word does).
//
// PLT 8.5: 1.25 million records of mixed kinds (about 50 MB); MB/s once with the file in the page
// cache (best of several runs, so the index's memory is reused from the run before) and once with
// the file's pages dropped from the cache before each run, and the time of the very first scan of
// the process, whose index memory is all new. PLT 4.5: the mixed plot of the render benchmark with
// 1 and 3 million records, in the page cache and dropped from it, with nanoseconds a record and the
// index's memory.
// Each file is removed afterwards.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/plot_scan.h"
#include "testsupport/bench_plot.h"
#include "testsupport/plt_writer.h"

using namespace quarto;
using quarto::test::PltPoint;
using quarto::test::PltWriter;

namespace {

void WritePlot(const std::filesystem::path& path, size_t records) {
  PltWriter w(PltFormat::Plt85);
  w.Header({.version = 85, .x1 = 0, .y1 = 0, .x2 = 100000000, .y2 = 60000000});
  for (int l = 1; l <= 16; ++l) w.LayerName("LAYER" + std::to_string(l), l);
  uint32_t seed = 12345;
  auto rnd = [&](int32_t n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
  };
  const std::vector<PltPoint> outline = {{0, 0},    {5000, 0},    {5000, 3000}, {2500, 4000},
                                         {0, 3000}, {-100, 2000}, {-200, 1000}, {-100, 500}};
  for (size_t i = 0; i < records; ++i) {
    if (i % 200 == 0) w.Layer(1 + rnd(16));
    const int32_t x = rnd(100000000), y = rnd(60000000);
    switch (i % 10) {
      case 0:
      case 1:
      case 2: w.Line(0, 100, x, y, x + rnd(50000), y + rnd(50000)); break;
      case 3: w.Rect(0, 100, x, y, x + 5000, y + 3000); break;
      case 4: w.Bar(x, y, x + 2000, y + 1000); break;
      case 5: w.Circle(0, 100, x, y, static_cast<uint32_t>(rnd(10000))); break;
      case 6: w.Arc(0, 100, x, y, x + 100, y, x, y + 100); break;
      case 7: {
        char text[32];
        std::snprintf(text, sizeof text, "R%zu VALUE 10K", i % 1000);
        w.Text(x, y, 1500, text);
        break;
      }
      default: {
        std::vector<PltPoint> pts;
        for (const auto& p : outline) pts.push_back({x + p.x, y + p.y});
        w.Polygon(50, pts, {test::PltHole{x + 1000, y + 1000, 300}});
      }
    }
  }
  w.Save(path);
}

double Seconds(const std::chrono::steady_clock::time_point& t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Drops the file's pages from the page cache (only this file's), so the next read comes from disk.
void DropFromCache(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// Reads the file in 256 KB blocks; every_word adds up all its words (16-bit little-endian for PLT
// 4.5, 32-bit big-endian for PLT 8.5), otherwise one byte in 64 is taken so the copy cannot be left
// out.
double PlainRead(const std::filesystem::path& path, uint64_t& checksum, bool every_word,
                 PltFormat format = PltFormat::Plt85) {
  const auto t0 = std::chrono::steady_clock::now();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open the benchmark file");
  std::vector<uint8_t> buf(256 * 1024);
  size_t got;
  while ((got = std::fread(buf.data(), 1, buf.size(), f)) > 0) {
    if (every_word && format == PltFormat::Plt45) {
      for (size_t i = 0; i + 2 <= got; i += 2) checksum += ReadLE16(&buf[i]);
    } else if (every_word) {
      for (size_t i = 0; i + 4 <= got; i += 4) checksum += ReadBE32(&buf[i]);
    } else {
      for (size_t i = 0; i < got; i += 64) checksum += buf[i];
    }
  }
  std::fclose(f);
  return Seconds(t0);
}

// The PLT 4.5 run: the render benchmark's mix of `records` records, in the page cache and then
// dropped from it before each run.
void MeasurePlt45(const std::filesystem::path& path, int records) {
  {
    test::PltWriter w(PltFormat::Plt45);
    test::WriteBenchPlot(w, records, test::kBenchBoard45);
    w.Save(path);
  }
  const double mb = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  uint64_t checksum = 0;
  for (const bool cold : {false, true}) {
    if (!cold) PlainRead(path, checksum, false);  // warm the page cache
    double best_read = 1e9, best_words = 1e9, best_scan = 1e9;
    size_t indexed = 0, index_bytes = 0;
    for (int run = 0; run < (cold ? 3 : 5); ++run) {
      if (cold) DropFromCache(path);
      best_read = std::min(best_read, PlainRead(path, checksum, false));
      if (cold) DropFromCache(path);
      best_words = std::min(best_words, PlainRead(path, checksum, true, PltFormat::Plt45));
      if (cold) DropFromCache(path);
      LayerTable table;
      const auto t0 = std::chrono::steady_clock::now();
      const PlotScanResult res = ScanPlotFile(path, PltFormat::Plt45, table, false);
      best_scan = std::min(best_scan, Seconds(t0));
      indexed = res.Index.Total();
      index_bytes = res.Index.MemoryBytes();
    }
    std::printf("PLT 4.5, %d records, %.1f MB, %s:\n", records, mb,
                cold ? "dropped from the cache before each run" : "in the page cache");
    std::printf("  plain read:       %8.1f MB/s (%.4f s)\n", mb / best_read, best_read);
    std::printf("  read, every word: %8.1f MB/s (%.4f s)\n", mb / best_words, best_words);
    std::printf(
        "  scan pass:        %8.1f MB/s (%.4f s), %.1f ns a record, %.2fx the plain read, %.2fx the word read\n",
        mb / best_scan, best_scan, best_scan * 1e9 / records, best_scan / best_read, best_scan / best_words);
    std::printf("  %zu indexed, index memory %.1f MiB (checksum %llu)\n", indexed, index_bytes / (1024.0 * 1024.0),
                static_cast<unsigned long long>(checksum));
  }
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && std::string_view(argv[1]) != "45")) {
    std::fprintf(stderr, "usage: bench-scan [45]\n");
    return 2;
  }
#ifdef BENCH_BUILD_TYPE
  std::printf("build type: %s\n", BENCH_BUILD_TYPE[0] ? BENCH_BUILD_TYPE : "(none)");
#endif
  try {
    // "bench-scan 45" runs the PLT 4.5 part alone.
    const bool only45 = argc > 1 && std::string_view(argv[1]) == "45";
    const auto path45 = std::filesystem::temp_directory_path() / "quarto_bench_scan45.plt";
    if (only45) {
      MeasurePlt45(path45, 1'000'000);
      MeasurePlt45(path45, 3'000'000);
      return 0;
    }
    const auto path = std::filesystem::temp_directory_path() / "quarto_bench_scan.plt";
    const size_t records = 1250000;
    WritePlot(path, records);
    const double mb = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    uint64_t checksum = 0;
    size_t indexed = 0;
    auto scan = [&] {
      LayerTable table;
      const auto t0 = std::chrono::steady_clock::now();
      const PlotScanResult res = ScanPlotFile(path, PltFormat::Plt85, table, false);
      const double s = Seconds(t0);
      indexed = res.Index.Total();
      return s;
    };
    auto measure = [&](const char* label, bool cold, int runs) {
      double best_read = 1e9, best_words = 1e9, best_scan = 1e9;
      for (int run = 0; run < runs; ++run) {
        if (cold) DropFromCache(path);
        best_read = std::min(best_read, PlainRead(path, checksum, false));
        if (cold) DropFromCache(path);
        best_words = std::min(best_words, PlainRead(path, checksum, true));
        if (cold) DropFromCache(path);
        best_scan = std::min(best_scan, scan());
      }
      std::printf("%s plain read:       %8.1f MB/s (%.4f s)\n", label, mb / best_read, best_read);
      std::printf("%s read, every word: %8.1f MB/s (%.4f s)\n", label, mb / best_words, best_words);
      std::printf(
          "%s scan pass:        %8.1f MB/s (%.4f s), %.1f ns a record, %.2fx the plain read, %.2fx the word read\n",
          label, mb / best_scan, best_scan, best_scan * 1e9 / records, best_scan / best_read, best_scan / best_words);
    };
    PlainRead(path, checksum, false);  // warm the page cache
    const double first = scan();
    std::printf("first scan of the process: %.1f MB/s (%.4f s)\n", mb / first, first);
    measure("cached", false, 5);
    measure("uncached", true, 3);
    std::filesystem::remove(path);
    std::printf("PLT 8.5 file: %.1f MB, %zu records, %zu indexed (checksum %llu)\n", mb, records, indexed,
                static_cast<unsigned long long>(checksum));
    MeasurePlt45(path45, 1'000'000);
    MeasurePlt45(path45, 3'000'000);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench-scan: %s\n", e.what());
    return 1;
  }
  return 0;
}
