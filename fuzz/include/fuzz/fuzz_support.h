#pragma once
// Helpers the fuzz targets share: every input a user's file would bring in is written to a real
// file first, so the targets drive the same open and read paths as the programs do.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

// A folder of this process, removed at exit (each libFuzzer worker is its own process). The path
// lives on the heap and is never destroyed: static objects are destroyed before handlers that
// atexit registered earlier run, so a static path would be gone when the folder is removed.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path* const folder = [] {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    auto* dir = new std::filesystem::path(base / ("desktools-fuzz-" + std::to_string(::getpid())));
    std::filesystem::create_directories(*dir);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchFolder(), ignored);
    });
    return dir;
  }();
  return *folder;
}

// Writes the bytes as ScratchFolder()/name, replacing what was there, and returns the path.
inline std::filesystem::path WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  const std::filesystem::path path = ScratchFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) std::abort();
  return path;
}

// Stops the run with a message: the fuzzer reports it as a finding with the input that caused it.
[[noreturn]] inline void Fail(const char* what) {
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

}  // namespace fuzz
