#include "hddbench/bench_images.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "hddtest/image_builder.h"

namespace hddbench {

namespace {

constexpr std::uint64_t kDiskBytes = 803840;
constexpr std::uint64_t kDirectoryStart = 41984;
constexpr std::uint32_t kSlots = 128;
constexpr std::size_t kFileSizes[] = {128, 1000, 2048, 3000, 5000, 9000, 16384, 20000, 33000, 1500, 700, 70000};

// Images made in this run: disks x files-per-disk (-1 files: the extraction image).
std::map<std::pair<std::uint32_t, int>, std::string>& Images() {
  static std::map<std::pair<std::uint32_t, int>, std::string> images;
  return images;
}

}  // namespace

std::string ListingImage(std::uint32_t disks, int filesPerDisk) {
  auto& images = Images();
  if (auto it = images.find({disks, filesPerDisk}); it != images.end()) return it->second;
  const std::string path = "/tmp/bench-hdd-" + std::to_string(disks) + "-" + std::to_string(filesPerDisk) + ".hdd";
  if (filesPerDisk == 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && ftruncate(fd, static_cast<off_t>(disks * kDiskBytes)) == 0;
    const std::vector<unsigned char> freeDirectory(kSlots * 32, 0xE5);
    const unsigned char count[2] = {static_cast<unsigned char>(disks & 0xFF), static_cast<unsigned char>(disks >> 8)};
    ok = ok && pwrite(fd, count, 2, 132) == 2;
    for (std::uint64_t d = 0; ok && d < disks; ++d)
      ok = pwrite(fd, freeDirectory.data(), freeDirectory.size(),
                  static_cast<off_t>(d * kDiskBytes + kDirectoryStart)) == static_cast<ssize_t>(freeDirectory.size());
    if (fd >= 0) close(fd);
    if (!ok) throw std::runtime_error("cannot write " + path);
  } else {
    hddtest::ImageBuilder b(disks);
    for (std::uint32_t d = 1; d <= disks; ++d)
      for (int f = 0; f < filesPerDisk; ++f)
        b.AddFile(d, static_cast<std::uint8_t>(f % 3), "FILE" + std::to_string(f) + ".DAT", hddtest::Bytes(3000, 0x11));
    if (!b.Save(path)) throw std::runtime_error("cannot write " + path);
  }
  images[{disks, filesPerDisk}] = path;
  return path;
}

void ListingArgs(benchmark::internal::Benchmark* b) {
  b->Args({64, 20})->Args({1024, 20})->Args({2000, 1})->Unit(benchmark::kMillisecond);
}

void MinimumSeekRead(benchmark::State& state) {
  const auto disks = static_cast<std::uint32_t>(state.range(0));
  const std::string path = ListingImage(disks, static_cast<int>(state.range(1)));
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  unsigned char slot[32];
  std::uint64_t used = 0;
  for (auto _ : state) {
    for (std::uint64_t d = 0; d < disks; ++d)
      for (std::uint32_t k = 0; k < kSlots; ++k) {
        lseek(fd, static_cast<off_t>(d * kDiskBytes + kDirectoryStart + k * 32), SEEK_SET);
        if (read(fd, slot, sizeof slot) != sizeof slot) state.SkipWithError("short read");
        used += slot[0] != 0xE5;
      }
  }
  benchmark::DoNotOptimize(used);
  close(fd);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * disks * kSlots);
}

std::string ExtractImage() {
  auto& images = Images();
  if (auto it = images.find({kExtractDisks, -1}); it != images.end()) return it->second;
  const std::string path = "/tmp/bench-hdd-extract.hdd";
  hddtest::ImageBuilder b(kExtractDisks);
  for (std::uint32_t d = 1; d <= kExtractDisks; ++d)
    for (std::size_t f = 0; f < std::size(kFileSizes); ++f)
      b.AddFile(d, static_cast<std::uint8_t>(f % 4), "FILE" + std::to_string(f) + ".DAT",
                hddtest::PatternBytes(kFileSizes[f], static_cast<std::uint8_t>(d + f)));
  if (!b.Save(path)) throw std::runtime_error("cannot write " + path);
  images[{kExtractDisks, -1}] = path;
  return path;
}

std::uintmax_t TreeBytes(const std::filesystem::path& root) {
  std::uintmax_t total = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) total += e.file_size();
  return total;
}

void CopyTreeWithCp(benchmark::State& state, const char* writer) {
  namespace fs = std::filesystem;
  const fs::path& from = kExtractOut;
  const fs::path to = "/tmp/bench-hdd-extract-cp";
  if (!fs::exists(from)) {
    state.SkipWithError(("run " + std::string(writer) + " first").c_str());
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

void RemoveImages() {
  for (const auto& [key, path] : Images()) std::remove(path.c_str());
}

}  // namespace hddbench
