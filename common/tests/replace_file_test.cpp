// Replacing a file: what stays of the old one, what is refused, and what is left behind.
#include "common/replace_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "common/faults.h"
#include "support.h"

namespace common {
namespace {

using namespace common::test;

// Sets the fault switch for one scope.
class Faults {
 public:
  explicit Faults(const std::string& text) { ::setenv(faults::kVariable, text.c_str(), 1); }
  ~Faults() { ::unsetenv(faults::kVariable); }
};

// Every replace is tried with the unnamed temporary file and with the named one that file
// systems without unnamed files get.
constexpr const char* kTemporaries[] = {"", "no-tmpfile"};

TEST(ReplaceFile, NewContentAndNothingElseIsLeft) {
  for (const char* temporaries : kTemporaries) {
    Faults f(temporaries);
    TempDir dir;
    WriteText(dir.File("a.bmp"), "old content, longer than the new");
    ASSERT_TRUE(ReplaceFile(dir.File("a.bmp"), "new")) << temporaries;
    EXPECT_EQ(ReadText(dir.File("a.bmp")), "new") << temporaries;
    ASSERT_TRUE(ReplaceFile(dir.File("b.bmp"), "")) << temporaries;
    EXPECT_EQ(ReadText(dir.File("b.bmp")), "") << temporaries;
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.bmp", "b.bmp"})) << temporaries;
  }
}

TEST(ReplaceFile, NamesOfEveryLegalLengthSave) {
  TempDir dir;
  for (const std::size_t length : {1u, 200u, 248u, 249u, 254u, 255u}) {
    const std::string name = std::string(length - 1, 'p') + "x";
    for (const char* temporaries : kTemporaries) {
      Faults f(temporaries);
      const Status saved = ReplaceFile(dir.File(name), "bytes");
      ASSERT_TRUE(saved) << length << " " << temporaries << ": " << saved.reason();
      EXPECT_EQ(ReadText(dir.File(name)), "bytes") << length;
    }
    fs::remove(dir / name);
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_LE(TemporaryNameFor(std::string(255, 'n')).size(), 40u);
}

// Modes, as root and as another user. Root may write anything, so for root a file with
// no write bit at all is the protected one; another user may not replace what they may
// not write.
TEST(ReplaceFile, ModesAreKeptAndProtectedFilesRefused) {
  struct Case {
    mode_t mode;
    bool replaced;
  };
  const Case cases[] = {{0600, true}, {0640, true}, {0604, true}, {0444, false}, {0400, false}};
  for (const bool other : {false, true}) {
    for (const Case& c : cases) {
      for (const char* temporaries : kTemporaries) {
        Faults f(temporaries);
        TempDir dir;
        const std::string file = dir.File("pic.spr");
        WriteText(file, "old");
        ::chmod(file.c_str(), c.mode);
        const auto replace = [&] {
          const Status s = ReplaceFile(file, "new");
          return s ? 0 : s.error();
        };
        int error;
        if (other) {
          GiveToOtherUser(dir.Path());
          GiveToOtherUser(file);
          error = RunAsOtherUser(replace);
        } else {
          error = replace();
        }
        const std::string what = std::string(other ? OtherUserName() : (IsRoot() ? "root" : "the test's user")) +
                                 ", mode " + std::to_string(c.mode) + ", " + temporaries;
        if (c.replaced) {
          EXPECT_EQ(error, 0) << what;
          EXPECT_EQ(ReadText(file), "new") << what;
        } else {
          EXPECT_EQ(error, EACCES) << what;
          EXPECT_EQ(ReadText(file), "old") << what;
        }
        EXPECT_EQ(ModeOf(file), c.mode) << what;
        EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"pic.spr"}) << what;
      }
    }
  }
}

TEST(ReplaceFile, AFolderTheUserMayNotWriteKeepsItsFile) {
  TempDir dir;
  fs::create_directory(dir / "ro");
  WriteText(dir.File("ro/a.spr"), "old");
  fs::create_symlink("ro/a.spr", dir / "link.spr");
  GiveToOtherUser(dir.Path());
  GiveToOtherUser(dir.File("ro"));
  GiveToOtherUser(dir.File("ro/a.spr"));
  ::chmod(dir.File("ro").c_str(), 0555);
  const int error = RunAsOtherUser([&] { return ReplaceFile(dir.File("link.spr"), "new").error(); });
  ::chmod(dir.File("ro").c_str(), 0755);
  EXPECT_EQ(error, EACCES) << "as " << OtherUserName();
  EXPECT_EQ(ReadText(dir.File("ro/a.spr")), "old");
  EXPECT_TRUE(fs::is_symlink(dir / "link.spr"));
  EXPECT_EQ(Names(dir.File("ro")), std::set<std::string>{"a.spr"});
}

TEST(ReplaceFile, OwnerAndGroupAreKeptWhereTheProcessMaySetThem) {
  if (!IsRoot() || !Nobody()) GTEST_SKIP() << "only root may give a file to another user";
  TempDir dir;
  const std::string file = dir.File("settings.ini");
  WriteText(file, "old");
  GiveToOtherUser(file);
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(ReplaceFile(file, "new"));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, Nobody()->pw_uid);
  EXPECT_EQ(st.st_gid, Nobody()->pw_gid);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ReplaceFile, ALinkStaysALinkAndItsLastNameGetsTheContent) {
  TempDir dir;
  fs::create_directory(dir / "real");
  fs::create_directory(dir / "links");
  const struct {
    const char* name;
    std::string link;     // the name saved to
    std::string holds;    // what the link holds
    std::string reaches;  // the file that gets the content
  } cases[] = {
      {"relative, into another folder", dir.File("links/rel.bmp"), "../real/a.bmp", dir.File("real/a.bmp")},
      {"absolute", dir.File("links/abs.bmp"), dir.File("real/a.bmp"), dir.File("real/a.bmp")},
      {"beside its file", dir.File("real/near.bmp"), "a.bmp", dir.File("real/a.bmp")},
      {"to a file not yet there", dir.File("links/new.bmp"), "../real/b.bmp", dir.File("real/b.bmp")},
  };
  for (const auto& c : cases) {
    WriteText(dir.File("real/a.bmp"), "old");
    ::chmod(dir.File("real/a.bmp").c_str(), 0640);
    fs::create_symlink(c.holds, c.link);
    ASSERT_TRUE(ReplaceFile(c.link, "new")) << c.name;
    EXPECT_EQ(fs::read_symlink(c.link).string(), c.holds) << c.name;
    EXPECT_EQ(ReadText(c.reaches), "new") << c.name;
    EXPECT_EQ(ModeOf(dir.File("real/a.bmp")), 0640u) << c.name;
    fs::remove(c.link);
    fs::remove(dir / "real" / "b.bmp");
    EXPECT_EQ(Names(dir.File("real")), std::set<std::string>{"a.bmp"}) << c.name;
    EXPECT_TRUE(fs::is_empty(dir / "links")) << c.name;
  }
  // A chain is followed to its end; every link of it stays.
  fs::create_symlink("real/a.bmp", dir / "middle.bmp");
  fs::create_symlink("middle.bmp", dir / "first.bmp");
  ASSERT_TRUE(ReplaceFile(dir.File("first.bmp"), "chain"));
  EXPECT_TRUE(fs::is_symlink(dir / "first.bmp"));
  EXPECT_TRUE(fs::is_symlink(dir / "middle.bmp"));
  EXPECT_EQ(ReadText(dir.File("real/a.bmp")), "chain");
}

TEST(ReplaceFile, WhatCannotBeReplacedIsLeftAsItWas) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  fs::create_symlink("loop2", dir / "loop1");
  fs::create_symlink("loop1", dir / "loop2");
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0644), 0);
  WriteText(dir.File("plain"), "x");
  const struct {
    const char* name;
    int error;
  } cases[] = {
      {"folder", EISDIR}, {"loop1", ELOOP}, {"fifo", EACCES}, {"plain/inside", ENOTDIR}, {"missing/inside", ENOENT},
  };
  for (const auto& c : cases) {
    const Status s = ReplaceFile(dir.File(c.name), "new");
    EXPECT_EQ(s.error(), c.error) << c.name << ": " << s.reason();
    EXPECT_FALSE(s.reason().empty()) << c.name;
  }
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"folder", "loop1", "loop2", "fifo", "plain"}));
  EXPECT_EQ(ReadText(dir.File("plain")), "x");
  // Missing folders are made only when asked for.
  ASSERT_TRUE(ReplaceFile(dir.File("missing/deeper/inside"), "new", {.makeFolders = true}));
  EXPECT_EQ(ReadText(dir.File("missing/deeper/inside")), "new");
}

TEST(ReplaceFile, AFullDiskLeavesTheOldFileAndNoTemporary) {
  const struct {
    const char* faults;
    int error;
  } cases[] = {
      {"write-full-after=3", ENOSPC}, {"write-full-after=0,no-tmpfile", ENOSPC}, {"write-fail-call=1", ENOSPC},
      {"deny-create", EACCES},        {"deny-create,no-tmpfile", EACCES},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteText(dir.File("a.ini"), "old");
    Faults f(std::string(c.faults) + ",under=" + dir.Path());
    const Status s = ReplaceFile(dir.File("a.ini"), "new content");
    EXPECT_EQ(s.error(), c.error) << c.faults;
    EXPECT_EQ(ReadText(dir.File("a.ini")), "old") << c.faults;
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"a.ini"}) << c.faults;
  }
}

TEST(ReplaceFile, TheNextSaveRemovesWhatAKilledSaveLeft) {
  for (const char* temporaries : kTemporaries) {
    Faults f(temporaries);
    TempDir dir;
    WriteText(dir.File("a.bmp"), "old");
    const std::string left = dir.File(TemporaryNameFor("a.bmp"));
    WriteText(left, "half of a new content");
    ASSERT_TRUE(ReplaceFile(dir.File("a.bmp"), "new")) << temporaries;
    EXPECT_EQ(ReadText(dir.File("a.bmp")), "new") << temporaries;
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"a.bmp"}) << temporaries;
  }
  EXPECT_EQ(TemporaryNameFor("a.bmp").front(), '.') << "hidden";
  EXPECT_NE(TemporaryNameFor("a.bmp"), TemporaryNameFor("b.bmp"));
}

}  // namespace
}  // namespace common
