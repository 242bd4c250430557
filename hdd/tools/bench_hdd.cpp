// Recognition and whole listings of sparse images of many disks, two ways: the least a
// listing must do (one seek and one 32-byte read a directory slot, plain system calls) and
// the module's own walk. Extraction of every disk folder of a 1024-disk image against
// `cp -r` of the same tree. The same work through our host and the plug-in is bench-host's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "hdd/hdd_extract.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_listing.h"
#include "hddbench/bench_images.h"
#include "platform/files.h"

namespace {

void BM_Recognize(benchmark::State& state) {
  const std::string path =
      hddbench::ListingImage(static_cast<std::uint32_t>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(hdd::RecognizeImage(path.c_str(), 1024));
}
BENCHMARK(BM_Recognize)->Args({1, 20})->Args({64, 20})->Args({1024, 20});

void BM_MinimumSeekRead(benchmark::State& state) { hddbench::MinimumSeekRead(state); }

void BM_ModuleWalk(benchmark::State& state) {
  const std::string path =
      hddbench::ListingImage(static_cast<std::uint32_t>(state.range(0)), static_cast<int>(state.range(1)));
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  std::size_t records = 0;
  for (auto _ : state) {
    hdd::ListingWalk walk;
    hdd::PrepareListing(walk, h);
    PluginPanelItem item;
    for (;;) {
      std::memset(&item, 0, sizeof item);
      if (hdd::NextListingItem(walk, h, &item) != 1) break;
      ++records;
    }
  }
  CloseHandle(h);
  state.SetItemsProcessed(static_cast<std::int64_t>(records));
}

BENCHMARK(BM_MinimumSeekRead)->Apply(hddbench::ListingArgs);
BENCHMARK(BM_ModuleWalk)->Apply(hddbench::ListingArgs);
// 65 535 disks, every slot free: 8.4 million slots for an empty panel.
BENCHMARK(BM_MinimumSeekRead)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ModuleWalk)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);

// Every disk folder through CopyToPC's code into an empty folder.
void BM_ExtractEveryDisk(benchmark::State& state) {
  namespace fs = std::filesystem;
  const std::string image = hddbench::ExtractImage();
  const fs::path& out = hddbench::kExtractOut;
  fs::remove_all(out);
  const fs::path start = fs::current_path();
  HANDLE h = CreateFileA(image.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    fs::create_directory(out);
    fs::current_path(out);
    state.ResumeTiming();
    for (std::uint32_t d = 1; d <= hddbench::kExtractDisks; ++d) {
      PluginPanelItem item{};
      item.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "disk_%02x", d);
      if (hdd::CopyItemToPC(h, item.FindData.cFileName, item) != 1) state.SkipWithError("extraction failed");
    }
    state.PauseTiming();
    fs::current_path(start);
    state.ResumeTiming();
  }
  CloseHandle(h);
  state.counters["MB"] = static_cast<double>(hddbench::TreeBytes(out)) / 1e6;
}
BENCHMARK(BM_ExtractEveryDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

// cp -r of the tree that extraction wrote, on the same file system.
void BM_CopyTreeWithCp(benchmark::State& state) { hddbench::CopyTreeWithCp(state, "BM_ExtractEveryDisk"); }
BENCHMARK(BM_CopyTreeWithCp)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) {
    std::fprintf(stderr,
                 "bench-hdd: unknown argument \"%s\"\nusage: bench-hdd [--benchmark_filter=REGEX] [--benchmark_...]\n",
                 argv[1]);
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  hddbench::RemoveImages();
  return 0;
}
