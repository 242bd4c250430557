#include "hddtest/cpmtools_trees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hdd/hdd_image.h"
#include "hddtest/cpmtools_support.h"
#include "hddtest/image_builder.h"

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

std::string CpmtoolsFloppy(const std::string& work, const std::vector<CpmFile>& files, const std::string& path) {
  hddtest::WriteDiskdefs(work);
  fs::remove(path);
  EXPECT_TRUE(hddtest::RunIn(work, "mkfs.cpm -f microdos '" + path + "'"));
  const std::string source = work + "/cpmfile.bin";
  for (const CpmFile& f : files) {
    FILE* out = std::fopen(source.c_str(), "wb");
    EXPECT_NE(out, nullptr);
    if (!out) continue;
    std::fwrite(f.bytes.data(), 1, f.bytes.size(), out);
    std::fclose(out);
    EXPECT_TRUE(hddtest::RunIn(
        work, "cpmcp -f microdos '" + path + "' cpmfile.bin '" + std::to_string(f.user) + ":" + f.name + "'"))
        << f.name;
  }
  fs::remove(source);
  return path;
}

void ReverseEntries(const std::string& floppy, int user, const std::string& nameField) {
  Bytes image = hddtest::ReadWholeFile(floppy);
  std::vector<std::size_t> slots;
  for (std::size_t k = 0; k < 128; ++k) {
    const std::size_t at = kFloppyDirectory + 32 * k;
    if (at + 32 <= image.size() && image[at] == user && std::memcmp(&image[at + 1], nameField.data(), 11) == 0)
      slots.push_back(at);
  }
  EXPECT_GE(slots.size(), 2u) << nameField;
  std::vector<Bytes> entries;
  for (std::size_t at : slots) entries.emplace_back(image.begin() + at, image.begin() + at + 32);
  for (std::size_t i = 0; i < slots.size(); ++i)
    std::copy(entries[slots.size() - 1 - i].begin(), entries[slots.size() - 1 - i].end(), image.begin() + slots[i]);
  FILE* out = std::fopen(floppy.c_str(), "wb");
  EXPECT_NE(out, nullptr);
  if (!out) return;
  std::fwrite(image.data(), 1, image.size(), out);
  std::fclose(out);
}

std::string ExtentBoundaryFloppy(const std::string& work, const std::string& path) {
  // Sizes in whole records: cpmtools keeps a file's exact byte count in a field
  // the format leaves unused, so other sizes read back longer here.
  const std::vector<CpmFile> files = {
      {0, "full16.bin", PatternBytes(16384, 1)}, {0, "full32.bin", PatternBytes(32768, 2)},
      {0, "small.txt", PatternBytes(1280, 3)},   {0, "back48.bin", PatternBytes(49152, 4)},
      {3, "edge.dat", PatternBytes(16384, 5)},   {3, "back.dat", PatternBytes(36096, 6)},
  };
  CpmtoolsFloppy(work, files, path);
  ReverseEntries(path, 0, "BACK48  BIN");
  ReverseEntries(path, 3, "BACK    DAT");
  return path;
}

std::string ExtentBoundaryImage(const std::string& work, std::uint32_t disks, std::uint32_t copies,
                                const std::string& path, std::string* floppy) {
  const std::string made = ExtentBoundaryFloppy(work, work + "/cpm.fdd");
  if (floppy) *floppy = made;
  const Bytes bytes = ReadWholeFile(made);
  ImageBuilder b(disks);
  for (std::uint32_t d = 1; d <= copies; ++d) b.AddFloppy(d, bytes);
  EXPECT_TRUE(b.Save(path));
  return path;
}

}  // namespace hddtest
