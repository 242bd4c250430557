// The image panel over the real hdd.di, loaded by the plug-in in-process as a module of
// its Formats folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "hddtest/image_builder.h"
#include "module_fixture.h"
#include "panoply/panel.h"

using namespace panoply;
namespace fs = std::filesystem;

namespace {

// A 2000-disk image with one file a disk, through the real module: 256 000 slots are
// delivered, only the 2000 files and the disks' folder items are stored.
TEST_F(PanelTest, ALargeHardDiskImageStoresOnlyItsNamedItems) {
  fs::create_directories(dir.path() / "Formats");
  fs::copy_file(HDD_MODULE_PATH, dir.path() / "Formats" / "hdd.di");
  Start();
  constexpr std::uint32_t kDisks = 2000;
  hddtest::ImageBuilder b(kDisks);
  for (std::uint32_t d = 1; d <= kDisks; ++d) b.AddFile(d, d % 3 == 0 ? 1 : 0, "F.TXT", hddtest::PatternBytes(100));
  b.SetSlot(7, 127, hddtest::MakeEntry(0x10, "", "", 0, 0));  // the folder item of disk 7
  const std::string image = dir / "big.hdd";
  if (!b.Save(image)) GTEST_SKIP() << "the temporary folder holds no sparse file of 1.6 GB";
  ASSERT_TRUE(h->OpenFile(image));
  const auto* panel = static_cast<const ImagePanel*>(h->panel());
  ASSERT_EQ(panel->items.size(), kDisks + 1);
  EXPECT_STREQ(panel->items[0].FindData.cFileName, "disk_01\\f.txt");
  EXPECT_STREQ(panel->items[2].FindData.cFileName, "disk_03\\user_1\\f.txt");
  EXPECT_STREQ(panel->items[7].FindData.cFileName, "disk_07");
  EXPECT_STREQ(panel->items[kDisks].FindData.cFileName, "disk_7d0\\f.txt");
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(h->panelItems.size(), kDisks);  // one folder a disk at the root
  EXPECT_TRUE(script.failures().empty());
}

}  // namespace
