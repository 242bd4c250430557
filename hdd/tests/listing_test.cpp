// Listing through the loaded module: ImgPrepare, then GetImgItem until it stops returning 1.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hdd/hdd_image.h"
#include "hdd/hdd_listing.h"
#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"
#include "listing_support.h"
#include "platform/files.h"

namespace {

using hddtest::Bytes;
using hddtest::ImageBuilder;
using hddtest::Item;
using hddtest::Listing;
using hddtest::MakeEntry;

TEST(GetFormatName, GivesLongAndShortName) {
  char longName[FM_LONG_NAME_SIZE] = {};
  char shortName[FM_SHORT_NAME_SIZE] = {};
  EXPECT_EQ(hddtest::Module().getFormatName(longName, shortName), 1);
  EXPECT_STREQ(longName, "HDD for MicroDOS");
  EXPECT_STREQ(shortName, "HDD");
}

// One image with every kind of slot the listing distinguishes.
class ComposedImage : public ::testing::Test {
 protected:
  void SetUp() override {
    ImageBuilder b(256);
    b.SetSlot(1, 0, MakeEntry(0x10, "", "", 0, 0));  // the disk's folder
    b.AddFile(1, 0, "README.TXT", hddtest::PatternBytes(1000));
    b.AddFile(1, 0, "BIG.DAT", hddtest::PatternBytes(36096));
    b.AddFile(1, 0, "EXACT.BIN", hddtest::PatternBytes(16384));
    // Only full entries (16 KB as cpmtools writes it): listed by its highest extent.
    b.SetSlot(1, b.NextSlot(1), MakeEntry(0, "HALF", "", 0, 0x80, {200}));
    b.SetSlot(1, b.NextSlot(1), MakeEntry(0x41, "ODD", "BIN", 0, 3, {201}));
    b.AddFile(1, 15, "Fifteen", hddtest::PatternBytes(128));
    b.AddFile(2, 5, "GAME.COM", hddtest::PatternBytes(2048));
    b.AddFile(10, 0, "TEN", hddtest::PatternBytes(256));
    b.AddFile(16, 1, "SIXTEEN.TXT", hddtest::PatternBytes(384));
    b.SetSlot(256, 0, MakeEntry(0x10, "", "", 0, 0));
    b.SetSlot(256, 127, MakeEntry(0, "LAST", "SLT", 1, 2, {2}));
    ASSERT_TRUE(b.Save(dir.File("composed.hdd")));
    ASSERT_EQ(hddtest::ModuleIsImage(dir.File("composed.hdd")), 1);
  }
  hddtest::TempDir dir;
};

TEST_F(ComposedImage, ListsDisksUsersAndFilesInDirectoryOrder) {
  const Listing l = hddtest::ListImage(dir.File("composed.hdd"));
  EXPECT_EQ(l.end, 0);
  EXPECT_EQ(l.records, 128u * 256);
  const std::vector<Item> expected = {
      {"disk_01\\", 0, 0},
      {"disk_01\\readme.txt", 0x20, 1024},
      {"disk_01\\big.dat", 0x20, 36096},
      {"disk_01\\exact.bin", 0x20, 16384},
      {"disk_01\\half", 0x20, 16384},
      {"disk_01\\user_41\\odd.bin", 0x20, 384},
      {"disk_01\\user_f\\fifteen", 0x20, 128},
      {"disk_02\\user_5\\game.com", 0x20, 2048},
      {"disk_0a\\ten", 0x20, 256},
      {"disk_10\\user_1\\sixteen.txt", 0x20, 384},
      {"disk_100\\", 0, 0},
      {"disk_100\\last.slt", 0x20, (128 + 2) * 128},
  };
  EXPECT_EQ(l.items, expected);
}

TEST_F(ComposedImage, CallsAfterTheEndKeepReturningZero) {
  HANDLE h = hddtest::OpenImage(dir.File("composed.hdd"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_EQ(hddtest::Module().imgPrepare(h), 1);
  PluginPanelItem item;
  int r;
  std::size_t n = 0;
  do {
    std::memset(&item, 0, sizeof item);
    r = hddtest::Module().getImgItem(h, &item);
    ++n;
  } while (r == 1);
  EXPECT_EQ(n, 128u * 256 + 1);
  std::memset(&item, 0, sizeof item);
  EXPECT_EQ(hddtest::Module().getImgItem(h, &item), 0);
  // A new walk starts again at disk 1.
  ASSERT_EQ(hddtest::Module().imgPrepare(h), 1);
  std::memset(&item, 0, sizeof item);
  EXPECT_EQ(hddtest::Module().getImgItem(h, &item), 1);
  EXPECT_STREQ(item.FindData.cFileName, "disk_01\\");
  CloseHandle(h);
}

TEST(Listing, ItemRecordReadsBackByteByByte) {
  hddtest::TempDir dir;
  ImageBuilder b(1);
  b.AddFile(1, 3, "DATA.BIN", hddtest::PatternBytes(36096));
  ASSERT_TRUE(b.Save(dir.File("img")));
  HANDLE h = hddtest::OpenImage(dir.File("img"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_EQ(hddtest::Module().imgPrepare(h), 1);
  PluginPanelItem item;
  for (int slot = 0; slot < 3; ++slot) {  // the third slot is the file's last entry
    std::memset(&item, 0, sizeof item);
    ASSERT_EQ(hddtest::Module().getImgItem(h, &item), 1);
  }
  CloseHandle(h);

  unsigned char raw[366];
  static_assert(sizeof raw == sizeof item);
  std::memcpy(raw, &item, sizeof raw);
  Bytes expected(366, 0);
  expected[0] = 0x20;   // dwFileAttributes
  expected[32] = 0x00;  // nFileSizeLow = 36096 = 0x8D00
  expected[33] = 0x8D;
  const std::string name = "disk_01\\user_3\\data.bin";
  std::memcpy(&expected[44], name.data(), name.size());  // cFileName
  EXPECT_EQ(Bytes(raw, raw + 366), expected);
}

// A file none of whose entries ends it (16 KB multiples as cpmtools writes
// them) is listed once, by its first entry of the highest extent number,
// wherever that slot stands; a file with an ending entry keeps being listed by it.
TEST(Listing, FileOfFullEntriesOnlyIsListedOnceByItsHighestExtent) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> extentRecords;  // per slot, from slot 3
    std::size_t listedSlot;                                            // index in extentRecords
    std::uint32_t size;
  };
  const Case cases[] = {
      {"one full entry", {{0, 0x80}}, 0, 16384},
      {"two full entries", {{0, 0x80}, {1, 0x80}}, 1, 32768},
      {"the highest extent first", {{1, 0x80}, {0, 0x80}}, 0, 32768},
      {"the highest extent twice", {{0, 0x80}, {2, 0x80}, {2, 0x80}}, 1, 49152},
      {"an ending entry before a full one", {{1, 0x80}, {0, 0x80}, {2, 5}}, 2, (2 * 128 + 5) * 128},
  };
  hddtest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImageBuilder b(2);
    b.AddFile(1, 0, "FIRST", hddtest::PatternBytes(16384), hddtest::Layout::CpmTools);  // slot 0
    for (std::size_t i = 0; i < c.extentRecords.size(); ++i)
      b.SetSlot(1, static_cast<std::uint32_t>(3 + i),
                MakeEntry(4, "FULL", "DAT", c.extentRecords[i].first, c.extentRecords[i].second, {2}));
    b.AddFile(2, 0, "OTHER", hddtest::PatternBytes(100));
    ASSERT_TRUE(b.Save(dir.File("img")));
    const Listing l = hddtest::ListImage(dir.File("img"));
    EXPECT_EQ(l.end, 0);
    const std::vector<Item> expected = {
        {"disk_01\\first", 0x20, 16384}, {"disk_01\\user_4\\full.dat", 0x20, c.size}, {"disk_02\\other", 0x20, 128}};
    EXPECT_EQ(l.items, expected);
    // The record of the slot it is listed by, and only that one, carries the name.
    HANDLE h = hddtest::OpenImage(dir.File("img"));
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_EQ(hddtest::Module().imgPrepare(h), 1);
    for (std::size_t slot = 0; slot < 3 + c.extentRecords.size(); ++slot) {
      PluginPanelItem item;
      std::memset(&item, 0, sizeof item);
      ASSERT_EQ(hddtest::Module().getImgItem(h, &item), 1);
      const bool named = item.FindData.cFileName[0] != 0;
      EXPECT_EQ(named, slot == 0 || slot == 3 + c.listedSlot) << slot;
    }
    CloseHandle(h);
  }
}

TEST(Listing, EmptyDiskGivesOnlyEmptyRecords) {
  hddtest::TempDir dir;
  ImageBuilder b(1);
  ASSERT_TRUE(b.Save(dir.File("img")));
  const Listing l = hddtest::ListImage(dir.File("img"));
  EXPECT_EQ(l.end, 0);
  EXPECT_EQ(l.records, 128u);
  EXPECT_TRUE(l.items.empty());
}

TEST(Listing, BlankFileNameEndsWithTwoKeepingEarlierItems) {
  hddtest::TempDir dir;
  ImageBuilder b(2);
  b.AddFile(1, 0, "ONE", hddtest::PatternBytes(128));
  b.AddFile(1, 2, "TWO", hddtest::PatternBytes(128));
  b.SetSlot(1, 5, MakeEntry(0, "", "", 0, 1));
  b.AddFile(2, 0, "NEVER", hddtest::PatternBytes(128));
  ASSERT_TRUE(b.Save(dir.File("img")));
  const Listing l = hddtest::ListImage(dir.File("img"));
  EXPECT_EQ(l.end, 2);
  EXPECT_EQ(l.records, 5u);
  const std::vector<Item> expected = {{"disk_01\\one", 0x20, 128}, {"disk_01\\user_2\\two", 0x20, 128}};
  EXPECT_EQ(l.items, expected);
}

TEST(Listing, ImageEndingInsideADirectoryEndsWithThree) {
  struct Case {
    std::uint64_t size;
    std::size_t records;
  };
  const Case cases[] = {
      {hddtest::SlotOffsetOf(2, 10), 128 + 10},       // ends at a slot boundary
      {hddtest::SlotOffsetOf(2, 10) + 31, 128 + 10},  // ends inside slot 10
      {hddtest::SlotOffsetOf(2, 127) + 32, 256},      // the last slot is whole: a normal end
  };
  hddtest::TempDir dir;
  for (const Case& c : cases) {
    ImageBuilder b(2);
    b.AddFile(1, 0, "FIRST", hddtest::PatternBytes(128));
    b.AddFile(2, 0, "SECOND", hddtest::PatternBytes(128));
    b.SetSize(c.size);
    ASSERT_TRUE(b.Save(dir.File("img")));
    ASSERT_EQ(hddtest::ModuleIsImage(dir.File("img")), 1);
    const Listing l = hddtest::ListImage(dir.File("img"));
    EXPECT_EQ(l.end, c.records == 256 ? 0 : 3) << c.size;
    EXPECT_EQ(l.records, c.records) << c.size;
    const std::vector<Item> expected = {{"disk_01\\first", 0x20, 128}, {"disk_02\\second", 0x20, 128}};
    EXPECT_EQ(l.items, expected) << c.size;
  }
}

TEST(Listing, UsesTheImageItIsGivenNotTheLastOneRecognised) {
  hddtest::TempDir dir;
  ImageBuilder a(3);
  a.AddFile(3, 0, "ON3.TXT", hddtest::PatternBytes(128));
  ASSERT_TRUE(a.Save(dir.File("a.hdd")));
  ImageBuilder b(1);
  ASSERT_TRUE(b.Save(dir.File("b.hdd")));
  ImageBuilder junk(1);
  junk.SetDiskCountField(60000);
  ASSERT_TRUE(junk.Save(dir.File("junk.hdd")));

  ASSERT_EQ(hddtest::ModuleIsImage(dir.File("a.hdd")), 1);
  for (const char* other : {"b.hdd", "junk.hdd"}) {
    hddtest::ModuleIsImage(dir.File(other));
    const Listing l = hddtest::ListImage(dir.File("a.hdd"));
    EXPECT_EQ(l.end, 0) << other;
    EXPECT_EQ(l.records, 3u * 128) << other;
    EXPECT_EQ(l.items, (std::vector<Item>{{"disk_03\\on3.txt", 0x20, 128}})) << other;
  }
}

// The last slots of disk 65535 lie near 52 GB: the walk reads them at their
// 64-bit offsets and ends after slot 127 without its disk counter wrapping.
TEST(Listing, LastDiskOfTheLargestImageLiesBeyondFourGigabytes) {
  hddtest::TempDir dir;
  ImageBuilder b(65535, false);
  b.SetSlot(65535, 126, MakeEntry(0, "FAR", "OFF", 0, 5, {2}));
  b.SetSlot(65535, 127, MakeEntry(7, "LAST", "", 1, 1, {3}));
  if (!b.Save(dir.File("huge"))) GTEST_SKIP() << "the temporary folder holds no sparse files of 52 GB";
  HANDLE h = hddtest::OpenImage(dir.File("huge"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  hdd::ListingWalk walk;
  ASSERT_EQ(hdd::PrepareListing(walk, h), 1);
  EXPECT_EQ(walk.image.diskCount, 65535u);
  EXPECT_EQ(walk.image.fileSize, 65535ull * 803840);
  // Skip the 8 million empty slots before: stand where the walk stands at slot 126.
  walk.currentDisk = 65535;
  walk.dirPosition = hddtest::SlotOffsetOf(65535, 126);
  walk.dirLastSlot = hddtest::SlotOffsetOf(65535, 127);
  hdd::FormatDiskPrefix(65535, walk.diskPrefix, sizeof walk.diskPrefix);

  PluginPanelItem item;
  std::memset(&item, 0, sizeof item);
  EXPECT_EQ(hdd::NextListingItem(walk, h, &item), 1);
  EXPECT_STREQ(item.FindData.cFileName, "disk_ffff\\far.off");
  EXPECT_EQ(item.FindData.nFileSizeLow, 5u * 128);
  std::memset(&item, 0, sizeof item);
  EXPECT_EQ(hdd::NextListingItem(walk, h, &item), 1);
  EXPECT_STREQ(item.FindData.cFileName, "disk_ffff\\user_7\\last");
  EXPECT_EQ(item.FindData.nFileSizeLow, 129u * 128);
  for (int i = 0; i < 2; ++i) {
    std::memset(&item, 0, sizeof item);
    EXPECT_EQ(hdd::NextListingItem(walk, h, &item), 0);
  }
  CloseHandle(h);
}

// ImgPrepare refuses, as recognition does, a count that cannot be read and a count of 0
// (an image replaced by another file after it was recognised); the walk then delivers nothing.
TEST(Listing, PrepareRefusesAnImageWhoseCountCannotBeReadOrIsZero) {
  struct Case {
    const char* what;
    std::uint64_t size;
    std::uint16_t count;
  } cases[] = {
      {"count cut off", 133, 1},
      {"count 0", 803840, 0},
  };
  hddtest::TempDir dir;
  for (const Case& c : cases) {
    ImageBuilder b(1);
    b.AddFile(1, 0, "FILE.TXT", hddtest::PatternBytes(128));
    b.SetDiskCountField(c.count);
    b.SetSize(c.size);
    ASSERT_TRUE(b.Save(dir.File("img"))) << c.what;
    HANDLE h = hddtest::OpenImage(dir.File("img"));
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(hddtest::Module().imgPrepare(h), 0) << c.what;
    PluginPanelItem item{};
    EXPECT_EQ(hddtest::Module().getImgItem(h, &item), 0) << c.what;
    CloseHandle(h);
  }
}

TEST(Listing, JunkDirectoriesEndTheWalkWithBoundedNames) {
  hddtest::TempDir dir;
  for (std::uint8_t seed = 0; seed < 20; ++seed) {
    ImageBuilder b(2, false);
    b.WriteBytes(hddtest::SlotOffsetOf(1, 0), hddtest::PatternBytes(4096, seed));
    b.WriteBytes(hddtest::SlotOffsetOf(2, 0), hddtest::PatternBytes(4096, static_cast<std::uint8_t>(seed * 3)));
    b.SetSize(hddtest::SlotOffsetOf(2, 0) + 64 * seed);
    ASSERT_TRUE(b.Save(dir.File("img")));
    const Listing l = hddtest::ListImage(dir.File("img"));
    EXPECT_LE(l.records, 256u);
    EXPECT_NE(l.end, 1);
    for (const Item& i : l.items) EXPECT_LT(i.name.size(), 40u);
  }
}

}  // namespace
