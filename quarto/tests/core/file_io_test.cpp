#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "testsupport/temp_dir.h"

namespace quarto {
namespace {

namespace fs = std::filesystem;

class FileIo : public testing::Test {
 protected:
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_.path()), {})); }
  testsupport::TempDir dir_;
};

TEST_F(FileIo, OnlyRegularFilesAreRead) {
  std::string bytes = "stale";
  EXPECT_EQ(ReadWholeFile(Path("missing"), bytes), FileRead::Missing);
  EXPECT_TRUE(bytes.empty());
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(Path("fifo"), bytes), FileRead::Unreadable);  // at once, no writer needed
  fs::create_directory(Path("folder"));
  EXPECT_EQ(ReadWholeFile(Path("folder"), bytes), FileRead::Unreadable);
  std::ofstream(Path("file"), std::ios::binary) << std::string("a\0b\xE9", 4);
  EXPECT_EQ(ReadWholeFile(Path("file"), bytes), FileRead::Read);
  EXPECT_EQ(bytes, std::string("a\0b\xE9", 4));
}

TEST_F(FileIo, WritingReplacesWholeOrNotAtAll) {
  // A new file in a folder that does not exist yet.
  const std::string deep = Path("a/b/settings.ini");
  ASSERT_TRUE(WriteFileReplacing(deep, "one"));
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(deep, bytes), FileRead::Read);
  EXPECT_EQ(bytes, "one");
  // Through a link: the file it names is replaced, the link stays a link.
  fs::create_symlink("a/b/settings.ini", Path("link.ini"));
  ASSERT_TRUE(WriteFileReplacing(Path("link.ini"), "two"));
  EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
  ASSERT_EQ(ReadWholeFile(deep, bytes), FileRead::Read);
  EXPECT_EQ(bytes, "two");
  // A folder where the file should be, and a file where its folder should be: nothing written,
  // nothing left behind.
  fs::create_directory(Path("taken"));
  std::ofstream(Path("plain")) << "keep";
  const size_t before = Entries();
  EXPECT_FALSE(WriteFileReplacing(Path("taken"), "x"));
  EXPECT_FALSE(WriteFileReplacing(Path("plain/inside.ini"), "x"));
  EXPECT_EQ(Entries(), before);
  EXPECT_TRUE(fs::is_directory(Path("taken")));
  ASSERT_EQ(ReadWholeFile(Path("plain"), bytes), FileRead::Read);
  EXPECT_EQ(bytes, "keep");
}

}  // namespace
}  // namespace quarto
