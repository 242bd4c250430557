// File facts as listings show them, and telling whether two names reach one file.
#include "common/file_facts.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support.h"

namespace common {
namespace {

using namespace common::test;

TEST(StatFile, KindSizeAndTheReadOnlyRule) {
  TempDir dir;
  WriteText(dir.File("file"), "12345");
  WriteText(dir.File("protected"), "12");
  ::chmod(dir.File("protected").c_str(), 0444);
  WriteText(dir.File("others-may-not"), "1");
  ::chmod(dir.File("others-may-not").c_str(), 0600);
  fs::create_directory(dir / "folder");
  fs::create_symlink("protected", dir / "link");
  fs::create_symlink("nowhere", dir / "dangling");
  const struct {
    const char* name;
    bool directory;
    bool readOnly;
    std::uint64_t size;
  } cases[] = {
      {"file", false, false, 5},  {"protected", false, true, 2}, {"others-may-not", false, false, 1},
      {"folder", true, false, 0}, {"link", false, true, 2},
  };
  for (const auto& c : cases) {
    const Result<FileFacts> f = StatFile(dir.File(c.name));
    ASSERT_TRUE(f) << c.name;
    EXPECT_EQ(f->directory, c.directory) << c.name;
    EXPECT_EQ(f->readOnly, c.readOnly) << c.name;
    EXPECT_EQ(f->size, c.size) << c.name;
  }
  EXPECT_EQ(StatFile(dir.File("dangling")).error(), ENOENT);
  const Result<FileFacts> link = StatFile(dir.File("dangling"), true);
  ASSERT_TRUE(link);
  EXPECT_EQ(link->size, 7u) << "the link itself: the length of what it holds";
  EXPECT_EQ(StatFile(dir.File("missing"), true).error(), ENOENT);
}

TEST(SameFile, EveryWayToReachAFileIsTheSameFile) {
  TempDir dir;
  WriteText(dir.File("a.plt"), "plot");
  WriteText(dir.File("other.plt"), "plot");
  fs::create_symlink("a.plt", dir / "a.bmp");
  fs::create_hard_link(dir / "a.plt", dir / "hard.bmp");
  fs::create_directory(dir / "sub");
  const struct {
    std::string name;
    bool same;
  } cases[] = {
      {dir.File("a.plt"), true},    {dir.File("sub/../a.plt"), true}, {dir.File("a.bmp"), true},
      {dir.File("hard.bmp"), true}, {dir.File("other.plt"), false},   {dir.File("missing.bmp"), false},
  };
  for (const auto& c : cases) EXPECT_EQ(SameFile(c.name, dir.File("a.plt")), c.same) << c.name;
  EXPECT_FALSE(SameFile(dir.File("missing"), dir.File("missing")));
}

}  // namespace
}  // namespace common
