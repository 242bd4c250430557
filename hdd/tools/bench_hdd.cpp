// Recognition and a whole listing of sparse images of many disks; extraction
// of every disk folder of a 1024-disk image against `cp -r` of the same tree.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "hdd_extract.h"
#include "hdd_image.h"
#include "hdd_listing.h"
#include "image_builder.h"
#include "platform/files.h"

namespace {

std::string ImageOf(std::uint32_t disks) {
  const std::string path = "/tmp/bench-hdd-" + std::to_string(disks) + ".hdd";
  hddtest::ImageBuilder b(disks);
  for (std::uint32_t d = 1; d <= disks; ++d)
    for (int f = 0; f < 20; ++f)
      b.AddFile(d, static_cast<std::uint8_t>(f % 3), "FILE" + std::to_string(f) + ".DAT", hddtest::Bytes(3000, 0x11));
  if (!b.Save(path)) throw std::runtime_error("cannot write " + path);
  return path;
}

void BM_Recognize(benchmark::State& state) {
  const std::string path = ImageOf(static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(hdd::RecognizeImage(path.c_str(), 1024));
  std::remove(path.c_str());
}
BENCHMARK(BM_Recognize)->Arg(1)->Arg(64)->Arg(1024);

void BM_ListWholeImage(benchmark::State& state) {
  const std::string path = ImageOf(static_cast<std::uint32_t>(state.range(0)));
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
  std::remove(path.c_str());
}
BENCHMARK(BM_ListWholeImage)->Arg(1)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

// 1024 disks of users 0-3, 12 files each of mixed sizes (one to five entries):
// 12288 files, 166 MB as extracted.
constexpr std::uint32_t kExtractDisks = 1024;
constexpr std::size_t kFileSizes[] = {128, 1000, 2048, 3000, 5000, 9000, 16384, 20000, 33000, 1500, 700, 70000};

std::string ExtractImage() {
  const std::string path = "/tmp/bench-hdd-extract.hdd";
  hddtest::ImageBuilder b(kExtractDisks);
  for (std::uint32_t d = 1; d <= kExtractDisks; ++d)
    for (std::size_t f = 0; f < std::size(kFileSizes); ++f)
      b.AddFile(d, static_cast<std::uint8_t>(f % 4), "FILE" + std::to_string(f) + ".DAT",
                hddtest::PatternBytes(kFileSizes[f], static_cast<std::uint8_t>(d + f)));
  if (!b.Save(path)) throw std::runtime_error("cannot write " + path);
  return path;
}

std::uintmax_t TreeBytes(const std::filesystem::path& root) {
  std::uintmax_t total = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) total += e.file_size();
  return total;
}

// Every disk folder through CopyToPC's code into an empty folder.
void BM_ExtractEveryDisk(benchmark::State& state) {
  namespace fs = std::filesystem;
  const std::string image = ExtractImage();
  const fs::path out = "/tmp/bench-hdd-extract-out";
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
    for (std::uint32_t d = 1; d <= kExtractDisks; ++d) {
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
  state.counters["MB"] = static_cast<double>(TreeBytes(out)) / 1e6;
  std::remove(image.c_str());
}
BENCHMARK(BM_ExtractEveryDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

// cp -r of the tree that extraction wrote, on the same file system.
void BM_CopyTreeWithCp(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path from = "/tmp/bench-hdd-extract-out";
  const fs::path to = "/tmp/bench-hdd-extract-cp";
  if (!fs::exists(from)) {
    state.SkipWithError("run BM_ExtractEveryDisk first");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(to);
    state.ResumeTiming();
    if (std::system(("cp -r '" + from.string() + "' '" + to.string() + "'").c_str()) != 0)
      state.SkipWithError("cp failed");
  }
  state.counters["MB"] = static_cast<double>(TreeBytes(to)) / 1e6;
  fs::remove_all(to);
  fs::remove_all(from);
}
BENCHMARK(BM_CopyTreeWithCp)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
