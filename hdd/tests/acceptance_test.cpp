// Against real MicroDOS floppies: a hard-disk image made of them lists the same
// names and sizes as Debian's cpmtools lists on the floppies themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "hddtest/cpmtools_support.h"
#include "hddtest/cpmtools_trees.h"
#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"
#include "listing_support.h"

namespace {

namespace fs = std::filesystem;

using NameSizes = std::map<std::string, std::uint32_t>;  // "user_N\name" or "name" -> size

const char* const kFloppies[] = {"scaner5.fdd", "test.fdd", "skynet.fdd"};

using hddtest::MicroDosDir;
using hddtest::WriteDiskdefs;

// cpmls -l of a floppy, run in a folder that holds the floppies' diskdef.
NameSizes CpmlsListing(const std::string& folder, const std::string& floppy) {
  WriteDiskdefs(folder);
  const std::string cmd = "cd '" + folder + "' && cpmls -l -f microdos '" + floppy + "'";
  FILE* p = popen(cmd.c_str(), "r");
  NameSizes out;
  if (!p) return out;
  char buf[512];
  int user = 0;
  while (std::fgets(buf, sizeof buf, p)) {
    std::string line(buf);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (line.empty()) continue;
    if (line.back() == ':') {
      user = std::stoi(line.substr(0, line.size() - 1));
      continue;
    }
    std::istringstream in(line);
    std::string perm, month, day, year, name;
    std::uint32_t size = 0;
    in >> perm >> size >> month >> day >> year >> name;
    char prefix[16] = "";
    if (user != 0) std::snprintf(prefix, sizeof prefix, "user_%x\\", user);
    out[prefix + name] = size;
  }
  pclose(p);
  return out;
}

// The items of one disk, with the "disk_NN\" prefix cut.
NameSizes DiskItems(const hddtest::Listing& l, int disk) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "disk_%02x\\", disk);
  NameSizes out;
  for (const hddtest::Item& i : l.items) {
    if (i.name.rfind(prefix, 0) == 0 && i.name.size() > std::strlen(prefix))
      out[i.name.substr(std::strlen(prefix))] = i.size;
  }
  return out;
}

TEST(Acceptance, ImageOfRealFloppiesListsLikeCpmtools) {
  const std::string data = MicroDosDir();
  if (data.empty()) GTEST_SKIP() << "no microdos test data";
  if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(3);
  int disk = 1;
  for (const char* f : kFloppies) {
    const hddtest::Bytes floppy = hddtest::ReadWholeFile(data + "/" + f);
    ASSERT_FALSE(floppy.empty()) << f;
    b.AddFloppy(static_cast<std::uint32_t>(disk++), floppy);
  }
  ASSERT_TRUE(b.Save(dir.File("floppies.hdd")));
  ASSERT_EQ(hddtest::ModuleIsImage(dir.File("floppies.hdd")), 1);
  const hddtest::Listing l = hddtest::ListImage(dir.File("floppies.hdd"));
  EXPECT_EQ(l.end, 0);
  EXPECT_EQ(l.records, 3u * 128);

  disk = 1;
  for (const char* f : kFloppies) {
    const NameSizes expected = CpmlsListing(dir.Path(), data + "/" + f);
    EXPECT_FALSE(expected.empty()) << f;
    EXPECT_EQ(DiskItems(l, disk++), expected) << f;
  }
}

TEST(Acceptance, DerivedHardDiskImageListsLikeCpmtools) {
  const std::string data = MicroDosDir();
  if (data.empty() || !fs::exists(data + "/derived_2disk.hdd")) GTEST_SKIP() << "no microdos test data";
  if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
  hddtest::TempDir dir;
  const std::string image = data + "/derived_2disk.hdd";
  ASSERT_EQ(hddtest::ModuleIsImage(image), 1);
  const hddtest::Listing l = hddtest::ListImage(image);
  EXPECT_EQ(l.end, 0);
  EXPECT_EQ(l.records, 2u * 128);
  EXPECT_EQ(DiskItems(l, 1), CpmlsListing(dir.Path(), data + "/scaner5.fdd"));
  EXPECT_EQ(DiskItems(l, 2), CpmlsListing(dir.Path(), data + "/test.fdd"));
}

// Files that end on an extent boundary with no further entry, and entries in
// reverse extent order, as cpmtools writes and reads them: the same names and
// sizes as cpmls lists.
TEST(Acceptance, CpmtoolsWrittenFloppyListsLikeCpmls) {
  if (!hddtest::HaveCpmtools()) GTEST_SKIP() << "cpmtools is not installed";
  hddtest::TempDir dir;
  std::string floppy;
  const std::string image = hddtest::ExtentBoundaryImage(dir.Path(), 1, 1, dir.File("cpm.hdd"), &floppy);
  ASSERT_EQ(hddtest::ModuleIsImage(image), 1);
  const hddtest::Listing l = hddtest::ListImage(image);
  EXPECT_EQ(l.end, 0);
  const NameSizes expected = CpmlsListing(dir.Path(), floppy);
  EXPECT_EQ(expected.size(), 6u);
  EXPECT_EQ(DiskItems(l, 1), expected);
}

}  // namespace
