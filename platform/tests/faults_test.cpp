// The fault switch, the saved working directory and file deletion.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/faults.h"
#include "platform/files.h"
#include "platform/workdir.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Sets the switch for one scope and clears it afterwards.
class Faults {
 public:
  explicit Faults(const std::string& text) { setenv(platform::kFaultsVariable, text.c_str(), 1); }
  ~Faults() { unsetenv(platform::kFaultsVariable); }
};

HANDLE CreateNew(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
}

std::uintmax_t SizeOf(const std::string& path) { return fs::file_size(path); }

TEST(Faults, DiskFullAfterBytesWritesUpToTheLimitThenFails) {
  TempFolder dir;
  Faults f("write-full-after=10");
  HANDLE h = CreateNew(dir.File("a"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const char data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  DWORD written = 99;
  EXPECT_TRUE(WriteFile(h, data, 8, &written, nullptr));
  EXPECT_EQ(written, 8u);
  EXPECT_FALSE(WriteFile(h, data, 8, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(written, 2u);
  EXPECT_FALSE(WriteFile(h, data, 1, &written, nullptr));
  EXPECT_EQ(written, 0u);
  CloseHandle(h);
  EXPECT_EQ(SizeOf(dir.File("a")), 10u);
}

TEST(Faults, FailingCallFailsOnlyThatCall) {
  TempFolder dir;
  Faults f("write-fail-call=2");
  HANDLE h = CreateNew(dir.File("a"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const char data[4] = {1, 2, 3, 4};
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, data, 4, &written, nullptr));
  EXPECT_FALSE(WriteFile(h, data, 4, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(written, 0u);
  EXPECT_TRUE(WriteFile(h, data, 4, &written, nullptr));
  CloseHandle(h);
  EXPECT_EQ(SizeOf(dir.File("a")), 8u);
}

// The process ends in the middle of the write, as a kill would end it: half of
// the call's bytes are in the file, nothing after them.
TEST(Faults, KillingCallEndsTheProcessHalfWayThrough) {
  TempFolder dir;
  const std::string path = dir.File("a");
  const auto writeTwice = [&] {
    setenv(platform::kFaultsVariable, "kill-write-call=2", 1);
    HANDLE h = CreateNew(path);
    const char data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    WriteFile(h, data, 8, nullptr, nullptr);
    WriteFile(h, data, 8, nullptr, nullptr);
    std::exit(0);  // not reached
  };
  EXPECT_EXIT(writeTwice(), ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(SizeOf(path), 12u);
}

TEST(Faults, CountsRestartWhenTheTextChanges) {
  TempFolder dir;
  HANDLE h = CreateNew(dir.File("a"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const char data[4] = {1, 2, 3, 4};
  for (const char* text : {"write-fail-call=1,run=1", "write-fail-call=1,run=2"}) {
    Faults f(text);
    EXPECT_FALSE(WriteFile(h, data, 4, nullptr, nullptr)) << text;
    EXPECT_TRUE(WriteFile(h, data, 4, nullptr, nullptr)) << text;
  }
  EXPECT_TRUE(WriteFile(h, data, 4, nullptr, nullptr));  // unset: no faults
  CloseHandle(h);
}

TEST(Faults, DeniedCreationAndFolders) {
  TempFolder dir;
  std::ofstream(dir.File("old")) << "x";
  Faults f("deny-create,deny-mkdir");
  EXPECT_EQ(CreateNew(dir.File("new")), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFileA(dir.File("old").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CreateDirectoryA(dir.File("sub").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(fs::exists(dir.File("new")));
  EXPECT_FALSE(fs::exists(dir.File("sub")));
  // Reading is never refused.
  HANDLE r = CreateFileA(dir.File("old").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(r, INVALID_HANDLE_VALUE);
  CloseHandle(r);
}

TEST(Faults, UnderLimitsFaultsAndCountsToOneFolder) {
  TempFolder dir;
  fs::create_directory(dir.path() / "in");
  fs::create_directory(dir.path() / "inside");  // a sibling whose name starts alike
  Faults f("deny-create,deny-mkdir,write-fail-call=1,under=" + dir.File("in"));
  EXPECT_EQ(CreateNew(dir.File("in/f")), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CreateDirectoryA(dir.File("in/d").c_str(), nullptr));
  HANDLE h = CreateNew(dir.File("inside/f"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WriteFile(h, "ab", 2, nullptr, nullptr));  // not counted: elsewhere
  CloseHandle(h);
  EXPECT_TRUE(CreateDirectoryA(dir.File("d").c_str(), nullptr));

  // A relative name counts from the current directory.
  platform::SavedWorkingDirectory saved;
  ASSERT_TRUE(SetCurrentDirectoryA(dir.File("in").c_str()));
  EXPECT_EQ(CreateNew("rel"), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.File("inside").c_str()));
  HANDLE rel = CreateNew("rel");
  EXPECT_NE(rel, INVALID_HANDLE_VALUE);
  CloseHandle(rel);
}

TEST(SavedWorkingDirectory, RestoresALongOrRenamedFolder) {
  TempFolder dir;
  std::string longPath = dir.Path();
  while (longPath.size() <= 300) {
    longPath += "/" + std::string(40, 'd');
    ASSERT_TRUE(fs::create_directory(longPath));
  }
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
  ASSERT_EQ(chdir(longPath.c_str()), 0);
  {
    platform::SavedWorkingDirectory saved;
    ASSERT_TRUE(saved.Saved());
    ASSERT_EQ(chdir("/"), 0);
  }
  EXPECT_EQ(fs::current_path().string(), fs::canonical(longPath).string());

  fs::create_directory(dir.path() / "before");
  ASSERT_EQ(chdir(dir.File("before").c_str()), 0);
  {
    platform::SavedWorkingDirectory saved;
    ASSERT_EQ(chdir("/"), 0);
    fs::rename(dir.path() / "before", dir.path() / "after");
  }
  EXPECT_EQ(fs::current_path().string(), fs::canonical(dir.path() / "after").string());
  ASSERT_EQ(chdir("/"), 0);
}

TEST(DeleteFileA, DeletesFilesOnly) {
  TempFolder dir;
  std::ofstream(dir.File("f")) << "x";
  fs::create_directory(dir.path() / "d");
  EXPECT_TRUE(DeleteFileA(dir.File("f").c_str()));
  EXPECT_FALSE(fs::exists(dir.File("f")));
  EXPECT_FALSE(DeleteFileA(dir.File("f").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA(dir.File("nofolder/f").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA(dir.File("d").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(dir.File("d")));
  std::ofstream(dir.File("d/x")) << "x";
  EXPECT_FALSE(RemoveDirectoryA(dir.File("d").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_TRUE(DeleteFileA(dir.File("d/x").c_str()));
  EXPECT_TRUE(RemoveDirectoryA(dir.File("d").c_str()));
  EXPECT_FALSE(fs::exists(dir.File("d")));
}

}  // namespace
