// The one path parser of extraction and deletion.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "hdd/hdd_paths.h"
#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "hddtest/test_support.h"

namespace {

using hddtest::Kind;

struct PathCase {
  const char* path;
  Kind kind;
  int result;  // with a 20-disk image
  hdd::ItemKind item = hdd::ItemKind::File;
  std::uint32_t disk = 0;
  std::uint32_t user = 0;
  const char* name = "";
};

const PathCase kCases[] = {
    // Read as the listing writes them.
    {"DISK_01\\README.TXT", Kind::File, 1, hdd::ItemKind::File, 1, 0, "readme.txt"},
    {"disk_0a\\user_f\\x.com", Kind::File, 1, hdd::ItemKind::File, 10, 15, "x.com"},
    {"disk_01\\user_3", Kind::File, 1, hdd::ItemKind::File, 1, 0, "user_3"},  // a user-0 file of that name
    {"disk_14", Kind::Folder, 1, hdd::ItemKind::Disk, 20},
    {"Disk_02\\User_C", Kind::Folder, 1, hdd::ItemKind::UserArea, 2, 12},
    {"disk_01\\a b!?*:\xe9", Kind::File, 1, hdd::ItemKind::File, 1, 0, "a b!?*:\xe9"},
    // Not paths of this format.
    {"", Kind::File, 2},
    {"readme.txt", Kind::File, 2},
    {"disk_01", Kind::File, 2},
    {"disk_1\\a", Kind::File, 2},
    {"disk_001\\a", Kind::File, 2},
    {"disk_0100", Kind::Folder, 2},
    {"disk_\\a", Kind::File, 2},
    {"disk_0g\\a", Kind::File, 2},
    {"disk_01 \\a", Kind::File, 2},
    {"dsk_01\\a", Kind::File, 2},
    {"\\disk_01\\a", Kind::File, 2},
    {"disk_01\\\\a", Kind::File, 2},
    {"disk_01\\", Kind::File, 2},
    {"disk_01\\user_3\\", Kind::File, 2},
    {"disk_01\\user_03\\a", Kind::File, 2},
    {"disk_01\\user_\\a", Kind::File, 2},
    {"disk_01\\user_g\\a", Kind::File, 2},
    {"disk_01\\user_0\\a", Kind::File, 2},
    {"disk_01\\user_0", Kind::Folder, 2},
    {"disk_01\\user_3\\a\\b", Kind::File, 2},
    {"disk_01\\a\\b", Kind::File, 2},
    {"disk_01\\a", Kind::Folder, 2},
    {"disk_01\\user_3\\a", Kind::Folder, 2},
    {"disk_01/a", Kind::File, 2},
    // Numbers out of range of a 20-disk image.
    {"disk_00\\a", Kind::File, 5, hdd::ItemKind::File, 0, 0, "a"},
    {"disk_15\\a", Kind::File, 5, hdd::ItemKind::File, 21, 0, "a"},
    {"disk_100", Kind::Folder, 5, hdd::ItemKind::Disk, 256},
    {"disk_ffffffffffff\\a", Kind::File, 5, hdd::ItemKind::File, 0xFFFFFFFFu, 0, "a"},
    {"disk_01\\user_41", Kind::Folder, 5, hdd::ItemKind::UserArea, 1, 0x41},
    {"disk_01\\user_10\\a", Kind::File, 5, hdd::ItemKind::File, 1, 16, "a"},
};

TEST(ItemPath, TableOfPaths) {
  for (const PathCase& c : kCases) {
    SCOPED_TRACE(c.path);
    hdd::ItemPath p;
    const int syntax = hdd::ParseItemPath(c.path, c.kind == Kind::Folder, p);
    if (c.result == 2) {
      EXPECT_EQ(syntax, 2);
      continue;
    }
    ASSERT_EQ(syntax, 1);
    EXPECT_EQ(hdd::CheckItemRange(p, 20), c.result);
    EXPECT_EQ(p.kind, c.item);
    EXPECT_EQ(p.disk, c.disk);
    EXPECT_EQ(p.user, c.user);
    EXPECT_STREQ(p.name, c.name);
  }
}

TEST(ItemPath, PathWithoutTerminatorInItsBufferIsRefused) {
  char path[MAX_PATH + 8];
  std::memset(path, 'a', sizeof path);
  std::memcpy(path, "disk_01\\", 8);
  path[sizeof path - 1] = '\0';  // the terminator lies beyond the 260 bytes
  hdd::ItemPath p;
  EXPECT_EQ(hdd::ParseItemPath(path, false, p), 2);
  path[MAX_PATH - 1] = '\0';
  EXPECT_EQ(hdd::ParseItemPath(path, false, p), 1);
}

// Both operations refuse the same paths before touching the image: with no
// image at all they still answer 2, and a well-formed path fails with 0.
TEST(ItemPath, BothOperationsRefuseWithoutReading) {
  hddtest::TempDir dest;
  for (const PathCase& c : kCases) {
    SCOPED_TRACE(c.path);
    const int expected = c.result == 2 ? 2 : 0;
    EXPECT_EQ(hddtest::CopyOut("", c.path, c.kind, dest.Path()), expected);
    EXPECT_EQ(hddtest::Delete("", c.path, c.kind), expected);
  }
  EXPECT_TRUE(hddtest::ReadTree(dest.Path()).empty());
}

// With a 20-disk image the numbers are checked against its own disk count.
TEST(ItemPath, OutOfRangeGivesFiveAndChangesNothing) {
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(20);
  b.AddFile(1, 4, "A", hddtest::PatternBytes(100));
  ASSERT_TRUE(b.Save(dir.File("img")));
  const hddtest::Bytes before = hddtest::ReadWholeFile(dir.File("img"));
  std::filesystem::create_directory(dir.path() / "out");
  for (const PathCase& c : kCases) {
    if (c.result != 5) continue;
    SCOPED_TRACE(c.path);
    EXPECT_EQ(hddtest::CopyOut(dir.File("img"), c.path, c.kind, dir.File("out")), 5);
    EXPECT_EQ(hddtest::Delete(dir.File("img"), c.path, c.kind), 5);
  }
  EXPECT_EQ(hddtest::ReadWholeFile(dir.File("img")), before);
  EXPECT_TRUE(hddtest::ReadTree(dir.File("out")).empty());
}

// Strictness: any path the parser takes is exactly the one the listing would
// write for the numbers and name it read (letters A-Z aside). Paths are drawn
// from pieces that make near-misses likely.
TEST(ItemPath, EveryAcceptedPathIsTheListedOne) {
  const char* const pieces[] = {"disk_", "user_", "DISK_", "0", "1", "a", "F", "g", "10", "\\", "x", ".", " ", "00"};
  std::mt19937 random(17);
  std::size_t accepted = 0;
  for (int n = 0; n < 200000; ++n) {
    std::string path;
    const int count = 1 + static_cast<int>(random() % 9);
    for (int i = 0; i < count; ++i) path += pieces[random() % std::size(pieces)];
    for (const bool directory : {false, true}) {
      hdd::ItemPath p;
      if (hdd::ParseItemPath(path.c_str(), directory, p) != 1) continue;
      ++accepted;
      if (p.disk == UINT32_MAX || p.user == UINT32_MAX) continue;  // saturated: out of every range
      char rebuilt[MAX_PATH * 2];
      int len = std::snprintf(rebuilt, sizeof rebuilt, "disk_%02x", p.disk);
      if (p.user != 0) len += std::snprintf(rebuilt + len, sizeof rebuilt - len, "\\user_%x", p.user);
      if (p.kind == hdd::ItemKind::File) std::snprintf(rebuilt + len, sizeof rebuilt - len, "\\%s", p.name);
      std::string lower = path;
      for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      ASSERT_EQ(lower, rebuilt) << (directory ? "folder " : "file ") << path;
      EXPECT_EQ(p.kind == hdd::ItemKind::File, !directory);
    }
  }
  EXPECT_GT(accepted, 100u);
}

}  // namespace
