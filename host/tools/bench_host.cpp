// Whole listings of sparse images of many disks through our host and the built plug-in
// with hdd.di (recognition, the item list, the root folder level), set against the least a
// listing must do (one seek and one 32-byte read a directory slot, plain system calls).
// After the timings it reports the peak memory of panoply-host listing the largest images.
// The copy of every disk folder of a 1024-disk image by the plug-in against `cp -r` of the
// same tree. The module's own figures are bench-hdd's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hddbench/bench_images.h"
#include "host/host.h"

namespace {

constexpr std::uint32_t kSlots = 128;
const char* const kRegistry = "/tmp/bench-host-registry.txt";

// Our host with the built plug-in loaded and started, with no observer; null (the benchmark
// skipped) when the plug-in does not load.
std::unique_ptr<host::Host> StartedHost(benchmark::State& state) {
  host::HostOptions options;
  options.registryFile = kRegistry;
  auto h = std::make_unique<host::Host>(options);
  std::string error;
  if (!h->Load(PANOPLY_PLUGIN_PATH, &error)) {
    state.SkipWithError(error.c_str());
    return nullptr;
  }
  h->Start();
  return h;
}

void BM_MinimumSeekRead(benchmark::State& state) { hddbench::MinimumSeekRead(state); }

// Through our host and the built plug-in with hdd.di: the file offered (recognition and
// the first reading of the item list), then the root folder level (GetFindData) and the
// first disk's folder level.
void BM_HostListing(benchmark::State& state) {
  const auto disks = static_cast<std::uint32_t>(state.range(0));
  const std::string path = hddbench::ListingImage(disks, static_cast<int>(state.range(1)));
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

BENCHMARK(BM_MinimumSeekRead)->Apply(hddbench::ListingArgs);
BENCHMARK(BM_HostListing)->Apply(hddbench::ListingArgs);
// 65 535 disks, every slot free: 8.4 million slots for an empty panel.
BENCHMARK(BM_MinimumSeekRead)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_HostListing)->Args({65535, 0})->Iterations(1)->Unit(benchmark::kSecond);

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
    execl(PANOPLY_HOST_PATH, "panoply-host", "--yes", "--registry", kRegistry, image.c_str(), "ls",
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

// The 1024 disk folders of the extraction image copied by the plug-in: GetFiles
// (OPM_SILENT) of the whole root level through our host library, which also checks the
// call and reads the panel again afterwards, as a file manager's copy command does.
void BM_HostCopyEveryDisk(benchmark::State& state) {
  namespace fs = std::filesystem;
  const std::string image = hddbench::ExtractImage();
  const fs::path& out = hddbench::kExtractOut;
  const auto started = StartedHost(state);
  if (!started) return;
  host::Host& h = *started;
  if (!h.OpenFile(image) || !h.ReadPanel() || h.panelItems.size() != hddbench::kExtractDisks) {
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
  state.counters["MB"] = static_cast<double>(hddbench::TreeBytes(out)) / 1e6;
}
BENCHMARK(BM_HostCopyEveryDisk)->Unit(benchmark::kMillisecond)->Iterations(3);

// cp -r of the tree that the plug-in's copy wrote, on the same file system.
void BM_CopyTreeWithCp(benchmark::State& state) { hddbench::CopyTreeWithCp(state, "BM_HostCopyEveryDisk"); }
BENCHMARK(BM_CopyTreeWithCp)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) {
    std::fprintf(
        stderr, "bench-host: unknown argument \"%s\"\nusage: bench-host [--benchmark_filter=REGEX] [--benchmark_...]\n",
        argv[1]);
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nPeak memory of panoply-host listing the root folder (one process each):\n");
  for (const auto& [disks, files] : std::vector<std::pair<std::uint32_t, int>>{{1, 1}, {2000, 1}, {65535, 0}})
    std::printf("  %5u disks, %s: %ld kB\n", disks,
                files ? (std::to_string(files * disks) + " files").c_str() : "all free",
                PeakMemoryOfListing(hddbench::ListingImage(disks, files)));
  benchmark::Shutdown();
  hddbench::RemoveImages();
  return 0;
}
