// Recognition and whole listings of sparse images of many disks, three ways: the least a
// listing must do (one seek and one 32-byte read a directory slot, plain system calls),
// the module's own walk, and, when the plug-in is built, the listing through our host
// and the plug-in (recognition, the item list, the root folder level). After the timings
// it reports the peak memory of panoply-host listing the largest images. Extraction of
// every disk folder of a 1024-disk image against `cp -r` of the same tree.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "hdd/hdd_extract.h"
#include "hdd/hdd_image.h"
#include "hdd/hdd_listing.h"
#include "hddtest/image_builder.h"
#include "platform/files.h"
#ifdef PANOPLY_PLUGIN_PATH
#include "host/host.h"
#endif

namespace {

constexpr std::uint64_t kDiskBytes = 803840;
constexpr std::uint64_t kDirectoryStart = 41984;
constexpr std::uint32_t kSlots = 128;

// Images made once per run: disks x files-per-disk; files 0 makes an all-free image
// written directly (an image of 65 535 disks is 52 GB, sparse).
std::map<std::pair<std::uint32_t, int>, std::string>& Images() {
  static std::map<std::pair<std::uint32_t, int>, std::string> images;
  return images;
}

std::string ImageOf(std::uint32_t disks, int filesPerDisk) {
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

void BM_Recognize(benchmark::State& state) {
  const std::string path = ImageOf(static_cast<std::uint32_t>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(hdd::RecognizeImage(path.c_str(), 1024));
}
BENCHMARK(BM_Recognize)->Args({1, 20})->Args({64, 20})->Args({1024, 20});

// The least any listing does: one seek and one 32-byte read a slot.
void BM_MinimumSeekRead(benchmark::State& state) {
  const auto disks = static_cast<std::uint32_t>(state.range(0));
  const std::string path = ImageOf(disks, static_cast<int>(state.range(1)));
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

void BM_ModuleWalk(benchmark::State& state) {
  const std::string path = ImageOf(static_cast<std::uint32_t>(state.range(0)), static_cast<int>(state.range(1)));
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

#ifdef PANOPLY_PLUGIN_PATH
// Our host with the built plug-in loaded and started, with no observer; null (the benchmark
// skipped) when the plug-in does not load.
std::unique_ptr<host::Host> StartedHost(benchmark::State& state) {
  host::HostOptions options;
  options.registryFile = "/tmp/bench-hdd-registry.txt";
  auto h = std::make_unique<host::Host>(options);
  std::string error;
  if (!h->Load(PANOPLY_PLUGIN_PATH, &error)) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  h->Start();
  return h;
}

// Through our host and the built plug-in with hdd.di: the file offered (recognition and
// the first reading of the item list), then the root folder level (GetFindData) and the
// first disk's folder level.
void BM_HostListing(benchmark::State& state) {
  const auto disks = static_cast<std::uint32_t>(state.range(0));
  const std::string path = ImageOf(disks, static_cast<int>(state.range(1)));
  const auto started = StartedHost(state);
  if (!started) return;
  host::Host& h = *started;
  std::size_t rows = 0;
  for (auto _ : state) {
    if (!h.OpenFile(path) || !h.ReadPanel()) state.SkipWithError("the image did not list");
    rows = h.panelItems.size();
    if (rows && !h.ChangeDirectory(h.panelItems[0].FindData.cFileName)) state.SkipWithError("no first disk");
    h.ClosePanel();
  }
  h.Stop();
  state.counters["rows"] = static_cast<double>(rows);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * disks * kSlots);
}
#endif

void ListingArgs(benchmark::internal::Benchmark* b) {
  b->Args({64, 20})->Args({1024, 20})->Args({2000, 1})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_MinimumSeekRead)->Apply(ListingArgs);
BENCHMARK(BM_ModuleWalk)->Apply(ListingArgs);
#ifdef PANOPLY_PLUGIN_PATH
BENCHMARK(BM_HostListing)->Apply(ListingArgs);
#endif
// 65 535 disks, every slot free: 8.4 million slots for an empty panel.
BENCHMARK(BM_MinimumSeekRead)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_ModuleWalk)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);
#ifdef PANOPLY_PLUGIN_PATH
BENCHMARK(BM_HostListing)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);
#endif

#ifdef PANOPLY_HOST_PATH
// Peak resident memory (kB) of panoply-host listing an image's root, as a process of its
// own. The child is traced so that its high-water mark can be read from /proc as it
// exits: the mark belongs to the program's own memory (the resource usage a wait reports
// would also count the forked copy of this process).
long PeakMemoryOfListing(const std::string& image) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    execl(PANOPLY_HOST_PATH, "panoply-host", "--yes", "--registry", "/tmp/bench-hdd-registry.txt", image.c_str(), "ls",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) return -1;
  long peak = -1;
  int status = 0;
  bool first = true;
  while (waitpid(pid, &status, 0) == pid && WIFSTOPPED(status)) {
    int signal = 0;
    if (first) {
      ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
      first = false;
    } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      std::ifstream in("/proc/" + std::to_string(pid) + "/status");
      std::string line;
      while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0) peak = std::strtol(line.c_str() + 6, nullptr, 10);
    } else {
      signal = WSTOPSIG(status);
    }
    ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void*>(static_cast<intptr_t>(signal)));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? peak : -1;
}
#endif

// 1024 disks of users 0-3, 12 files each of mixed sizes (one to five entries):
// 12288 files, 166 MB as extracted.
constexpr std::uint32_t kExtractDisks = 1024;
constexpr std::size_t kFileSizes[] = {128, 1000, 2048, 3000, 5000, 9000, 16384, 20000, 33000, 1500, 700, 70000};

// Made once per run and removed at its end with the other images.
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
}
BENCHMARK(BM_ExtractEveryDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

#ifdef PANOPLY_PLUGIN_PATH
// The same 1024 disk folders copied by the plug-in: GetFiles (OPM_SILENT) of the whole
// root level through our host library, which also checks the call and reads the panel
// again afterwards, as a file manager's copy command does.
void BM_HostCopyEveryDisk(benchmark::State& state) {
  namespace fs = std::filesystem;
  const std::string image = ExtractImage();
  const fs::path out = "/tmp/bench-hdd-extract-out";
  const auto started = StartedHost(state);
  if (!started) return;
  host::Host& h = *started;
  if (!h.OpenFile(image) || !h.ReadPanel() || h.panelItems.size() != kExtractDisks) {
    state.SkipWithError("the image did not list");
    return;
  }
  std::vector<int> all(h.panelItems.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(out);
    state.ResumeTiming();
    if (h.Copy(all, out, false, OPM_SILENT) != 1 || !h.TakeCallErrors().empty()) state.SkipWithError("the copy failed");
  }
  h.Stop();
  state.counters["MB"] = static_cast<double>(TreeBytes(out)) / 1e6;
}
BENCHMARK(BM_HostCopyEveryDisk)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

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

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) {
    std::fprintf(stderr,
                 "bench-hdd: unknown argument \"%s\"\nusage: bench-hdd [--benchmark_filter=REGEX] [--benchmark_...]\n",
                 argv[1]);
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
#ifdef PANOPLY_HOST_PATH
  std::printf("\nPeak memory of panoply-host listing the root folder (one process each):\n");
  for (const auto& [disks, files] : std::vector<std::pair<std::uint32_t, int>>{{1, 1}, {2000, 1}, {65535, 0}})
    std::printf("  %5u disks, %s: %ld kB\n", disks,
                files ? (std::to_string(files * disks) + " files").c_str() : "all free",
                PeakMemoryOfListing(ImageOf(disks, files)));
#endif
  benchmark::Shutdown();
  for (const auto& [key, path] : Images()) std::remove(path.c_str());
  return 0;
}
