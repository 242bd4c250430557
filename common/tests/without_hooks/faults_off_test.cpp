// The fault switch as the shipped programs are built: without the test hooks, every fault the
// environment names is ignored. This program compiles the switch itself without the hooks,
// whatever the build's option, so it checks what a user's program does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "common/faults.h"
#include "testsupport/temp_dir.h"

namespace {

TEST(FaultsWithoutTestHooks, TheEnvironmentPlantsNothing) {
  EXPECT_FALSE(common::faults::kCompiledIn);
  testsupport::TempDir dir;
  const std::string folder = dir.path().string();
  const std::string file = folder + "/f";
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  for (const char* faults : {"write-full-after=0", "write-fail-call=1", "kill-write-call=1",
                             "deny-create,deny-mkdir,no-tmpfile", "write-full-after=0,under=/"}) {
    SCOPED_TRACE(faults);
    setenv(common::faults::kVariable, faults, 1);
    const common::faults::WriteFault w = common::faults::CheckWrite(fd, 100);
    EXPECT_EQ(w.allowed, 100u);
    EXPECT_FALSE(w.fail);
    EXPECT_FALSE(w.kill);
    EXPECT_FALSE(common::faults::CreateIsDenied(file.c_str()));
    EXPECT_FALSE(common::faults::FolderIsDenied(folder.c_str()));
    EXPECT_FALSE(common::faults::TmpfileIsDenied(folder.c_str()));
  }
  unsetenv(common::faults::kVariable);
  close(fd);
}

}  // namespace
