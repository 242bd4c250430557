// Opening and reading only regular files, whatever stands behind a name.
#include "common/open_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "common/read_file.h"
#include "support.h"

namespace common {
namespace {

using namespace common::test;

// A folder holding one name of every kind a caller may be handed.
class Kinds : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir.File("file"), "content");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
    fs::create_symlink("file", dir / "link");
    fs::create_symlink("link", dir / "chain");
    fs::create_symlink("nowhere", dir / "dangling");
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    fs::create_symlink("/dev/null", dir / "device");
    WriteText(dir.File("unreadable"), "secret");
    fs::permissions(dir / "unreadable", fs::perms::none);
    GiveToOtherUser(dir.Path());
    GiveToOtherUser(dir.File("unreadable"));
  }
  TempDir dir;
};

struct KindCase {
  const char* name;
  int error;  // 0: opens
};

constexpr KindCase kKinds[] = {
    {"file", 0},        {"link", 0},          {"chain", 0},     {"folder", EISDIR},  {"fifo", EACCES},
    {"device", EACCES}, {"dangling", ENOENT}, {"loop1", ELOOP}, {"missing", ENOENT}, {"file/below", ENOTDIR},
};

TEST_F(Kinds, OnlyRegularFilesOpenAndNothingBlocks) {
  for (const KindCase& c : kKinds) {
    for (const Access access : {Access::Read, Access::ReadWrite}) {
      Result<FileHandle> f = OpenRegularFile(dir.File(c.name), {.access = access});
      EXPECT_EQ(f.error(), c.error) << c.name << ": " << f.reason();
      if (c.error == 0) {
        ASSERT_TRUE(f) << c.name;
        EXPECT_EQ(::fcntl(f->fd(), F_GETFL) & O_NONBLOCK, 0) << c.name << ": blocking again";
      } else {
        EXPECT_FALSE(f.reason().empty()) << c.name;
      }
    }
  }
  EXPECT_EQ(OpenRegularFile(dir.File("fifo")).reason(), "not a regular file");
}

TEST_F(Kinds, ReadingTakesTheSameRule) {
  for (const KindCase& c : kKinds) {
    const Result<FileBytes> r = ReadFile(dir.File(c.name));
    EXPECT_EQ(r.error(), c.error) << c.name;
    if (c.error == 0) {
      EXPECT_EQ(r->bytes, "content") << c.name;
    }
  }
}

TEST_F(Kinds, AFileTheUserMayNotReadFails) {
  // Root reads anything, so the reading is done as another user.
  const int error = RunAsOtherUser([&] { return ReadFile(dir.File("unreadable")).error(); });
  EXPECT_EQ(error, EACCES) << "as " << OtherUserName();
}

TEST_F(Kinds, ALinkIsRefusedWhereItMustNotBeFollowed) {
  EXPECT_EQ(OpenRegularFile(dir.File("link"), {.followLinks = false}).error(), ELOOP);
  EXPECT_TRUE(OpenRegularFile(dir.File("file"), {.followLinks = false}));
}

TEST_F(Kinds, TruncatingTruncatesOnlyARegularFile) {
  EXPECT_EQ(OpenRegularFile(dir.File("fifo"), {.access = Access::Write, .truncate = true}).error(), EACCES);
  EXPECT_EQ(OpenRegularFile(dir.File("device"), {.access = Access::Write, .truncate = true}).error(), EACCES);
  ASSERT_TRUE(OpenRegularFile(dir.File("link"), {.access = Access::Write, .truncate = true}));
  EXPECT_EQ(ReadText(dir.File("file")), "");
  EXPECT_EQ(OpenRegularFile(dir.File("file"), {.truncate = true}).error(), EINVAL) << "truncating needs writing";
}

TEST_F(Kinds, CreatingMakesOnlyWhatIsAskedFor) {
  EXPECT_TRUE(OpenRegularFile(dir.File("new"), {.access = Access::Write, .create = true, .mode = 0640}));
  EXPECT_EQ(ModeOf(dir.File("new")) & ~0640, 0u);
  EXPECT_EQ(OpenRegularFile(dir.File("new"), {.access = Access::Write, .create = true, .exclusive = true}).error(),
            EEXIST);
  EXPECT_EQ(OpenRegularFile(dir.File("absent"), {.access = Access::Write}).error(), ENOENT);
  EXPECT_FALSE(fs::exists(dir / "absent"));
}

TEST(ReadFile, ALimitReadsTheStartAndMeasuresTheRest) {
  TempDir dir;
  WriteText(dir.File("f"), std::string(70000, 'x') + "end");
  const struct {
    std::size_t limit;
    std::size_t got;
  } cases[] = {{0, 0}, {5, 5}, {70003, 70003}, {1 << 20, 70003}};
  for (const auto& c : cases) {
    const Result<FileBytes> r = ReadFile(dir.File("f"), c.limit);
    ASSERT_TRUE(r) << c.limit;
    EXPECT_EQ(r->bytes.size(), c.got) << c.limit;
    EXPECT_EQ(r->size, 70003u) << c.limit;
  }
  WriteText(dir.File("empty"), "");
  EXPECT_EQ(ReadFile(dir.File("empty"))->size, 0u);
  const std::string binary("a\0b\xE9\r\n", 6);  // every byte as it is
  WriteText(dir.File("binary"), binary);
  EXPECT_EQ(ReadFile(dir.File("binary"))->bytes, binary);
}

}  // namespace
}  // namespace common
