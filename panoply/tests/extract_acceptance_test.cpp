// panoply-host on a copy of a real MicroDOS hard-disk image: what cp writes is what
// Debian's cpmtools copy out of the same disks, what rm leaves is what cpmrm leaves, and
// mv leaves the file on the PC and takes it out of the image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "hddtest/cpmtools_support.h"
#include "hddtest/cpmtools_trees.h"
#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "test_support.h"
#include "testsupport/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class HostAcceptance : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = hddtest::MicroDosDir();
    if (data_.empty() || !fs::exists(data_ + "/derived_2disk.hdd")) GTEST_SKIP() << "no microdos test data";
    if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
    original_ = data_ + "/derived_2disk.hdd";
    image_ = dir_.File("derived.hdd");
    fs::copy_file(original_, image_);
    hddtest::WriteDiskdefs(dir_.Path());
  }
  // panoply-host with the given words after the image, in the work folder; its exit code.
  int Host(const std::string& words) {
    const std::string command = "cd '" + dir_.Path() + "' && '" + PANOPLY_HOST_PATH +
                                "' --yes --registry registry.txt '" + image_ + "' " + words + " > host.log 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Floppy(const std::string& image, int disk, const std::string& name) {
    return hddtest::FloppyOfDisk(image, disk, dir_.File(name));
  }
  std::string data_, original_, image_;
  testsupport::TempDir dir_;
};

TEST_F(HostAcceptance, CopiedDisksEqualWhatCpmcpCopies) {
  ASSERT_EQ(Host("cp disk_01 disk_02 out"), 0);
  for (int disk = 1; disk <= 2; ++disk) {
    SCOPED_TRACE(disk);
    const std::string folder = dir_.File("out/disk_0" + std::to_string(disk));
    const auto ours = hddtest::FilesOf(hddtest::ReadTree(folder));
    EXPECT_FALSE(ours.empty());
    EXPECT_EQ(ours, hddtest::CpmcpTree(dir_.Path(), Floppy(original_, disk, "theirs.fdd")));
  }
  EXPECT_EQ(hddtest::ReadWholeFile(image_), hddtest::ReadWholeFile(original_));
}

TEST_F(HostAcceptance, DeletedItemsLeaveWhatCpmrmLeaves) {
  ASSERT_EQ(Host("cd disk_01 rm mpzu.spr digital.xor user_2 cd .. rm disk_02"), 0);
  struct Disk {
    int number;
    std::string cpmrm;  // the same items for cpmrm
  };
  std::string everyUser;
  for (int u = 0; u <= 15; ++u) everyUser += " '" + std::to_string(u) + ":*'";
  const Disk disks[] = {{1, " 0:mpzu.spr 0:digital.xor '2:*'"}, {2, everyUser}};
  for (const Disk& d : disks) {
    SCOPED_TRACE(d.number);
    const std::string ours = Floppy(image_, d.number, "ours.fdd");
    const std::string theirs = Floppy(original_, d.number, "theirs.fdd");
    EXPECT_TRUE(hddtest::RunIn(dir_.Path(), "cpmrm -f microdos theirs.fdd" + d.cpmrm));
    EXPECT_EQ(hddtest::ReadWholeFile(ours), hddtest::ReadWholeFile(theirs));
    EXPECT_EQ(hddtest::OutputIn(dir_.Path(), "cpmls -f microdos ours.fdd"),
              hddtest::OutputIn(dir_.Path(), "cpmls -f microdos theirs.fdd"));
  }
}

TEST_F(HostAcceptance, AMovedFileIsWholeOnThePcAndGoneFromTheImage) {
  ASSERT_EQ(Host("cd disk_01 mv digital.com pc"), 0);
  const auto theirs = hddtest::CpmcpTree(dir_.Path(), Floppy(original_, 1, "theirs.fdd"));
  ASSERT_EQ(theirs.count("digital.com"), 1u);
  EXPECT_EQ(hddtest::ReadWholeFile(dir_.File("pc/digital.com")), theirs.at("digital.com"));
  Floppy(image_, 1, "ours.fdd");
  const std::string listing = hddtest::OutputIn(dir_.Path(), "cpmls -f microdos ours.fdd");
  EXPECT_EQ(listing.find("digital.com"), std::string::npos);
  EXPECT_NE(listing.find("digital.xor"), std::string::npos);
}

// A floppy that cpmtools wrote, with files that end on an extent boundary (every entry
// full) and files whose entries stand in reverse extent order, as disk 1 and again as
// disk 2 of an image (a third disk, empty, keeps disk 2 whole): a move of the disk folder and a move of a user area
// take out of the image exactly what they put on the PC, which is what cpmcp copies; cpmls then lists nothing of what
// was moved.
TEST(HostAcceptanceCpmtools, FolderMovesTakeOutOnlyWhatThePcHolds) {
  if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
  testsupport::TempDir dir;
  std::string floppy;
  const std::string image = hddtest::ExtentBoundaryImage(dir.Path(), 3, 2, dir.File("cpm.hdd"), &floppy);
  const auto host = [&](const std::string& words) {
    const std::string command = "cd '" + dir.Path() + "' && '" + PANOPLY_HOST_PATH +
                                "' --yes --registry registry.txt cpm.hdd " + words + " > host.log 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  ASSERT_EQ(host("mv disk_01 disk_moved cd disk_02 mv user_3 area_moved"), 0)
      << testsupport::ReadFile(dir / "host.log");

  const hddtest::Tree theirs = hddtest::CpmcpTree(dir.Path(), floppy);
  ASSERT_EQ(theirs.size(), 6u);
  EXPECT_EQ(hddtest::FilesOf(hddtest::ReadTree(dir.File("disk_moved/disk_01"))), theirs);
  hddtest::Tree area;
  for (const auto& [name, bytes] : theirs)
    if (name.rfind("user_3/", 0) == 0) area[name] = bytes;
  EXPECT_EQ(hddtest::FilesOf(hddtest::ReadTree(dir.File("area_moved"))), area);

  hddtest::FloppyOfDisk(image, 1, dir.File("one.fdd"));
  hddtest::FloppyOfDisk(image, 2, dir.File("two.fdd"));
  EXPECT_EQ(hddtest::OutputIn(dir.Path(), "cpmls -f microdos one.fdd"), "");
  const std::string two = hddtest::OutputIn(dir.Path(), "cpmls -f microdos two.fdd");
  EXPECT_EQ(two.find("3:"), std::string::npos) << two;
  for (const char* kept : {"full16.bin", "full32.bin", "small.txt", "back48.bin"})
    EXPECT_NE(two.find(kept), std::string::npos) << kept;
}

}  // namespace
