#include "hddtest/operation_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "hddtest/test_support.h"
#include "platform/faults.h"
#include "platform/files.h"

namespace hddtest {

namespace fs = std::filesystem;

PluginPanelItem ItemRecord(const std::string& path, Kind kind) {
  PluginPanelItem item{};
  std::snprintf(item.FindData.cFileName, sizeof item.FindData.cFileName, "%s", path.c_str());
  item.FindData.dwFileAttributes = kind == Kind::Folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  return item;
}

namespace {

// The path in a 260-byte buffer of the caller, as the plug-in hands it over.
struct PathBuffer {
  char text[FM_PATH_SIZE] = {};
  explicit PathBuffer(const std::string& path) { std::memcpy(text, path.data(), std::min(path.size(), sizeof text)); }
};

HANDLE OpenFor(const std::string& image, bool readOnly) {
  if (image.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileA(image.c_str(), readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

int CopyOut(const std::string& image, const std::string& path, Kind kind, const std::string& dest) {
  const fs::path before = fs::current_path();
  fs::current_path(dest);
  const fs::path inside = fs::current_path();
  HANDLE h = OpenFor(image, true);
  if (!image.empty() && h == INVALID_HANDLE_VALUE) ADD_FAILURE() << "cannot open " << image;
  PathBuffer buffer(path);
  const int result = Module().copyToPC(h, buffer.text, ItemRecord(path, kind));
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  EXPECT_EQ(fs::current_path(), inside) << "working directory changed by " << path;
  fs::current_path(before);
  return result;
}

int Delete(const std::string& image, const std::string& path, Kind kind, bool readOnly) {
  HANDLE h = OpenFor(image, readOnly);
  if (!image.empty() && h == INVALID_HANDLE_VALUE) ADD_FAILURE() << "cannot open " << image;
  PathBuffer buffer(path);
  const int result = Module().delFile(h, buffer.text, ItemRecord(path, kind));
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return result;
}

Tree ReadTree(const std::string& root) {
  Tree tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string rel = fs::relative(entry.path(), root).string();
    if (entry.is_directory())
      tree[rel + "/"] = {};
    else
      tree[rel] = ReadWholeFile(entry.path().string());
  }
  return tree;
}

FaultScope::FaultScope(const std::string& text) { setenv(platform::kFaultsVariable, text.c_str(), 1); }
FaultScope::~FaultScope() { unsetenv(platform::kFaultsVariable); }

Bytes Slice(const Bytes& b, std::size_t from, std::size_t count) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes Join(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

}  // namespace hddtest
