// What the benchmarks of hdd and of our host share: sparse images of many disks, made once
// a run, and the two costs their figures are set against (the least a listing does, and
// `cp -r` of an extracted tree).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace hddbench {

// An image of `disks` disks with `filesPerDisk` files of 3000 bytes a disk (users 0-2);
// 0 files makes an all-free image written directly (an image of 65 535 disks is 52 GB,
// sparse).
std::string ListingImage(std::uint32_t disks, int filesPerDisk);

// The listing benchmarks' images: 64 and 1024 disks of 20 files a disk, 2000 disks of one.
void ListingArgs(benchmark::internal::Benchmark* b);

// The least any listing does: one seek and one 32-byte read a directory slot, plain system
// calls. Arguments: disks, files a disk.
void MinimumSeekRead(benchmark::State& state);

// 1024 disks of users 0-3, 12 files each of mixed sizes (one to five entries): 12288
// files, 166 MB as extracted.
constexpr std::uint32_t kExtractDisks = 1024;
std::string ExtractImage();

// Where the extraction benchmarks write the tree.
inline const std::filesystem::path kExtractOut = "/tmp/bench-hdd-extract-out";

// Bytes of the files below `root`.
std::uintmax_t TreeBytes(const std::filesystem::path& root);

// cp -r of the tree in kExtractOut, on the same file system, which `writer` (the benchmark
// that must run first) wrote; removes both trees afterwards.
void CopyTreeWithCp(benchmark::State& state, const char* writer);

// Removes every image this run made.
void RemoveImages();

}  // namespace hddbench
