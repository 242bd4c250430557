// Extraction and deletion against real MicroDOS floppies: what the module
// copies out of, and leaves in, a hard-disk image made of them is what
// Debian's cpmtools copy out of, and leave in, the floppies themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hdd/hdd_image.h"
#include "hddtest/cpmtools_support.h"
#include "hddtest/cpmtools_trees.h"
#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "hddtest/test_support.h"

namespace {

namespace fs = std::filesystem;

using hddtest::Bytes;
using hddtest::CpmcpTree;
using hddtest::FilesOf;
using hddtest::FloppyOfDisk;
using hddtest::Kind;
using hddtest::Tree;

// The disk folder that CopyToPC writes, files only.
Tree ExtractedDisk(const std::string& image, int disk, const std::string& out) {
  char name[16];
  std::snprintf(name, sizeof name, "disk_%02x", disk);
  EXPECT_EQ(hddtest::CopyOut(image, name, Kind::Folder, out), 1) << name;
  return FilesOf(hddtest::ReadTree(out + "/" + name));
}

class AcceptanceOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = hddtest::MicroDosDir();
    if (data_.empty() || !fs::exists(data_ + "/derived_2disk.hdd")) GTEST_SKIP() << "no microdos test data";
    if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
    fs::create_directory(dir_.File("out"));
  }
  std::string data_;
  hddtest::TempDir dir_;
};

TEST_F(AcceptanceOperations, DerivedImageExtractsLikeCpmcp) {
  const std::string image = dir_.File("derived.hdd");
  fs::copy_file(data_ + "/derived_2disk.hdd", image);
  const Tree one = ExtractedDisk(image, 1, dir_.File("out"));
  const Tree two = ExtractedDisk(image, 2, dir_.File("out"));
  EXPECT_EQ(one, CpmcpTree(dir_.Path(), data_ + "/scaner5.fdd"));
  EXPECT_EQ(two, CpmcpTree(dir_.Path(), data_ + "/test.fdd"));
  EXPECT_EQ(one.size() + two.size(), 89u);
  EXPECT_EQ(one.count("user_1/xtremly?.szx"), 1u);
}

TEST_F(AcceptanceOperations, ImageOfThreeFloppiesExtractsLikeCpmcp) {
  const char* const floppies[] = {"scaner5.fdd", "test.fdd", "skynet.fdd"};
  hddtest::ImageBuilder b(3);
  for (int d = 0; d < 3; ++d)
    b.AddFloppy(static_cast<std::uint32_t>(d + 1), hddtest::ReadWholeFile(data_ + "/" + floppies[d]));
  const std::string image = dir_.File("three.hdd");
  ASSERT_TRUE(b.Save(image));
  for (int d = 0; d < 3; ++d) {
    SCOPED_TRACE(floppies[d]);
    const Tree extracted = ExtractedDisk(image, d + 1, dir_.File("out"));
    EXPECT_FALSE(extracted.empty());
    EXPECT_EQ(extracted, CpmcpTree(dir_.Path(), data_ + "/" + floppies[d]));
  }
}

TEST_F(AcceptanceOperations, DeletionLeavesWhatCpmrmLeaves) {
  const std::string image = dir_.File("derived.hdd");
  fs::copy_file(data_ + "/derived_2disk.hdd", image);
  fs::permissions(image, fs::perms::owner_read | fs::perms::owner_write);
  hddtest::WriteDiskdefs(dir_.Path());

  struct Removal {
    const char* path;
    Kind kind;
    int disk;
    std::vector<std::string> cpmrm;  // the same items for cpmrm
  };
  std::vector<std::string> allUsers;
  for (int u = 0; u <= 15; ++u) allUsers.push_back(std::to_string(u) + ":*");
  const Removal removals[] = {
      {"disk_01\\mpzu.spr", Kind::File, 1, {"0:mpzu.spr"}},        // one entry
      {"DISK_01\\Digital.XOR", Kind::File, 1, {"0:digital.xor"}},  // four entries
      {"disk_01\\user_2", Kind::Folder, 1, {"2:*"}},
      {"disk_02", Kind::Folder, 2, allUsers},
  };
  std::map<int, std::vector<std::string>> perDisk;
  for (const Removal& r : removals) {
    EXPECT_EQ(hddtest::Delete(image, r.path, r.kind), 1) << r.path;
    for (const std::string& item : r.cpmrm) perDisk[r.disk].push_back(item);
  }

  for (int disk = 1; disk <= 2; ++disk) {
    SCOPED_TRACE(disk);
    const std::string ours = FloppyOfDisk(image, disk, dir_.File("ours" + std::to_string(disk) + ".fdd"));
    const std::string theirs =
        FloppyOfDisk(data_ + "/derived_2disk.hdd", disk, dir_.File("theirs" + std::to_string(disk) + ".fdd"));
    for (const std::string& item : perDisk[disk])
      EXPECT_TRUE(hddtest::RunIn(dir_.Path(), "cpmrm -f microdos '" + theirs + "' '" + item + "'")) << item;
    EXPECT_EQ(hddtest::ReadWholeFile(ours), hddtest::ReadWholeFile(theirs));
    const std::string listing = hddtest::OutputIn(dir_.Path(), "cpmls -f microdos '" + ours + "'");
    EXPECT_EQ(listing, hddtest::OutputIn(dir_.Path(), "cpmls -f microdos '" + theirs + "'"));
    if (disk == 1) {
      EXPECT_EQ(listing.find("mpzu.spr"), std::string::npos);
      EXPECT_EQ(listing.find("digital.xor"), std::string::npos);
      EXPECT_EQ(listing.find("\n2:"), std::string::npos);
      EXPECT_NE(listing.find("digital.com"), std::string::npos);
    }
  }
}

// A floppy that cpmtools wrote, with files that end on an extent boundary with
// no further entry and files whose entries stand in reverse extent order: the
// disk folder, and each user area by itself, extract as cpmcp copies them.
TEST(AcceptanceCpmtools, ExtentBoundariesAndReversedEntriesExtractLikeCpmcp) {
  if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
  hddtest::TempDir dir;
  std::string floppy;
  const std::string image = hddtest::ExtentBoundaryImage(dir.Path(), 1, 1, dir.File("cpm.hdd"), &floppy);
  ASSERT_EQ(hddtest::ModuleIsImage(image), 1);
  fs::create_directory(dir.File("out"));
  const Tree theirs = CpmcpTree(dir.Path(), floppy);
  EXPECT_EQ(theirs.size(), 6u);
  EXPECT_EQ(ExtractedDisk(image, 1, dir.File("out")), theirs);
  fs::create_directory(dir.File("area"));
  EXPECT_EQ(hddtest::CopyOut(image, "disk_01\\user_3", Kind::Folder, dir.File("area")), 1);
  Tree area;
  for (const auto& [name, bytes] : theirs)
    if (name.rfind("user_3/", 0) == 0) area[name] = bytes;
  EXPECT_EQ(FilesOf(hddtest::ReadTree(dir.File("area"))), area);
}

}  // namespace
