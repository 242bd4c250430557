// Timing of the screen conversions, of SPR packing and unpacking, of RMB saving, of
// packed screen (.scr) decoding and of the smooth zoom (run at every paint of the zoom
// window in its smooth mode).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench_main.h"
#include "core/rmb.h"
#include "core/scr.h"
#include "core/spr.h"
#include "core/zoom.h"
#include "testsupport/scr_pack.h"

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

void BM_EncodeRMB(benchmark::State& state) {
  const Mem mem = Screen(true);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeRMB(DefaultVECPalette, mem.screen()));
}
BENCHMARK(BM_EncodeRMB);

// The whole save command: palette reduction, picture to screen, file written and renamed.
void BM_SaveRMB(benchmark::State& state) {
  Pic pic;
  VECScr2DIB4bpp(Screen(true), pic);
  Mem mem;
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "bench-spr.rmb";
  for (auto _ : state) SaveRMB(file, pic, mem, Levels{});
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveRMB);

// Packed screens: 0 a structured screen, 1 a random one (escape values kept to the lists),
// 2 a stream of 255-byte runs, 3 the worst case: 21845 runs of 65536 bytes.
samples::PackedScr PackedCase(int kind) {
  if (kind >= 2) {
    samples::PackedScr p;
    p.escape = {0x00, 0x00, 0xF0};
    for (int k = 0; k < 0x10000 / 3; ++k)
      p.stream.insert(p.stream.end(), {0x5A, kind == 2 ? std::uint8_t{255} : std::uint8_t{0}, 0xF0});
    p.last = static_cast<unsigned>(p.stream.size() - 1);
    return p;
  }
  Mem mem = Screen(kind == 1);
  for (auto& b : mem.screen())
    if (b >= 0xE0 && b <= 0xE2) b = 0x7F;
  return samples::PackScr(mem, 0x00, {0xE0, 0xE1, 0xE2});
}

void BM_SCRShow(benchmark::State& state) {
  const std::vector<std::uint8_t> file = PackedCase(static_cast<int>(state.range(0))).bytes();
  const auto header = std::span<const std::uint8_t>(file).first<ScrHeaderSize>();
  const auto stream = std::span<const std::uint8_t>(file).subspan(ScrHeaderSize);
  Mem mem;
  for (auto _ : state) {
    SCRShow(header, stream, mem);
    benchmark::DoNotOptimize(mem);
  }
}
BENCHMARK(BM_SCRShow)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

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

int main(int argc, char** argv) { return BenchmarkMain(argc, argv); }
