// Recognition and a whole listing of sparse images of many disks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
