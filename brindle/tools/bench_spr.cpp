// Timing of the screen conversions, of SPR packing and unpacking, and of the smooth zoom
// (run at every paint of the zoom window in its smooth mode).
#include <benchmark/benchmark.h>

#include <random>

#include "core/spr.h"
#include "core/zoom.h"

using namespace brindle;

namespace {

Mem Screen(bool random) {
  Mem mem;
  std::mt19937 rng(1);
  auto screen = mem.screen();
  for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<std::uint8_t>(random ? rng() : (i / 200) % 3);
  return mem;
}

void BM_PackScreenRle(benchmark::State& state) {
  const Mem mem = Screen(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(PackScreenRle(mem.screen()));
}
BENCHMARK(BM_PackScreenRle)->Arg(0)->Arg(1);

void BM_UnpackScreenRle(benchmark::State& state) {
  const Mem mem = Screen(state.range(0) != 0);
  const std::vector<std::uint8_t> file = EncodeSPR(DefaultVECPalette, mem.screen());
  Mem out;
  for (auto _ : state) {
    UnpackScreenRle(file, out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_UnpackScreenRle)->Arg(0)->Arg(1);

void BM_VECScr2DIB4bpp(benchmark::State& state) {
  const Mem mem = Screen(true);
  Pic pic;
  for (auto _ : state) {
    VECScr2DIB4bpp(mem, pic);
    benchmark::DoNotOptimize(pic);
  }
}
BENCHMARK(BM_VECScr2DIB4bpp);

void BM_DIB4bpp2VECScr(benchmark::State& state) {
  Pic pic;
  VECScr2DIB4bpp(Screen(true), pic);
  Mem mem;
  for (auto _ : state) {
    DIB4bpp2VECScr(pic, mem);
    benchmark::DoNotOptimize(mem);
  }
}
BENCHMARK(BM_DIB4bpp2VECScr);

void BM_SmoothZoomed(benchmark::State& state) {
  Pic pic;
  VECScr2DIB4bpp(Screen(true), pic);
  std::mt19937 rng(2);
  for (Rgb& c : pic.palette)
    c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  for (auto _ : state) benchmark::DoNotOptimize(SmoothZoomed(pic));
}
BENCHMARK(BM_SmoothZoomed)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
