#pragma once
// The main of the Google Benchmark programs: the library's own flags (--help lists them) and
// nothing else; any other argument gives the usage line and exit code 2 instead of a run.
#include <benchmark/benchmark.h>

#include <cstdio>

inline int BenchmarkMain(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) {
    std::fprintf(stderr, "%s: unknown argument \"%s\"\nusage: %s [--benchmark_filter=REGEX] [--benchmark_...]\n",
                 argv[0], argv[1], argv[0]);
    return 2;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
