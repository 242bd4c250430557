#include "cpmtools_trees.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "cpmtools_support.h"
#include "hdd_image.h"
#include "image_builder.h"

namespace hddtest {

namespace fs = std::filesystem;

constexpr std::size_t kFloppyDirectory = 40 * 1024;  // 8 tracks of 5 sectors before the directory
constexpr std::size_t kFloppyRegion = 780 * 1024;    // directory and data of a full floppy

// Files only: folders dropped from a tree.
Tree FilesOf(const Tree& tree) {
  Tree out;
  for (const auto& [name, bytes] : tree)
    if (name.empty() || name.back() != '/') out[name] = bytes;
  return out;
}

// What cpmcp copies out of a floppy, user by user: user 0 on top, user U in
// "user_U". cpmcp refuses names holding "?", so it reads a scratch copy in
// which every "?" of a name is a "q", and the files get their names back.
Tree CpmcpTree(const std::string& work, const std::string& floppy) {
  Bytes image = hddtest::ReadWholeFile(floppy);
  std::map<std::string, std::string> renames;  // path as cpmcp writes it -> listed path
  for (std::size_t k = 0; k < 128; ++k) {
    const std::size_t at = kFloppyDirectory + 32 * k;
    if (at + 32 > image.size() || image[at] > 15) continue;
    hdd::DirectoryEntry before;
    std::memcpy(&before, &image[at], 32);
    bool patched = false;
    for (std::size_t i = 1; i < 12; ++i)
      if (image[at + i] == '?') image[at + i] = 'Q', patched = true;
    if (!patched) continue;
    hdd::DirectoryEntry after;
    std::memcpy(&after, &image[at], 32);
    char from[hdd::kEntryNameSize], to[hdd::kEntryNameSize];
    hdd::BuildEntryName(after, from);
    hdd::BuildEntryName(before, to);
    char folder[16] = "";
    if (before.User != 0) std::snprintf(folder, sizeof folder, "user_%x/", before.User);
    renames[std::string(folder) + from] = std::string(folder) + to;
  }
  const std::string scratch = work + "/scratch.fdd";
  {
    FILE* f = std::fopen(scratch.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (!f) return {};
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
  }
  const std::string out = work + "/cpmcp";
  fs::remove_all(out);
  fs::create_directory(out);
  hddtest::WriteDiskdefs(work);
  for (int user = 0; user <= 15; ++user) {
    char folder[16] = ".";
    if (user != 0) std::snprintf(folder, sizeof folder, "user_%x", user);
    fs::create_directories(out + "/" + folder);
    EXPECT_TRUE(
        hddtest::RunIn(work, "cpmcp -f microdos scratch.fdd '" + std::to_string(user) + ":*' 'cpmcp/" + folder + "/'"))
        << floppy << " user " << user;
  }
  Tree tree = FilesOf(hddtest::ReadTree(out));
  for (const auto& [from, to] : renames) {
    auto it = tree.find(from);
    EXPECT_NE(it, tree.end()) << from;
    if (it == tree.end()) continue;
    Bytes bytes = std::move(it->second);
    tree.erase(it);
    tree[to] = std::move(bytes);
  }
  return tree;
}

// Disk d's 780 sectors from its directory behind 40 sectors of 0xE5: a file
// of a floppy's shape that cpmtools read.
std::string FloppyOfDisk(const std::string& image, int disk, const std::string& path) {
  Bytes floppy(kFloppyDirectory, 0xE5);
  const Bytes region = hddtest::ReadFileBytes(image, (disk - 1) * 803840ull + 41984, kFloppyRegion);
  EXPECT_EQ(region.size(), kFloppyRegion);
  floppy.insert(floppy.end(), region.begin(), region.end());
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  if (f) {
    std::fwrite(floppy.data(), 1, floppy.size(), f);
    std::fclose(f);
  }
  return path;
}

}  // namespace hddtest
