// The scan's fast record walk against the plain record-by-record walk it must equal: over random
// plots of both formats, whole, cut short anywhere and with words overwritten by record codes,
// polygon markers and other values that end or start something, read from memory and from a file
// whose block edge falls inside the records, both walks find the same index, the same bounds and
// the same problems.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "core/plot_scan.h"
#include "testsupport/random_plot.h"
#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

using Bytes = std::vector<uint8_t>;

// What a scan found, or that it ended with an error.
struct Outcome {
  bool threw = false;
  bool truncated = false;
  PlotBounds bounds;
  test::IndexEntries index;
};

Outcome ScanWith(PlotReader& r, PltFormat format, RecordWalk walk) {
  Outcome o;
  LayerTable table;
  try {
    const PlotScanResult res = ScanPlot(r, format, table, true, walk);
    o.truncated = res.Truncated;
    o.bounds = res.DrawBounds;
    o.index = test::IndexOf(res);
  } catch (const PlotIoError&) {
    o.threw = true;
  }
  return o;
}

Outcome ScanBytes(std::span<const uint8_t> bytes, PltFormat format, RecordWalk walk) {
  PlotReader r(bytes);
  return ScanWith(r, format, walk);
}

std::string BoundsText(const PlotBounds& b) {
  return std::to_string(b.MinX) + ".." + std::to_string(b.MaxX) + " x " + std::to_string(b.MinY) + ".." +
         std::to_string(b.MaxY);
}

::testing::AssertionResult Same(const Outcome& fast, const Outcome& reference) {
  if (fast.threw != reference.threw)
    return ::testing::AssertionFailure() << "the fast walk " << (fast.threw ? "threw" : "did not throw");
  if (fast.truncated != reference.truncated)
    return ::testing::AssertionFailure() << "the fast walk " << (fast.truncated ? "found" : "missed") << " a cut";
  if (!(fast.bounds == reference.bounds))
    return ::testing::AssertionFailure() << "bounds " << BoundsText(fast.bounds) << ", reference "
                                         << BoundsText(reference.bounds);
  for (const auto& [key, positions] : reference.index) {
    const auto it = fast.index.find(key);
    if (it == fast.index.end() || it->second != positions)
      return ::testing::AssertionFailure()
             << "kind " << key.first << " layer " << key.second << ": "
             << (it == fast.index.end() ? 0 : it->second.size()) << " positions, reference " << positions.size();
  }
  if (fast.index.size() != reference.index.size())
    return ::testing::AssertionFailure() << "the fast walk indexed a kind and layer the reference did not";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameFromMemory(std::span<const uint8_t> bytes, PltFormat format) {
  return Same(ScanBytes(bytes, format, RecordWalk::Fast), ScanBytes(bytes, format, RecordWalk::Reference));
}

// Words that end a vertex list, a polygon boundary or a string, start a record, or lie next to
// such a value.
template <class F>
std::vector<uint32_t> TellingWords() {
  std::vector<uint32_t> w = {F::OpLayer, F::OpLine,    F::OpRect,        F::OpBar,         F::OpCircle,
                             F::OpArc,   F::OpText,    F::OpPolygon,     F::OpSkip,        F::OpContour,
                             F::OpHole,  F::OpPolyEnd, F::OpContour - 1, F::OpPolyEnd + 1, 0};
  if constexpr (F::kWord == 2)
    w.insert(w.end(), {Plt45::OpCircleAlt, 0x8000, 0x81FF, 0x8200, 0x7FFF});
  else
    w.insert(w.end(), {0x80000000, 0x7FFFFFFF});
  return w;
}

// Overwrites a few words of the records (at word positions, in the format's byte order) with
// telling words or now and then any number, and sometimes a single byte anywhere.
template <class F>
void DamageAs(Bytes& bytes, std::mt19937& rng) {
  constexpr size_t kWord = F::kWord, kFirst = F::kHeaderSize;
  if (bytes.size() < kFirst + kWord) return;
  static const std::vector<uint32_t> words = TellingWords<F>();
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  for (size_t k = 1 + pick(4); k > 0; --k) {
    const size_t at = kFirst + pick((bytes.size() - kFirst) / kWord) * kWord;
    const uint32_t v = pick(5) == 0 ? static_cast<uint32_t>(rng()) : words[pick(words.size())];
    for (size_t i = 0; i < kWord; ++i)
      bytes[at + i] = static_cast<uint8_t>(v >> (8 * (kWord == 2 ? i : kWord - 1 - i)));
  }
  if (pick(3) == 0) bytes[kFirst + pick(bytes.size() - kFirst)] = static_cast<uint8_t>(rng());
}

void Damage(Bytes& bytes, PltFormat format, std::mt19937& rng) {
  format == PltFormat::Plt45 ? DamageAs<Plt45>(bytes, rng) : DamageAs<Plt85>(bytes, rng);
}

class ScanWalks : public ::testing::TestWithParam<PltFormat> {};

// Plots read from memory: whole (where the reference also finds what was written), cut short at
// any place, damaged, and damaged and cut.
TEST_P(ScanWalks, FastWalkEqualsTheReferenceOverRandomPlots) {
  const PltFormat format = GetParam();
  for (uint32_t seed = 1; seed <= 1200; ++seed) {
    const test::RandomPlot p = test::MakeRandomPlot(format, seed, 16 + seed % 1500, static_cast<int>(seed % 3));
    const Bytes& whole = p.w.bytes();
    SCOPED_TRACE("seed " + std::to_string(seed));
    const Outcome reference = ScanBytes(whole, format, RecordWalk::Reference);
    ASSERT_FALSE(reference.truncated);
    ASSERT_EQ(reference.bounds, p.want);
    ASSERT_EQ(reference.index, p.index);
    ASSERT_TRUE(Same(ScanBytes(whole, format, RecordWalk::Fast), reference));

    std::mt19937 rng(seed);
    const size_t cut = std::uniform_int_distribution<size_t>(1, whole.size() - 1)(rng);
    ASSERT_TRUE(SameFromMemory(std::span(whole).first(cut), format)) << "cut at " << cut;
    Bytes damaged = whole;
    Damage(damaged, format, rng);
    ASSERT_TRUE(SameFromMemory(damaged, format)) << "damaged";
    const size_t damaged_cut = std::uniform_int_distribution<size_t>(1, damaged.size() - 1)(rng);
    ASSERT_TRUE(SameFromMemory(std::span(damaged).first(damaged_cut), format)) << "damaged, cut at " << damaged_cut;
  }
}

// Plots read from a file whose first block edge falls at a random place inside the records (the
// stray words before them set where): the fast walk rewinds a record it cannot finish in the
// block and reads it again through the file reader.
TEST_P(ScanWalks, FastWalkEqualsTheReferenceAcrossABlockEdge) {
  const PltFormat format = GetParam();
  const bool is45 = format == PltFormat::Plt45;
  const size_t word = is45 ? 2 : 4, header = is45 ? Plt45::kHeaderSize : Plt85::kHeaderSize;
  constexpr size_t kBlock = 256 * 1024;
  const testsupport::TempDir dir;
  const auto path = dir / "edge.plt";
  auto from_file = [&](RecordWalk walk) {
    PlotReader r = PlotReader::OpenFile(path, PlotReader::Access::Sequential);
    return ScanWith(r, format, walk);
  };
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    std::mt19937 rng(seed);
    const size_t into = std::uniform_int_distribution<size_t>(0, 1000)(rng);
    const int lead = static_cast<int>((kBlock - header - into) / word);
    const test::RandomPlot p = test::MakeRandomPlot(format, seed, kBlock + 1200, lead);
    SCOPED_TRACE("seed " + std::to_string(seed));
    Bytes bytes = p.w.bytes();
    const bool damaged = seed % 2 == 0, cut = seed % 3 == 0;
    if (damaged) Damage(bytes, format, rng);
    if (cut) bytes.resize(std::uniform_int_distribution<size_t>(kBlock - 64, bytes.size() - 1)(rng));
    {
      std::FILE* f = std::fopen(path.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
      std::fclose(f);
    }
    const Outcome reference = from_file(RecordWalk::Reference);
    if (!damaged && !cut) {
      ASSERT_EQ(reference.index, p.index);
      ASSERT_EQ(reference.bounds, p.want);
    }
    ASSERT_TRUE(Same(from_file(RecordWalk::Fast), reference));
    ASSERT_TRUE(Same(ScanBytes(bytes, format, RecordWalk::Fast), reference)) << "from memory";
  }
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Formats, ScanWalks, ::testing::Values(PltFormat::Plt45, PltFormat::Plt85),
                         [](const auto& info) { return info.param == PltFormat::Plt45 ? "Plt45" : "Plt85"; });

}  // namespace
}  // namespace quarto
