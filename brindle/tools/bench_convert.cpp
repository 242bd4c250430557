// Time per picture of reading and writing the real SPR pictures of the shared test data in
// every format that is written: in memory (encoding and decoding bytes) and through the
// save command and the readers (files in a temporary folder). The folder comes from
// SHARED_TESTDATA_DIR, else from the path configured at build time.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>

#include "bench_main.h"
#include "core/bmp.h"
#include "core/bytesource.h"
#include "core/formats.h"
#include "core/gifcodec.h"
#include "core/picfiles.h"
#include "core/pngcodec.h"
#include "core/rmb.h"
#include "core/session.h"
#include "core/spr.h"

using namespace brindle;
namespace fs = std::filesystem;

namespace {

fs::path TestData() {
  if (const char* dir = std::getenv("SHARED_TESTDATA_DIR")) return dir;
#ifdef BRINDLE_TESTDATA_DIR
  return BRINDLE_TESTDATA_DIR;
#else
  return {};
#endif
}

// The pictures of the SPR files, opened once.
const std::vector<Pic>& Pictures() {
  static const std::vector<Pic> pictures = [] {
    const fs::path folder = TestData() / "vec" / "spr";
    std::vector<Pic> out;
    for (const std::string& name : ListPicFiles(folder)) {
      if (FormatOfName(name) != PicFormat::SPR) continue;
      Session s;
      s.OpenPicFile(folder / name);
      out.push_back(s.pic);
    }
    return out;
  }();
  return pictures;
}

struct TempFolder {
  fs::path path;
  TempFolder() {
    char name[] = "/tmp/bench-convert-XXXXXX";
    if (mkdtemp(name)) path = name;
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

// The native formats as their writers make them: the palette reduced, the picture turned
// into screen memory, then the file's bytes.
using NativeEncoder = std::vector<std::uint8_t> (*)(const VecPalette&, std::span<const std::uint8_t, ScreenSize>);
std::vector<std::uint8_t> EncodeNative(NativeEncoder encode, const Pic& pic) {
  const VecReduction reduced = ReduceToVEC(pic.palette, Levels{});
  Mem mem;
  DIB4bpp2VECScr(pic, mem);
  return encode(reduced.vec, mem.screen());
}

void DecodeSprBytes(const std::vector<std::uint8_t>& bytes, Pic& pic) {
  Mem mem;
  UnpackScreenRle(bytes, mem);
  VECScr2DIB4bpp(mem, pic);
}

void DecodeRmbBytes(const std::vector<std::uint8_t>& bytes, Pic& pic) {
  Mem mem;
  RMBShow(bytes, mem, pic, Levels{});
}

enum Format { BMP = 1, SPR = 2, RMB = 3, GIF = 4, PNG = 5 };

std::vector<std::uint8_t> Encode(int format, const Pic& pic) {
  switch (format) {
    case BMP: return EncodeBMP4(pic);
    case SPR: return EncodeNative(EncodeSPR, pic);
    case RMB: return EncodeNative(EncodeRMB, pic);
    case GIF: return EncodeGIF(pic);
    default: return EncodePNG(pic);
  }
}

void Decode(int format, const std::vector<std::uint8_t>& bytes, Pic& pic) {
  MemorySource source(bytes);
  switch (format) {
    case BMP: pic = DecodeBMP(source); break;
    case SPR: DecodeSprBytes(bytes, pic); break;
    case RMB: DecodeRmbBytes(bytes, pic); break;
    case GIF: pic = DecodeGIF(source); break;
    default: pic = DecodePNG(source); break;
  }
}

bool Skip(benchmark::State& state) {
  if (Pictures().empty()) {
    state.SkipWithError("no SPR files in the shared test data");
    return true;
  }
  const FormatRow* row = FormatOfSaveIndex(static_cast<int>(state.range(0)));
  if (!row || !row->writer) {
    state.SkipWithError("no writer for this format yet");
    return true;
  }
  state.SetLabel(std::string(row->saveText) + " (time per picture)");
  return false;
}

// One iteration = one picture, the nine in turn.
void BM_EncodeInMemory(benchmark::State& state) {
  if (Skip(state)) return;
  const auto& pictures = Pictures();
  std::size_t i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(Encode(static_cast<int>(state.range(0)), pictures[i++ % pictures.size()]));
}

void BM_DecodeInMemory(benchmark::State& state) {
  if (Skip(state)) return;
  std::vector<std::vector<std::uint8_t>> files;
  for (const Pic& pic : Pictures()) files.push_back(Encode(static_cast<int>(state.range(0)), pic));
  Pic pic;
  std::size_t i = 0;
  for (auto _ : state) {
    Decode(static_cast<int>(state.range(0)), files[i++ % files.size()], pic);
    benchmark::DoNotOptimize(pic);
  }
}

void BM_SaveAs(benchmark::State& state) {
  if (Skip(state)) return;
  TempFolder folder;
  Session s;
  const auto& pictures = Pictures();
  std::size_t i = 0;
  for (auto _ : state) {
    s.pic = pictures[i % pictures.size()];
    s.SaveAs(folder.path / ("pic" + std::to_string(i % pictures.size())), static_cast<int>(state.range(0)));
    ++i;
  }
}

void BM_OpenFile(benchmark::State& state) {
  if (Skip(state)) return;
  TempFolder folder;
  Session s;
  std::vector<fs::path> files;
  for (std::size_t k = 0; k < Pictures().size(); ++k) {
    s.pic = Pictures()[k];
    files.push_back(s.SaveAs(folder.path / ("pic" + std::to_string(k)), static_cast<int>(state.range(0))));
  }
  std::size_t i = 0;
  for (auto _ : state) {
    s.OpenPicFile(files[i++ % files.size()]);
    benchmark::DoNotOptimize(s.pic);
  }
}

void Formats(benchmark::internal::Benchmark* b) {
  for (int f : {BMP, SPR, RMB, GIF, PNG}) b->Arg(f);
  b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_EncodeInMemory)->Apply(Formats);
BENCHMARK(BM_DecodeInMemory)->Apply(Formats);
BENCHMARK(BM_SaveAs)->Apply(Formats);
BENCHMARK(BM_OpenFile)->Apply(Formats);

}  // namespace

int main(int argc, char** argv) { return BenchmarkMain(argc, argv); }
