// Replacing a file's content: through symbolic links, and what is left behind.
#include "core/fileio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/error.h"
#include "support/fixtures.h"

namespace brindle {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::size_t Entries(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(ReplaceFile, ThroughASymbolicLinkTheTargetChangesAndTheLinkStays) {
  test::TempDir dir;
  fs::create_directory(dir / "real");
  fs::create_directory(dir / "links");
  const Bytes oldData(500, 0x11), newData{1, 2, 3};
  struct Case {
    const char* name;
    fs::path link;        // the name saved to
    fs::path linkTarget;  // what the link holds
  };
  const Case cases[] = {
      {"relative link into another folder", dir / "links" / "rel.spr", fs::path("..") / "real" / "a.spr"},
      {"absolute link", dir / "links" / "abs.spr", dir / "real" / "a.spr"},
      {"link beside its target", dir / "real" / "near.spr", "a.spr"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(dir / "real" / "a.spr", oldData);
    fs::permissions(dir / "real" / "a.spr", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(c.linkTarget, c.link);
    ReplaceFile(c.link, newData, "t");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(c.link))) << c.name;
    EXPECT_EQ(fs::read_symlink(c.link), c.linkTarget) << c.name;
    EXPECT_EQ(test::ReadBytes(dir / "real" / "a.spr"), newData) << c.name;
    EXPECT_EQ(fs::status(dir / "real" / "a.spr").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
        << c.name;
    fs::remove(c.link);
    EXPECT_EQ(Entries(dir / "real"), 1u) << c.name << ": no temporary file left";
    EXPECT_EQ(Entries(dir / "links"), 0u) << c.name;
  }
}

TEST(ReplaceFile, ChainsAndDanglingLinksReachTheLastName) {
  test::TempDir dir;
  fs::create_directory(dir / "sub");
  test::WriteBytes(dir / "sub" / "end.bmp", Bytes(10, 0));
  fs::create_symlink(fs::path("sub") / "end.bmp", dir / "middle.bmp");
  fs::create_symlink("middle.bmp", dir / "first.bmp");
  ReplaceFile(dir / "first.bmp", Bytes{7}, "t");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "first.bmp")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "middle.bmp")));
  EXPECT_EQ(test::ReadBytes(dir / "sub" / "end.bmp"), Bytes{7});

  // A link to a file not yet there creates that file, as writing through the link would.
  fs::create_symlink(fs::path("sub") / "new.bmp", dir / "dangling.bmp");
  ReplaceFile(dir / "dangling.bmp", Bytes{8, 9}, "t");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "dangling.bmp")));
  EXPECT_EQ(test::ReadBytes(dir / "sub" / "new.bmp"), (Bytes{8, 9}));
}

TEST(ReplaceFile, LinkLoopIsAnErrorAndWritesNothing) {
  test::TempDir dir;
  fs::create_symlink("b.spr", dir / "a.spr");
  fs::create_symlink("a.spr", dir / "b.spr");
  try {
    ReplaceFile(dir / "a.spr", Bytes{1}, "Saving");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.title(), "Saving");
    EXPECT_NE(std::string(e.what()).find("a.spr"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Entries(dir.path()), 2u);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "a.spr")));
}

TEST(ReplaceFile, ReadOnlyTargetFolderKeepsTheOldContent) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  test::TempDir dir;
  fs::create_directory(dir / "ro");
  test::WriteBytes(dir / "ro" / "a.spr", Bytes{5});
  fs::create_symlink(fs::path("ro") / "a.spr", dir / "link.spr");
  fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(ReplaceFile(dir / "link.spr", Bytes{6}, "t"), Error);
  fs::permissions(dir / "ro", fs::perms::owner_all);
  EXPECT_EQ(test::ReadBytes(dir / "ro" / "a.spr"), Bytes{5});
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.spr")));
}

}  // namespace
}  // namespace brindle
