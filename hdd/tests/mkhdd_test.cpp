// The mkhdd tool builds the image its manifest describes, and refuses bad manifests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/wait.h>

#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"
#include "listing_support.h"

namespace {

int RunMkhdd(const hddtest::TempDir& dir, const std::string& manifest) {
  std::ofstream(dir.File("manifest.txt")) << manifest;
  const std::string cmd =
      std::string("'") + MKHDD_PATH + "' '" + dir.File("manifest.txt") + "' '" + dir.File("out.hdd") + "' 2>/dev/null";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Mkhdd, BuildsTheImageOfAManifest) {
  hddtest::TempDir dir;
  std::ofstream(dir.File("hello.txt")) << "hello";
  const std::string manifest =
      "# two files and a folder slot\n"
      "disks 2\n"
      "file 1 0 HELLO.TXT " +
      dir.File("hello.txt") +
      "\n"
      "data 2 5 GAME.COM 36096\n"
      "slot 2 3 1000000000000000000000000000000000000000000000000000000000000000\n"
      "layout cpmtools\n"
      "data 2 0 FULL.BIN 32768\n";
  ASSERT_EQ(RunMkhdd(dir, manifest), 0);
  ASSERT_EQ(hddtest::ModuleIsImage(dir.File("out.hdd")), 1);
  const hddtest::Listing l = hddtest::ListImage(dir.File("out.hdd"));
  EXPECT_EQ(l.end, 0);
  const std::vector<hddtest::Item> expected = {{"disk_01\\hello.txt", 0x20, 128},
                                               {"disk_02\\user_5\\game.com", 0x20, 36096},
                                               {"disk_02\\", 0, 0},
                                               {"disk_02\\full.bin", 0x20, 32768}};
  EXPECT_EQ(l.items, expected);
  // Two full entries and no third: the cpmtools layout.
  EXPECT_EQ(hddtest::ReadFileBytes(dir.File("out.hdd"), 803840 + 41984 + 32 * 5 + 15, 1), hddtest::Bytes{0x80});
  EXPECT_EQ(hddtest::ReadFileBytes(dir.File("out.hdd"), 803840 + 41984 + 32 * 6, 1), hddtest::Bytes{0xE5});
}

TEST(Mkhdd, RefusesBadManifests) {
  const char* const bad[] = {
      "",                               // no disks
      "file 1 0 A.TXT /nonexistent\n",  // before "disks"
      "disks 0\n",
      "disks 1\nslot 1 0 1234\n",  // short slot
      "disks 1\nslot 1 0 zz00000000000000000000000000000000000000000000000000000000000000\n",
      "disks 1\ndata 2 0 A.TXT 10\n",  // no disk 2
      "disks 1\nfile 1 0 A.TXT /nonexistent/file\n",
      "disks 1\ndata 1 0 A.TXT 757761\n",  // one byte more than the disk's blocks hold
      "disks 1\ndata 1 0 A.TXT 99999999999999\n",
      "disks 1\nfrobnicate\n",
      "disks 1\nlayout cpm\n",
  };
  for (const char* manifest : bad) {
    hddtest::TempDir dir;
    EXPECT_EQ(RunMkhdd(dir, manifest), 1) << manifest;
  }
}

}  // namespace
