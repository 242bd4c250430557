// The test-side image builder writes the bytes at the places the format fixes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include <sys/stat.h>

#include "hdd/hdd_image.h"
#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"

namespace {

using hddtest::Bytes;

TEST(ImageBuilder, RawSlotsCountAndSectorsLandAtTheirOffsets) {
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(3);
  const hddtest::RawEntry slot = hddtest::MakeEntry(4, "GAME", "COM", 1, 7, {2, 3, 0x1234});
  b.SetSlot(1, 0, slot);
  b.SetSlot(3, 127, slot);
  b.WriteBytes(857088, Bytes{1, 2, 3, 4});  // sector 11 of disk 2
  ASSERT_TRUE(b.Save(dir.File("img")));

  const Bytes image = hddtest::ReadWholeFile(dir.File("img"));
  ASSERT_EQ(image.size(), 3u * 803840);
  EXPECT_EQ(image[132], 3);
  EXPECT_EQ(image[133], 0);
  EXPECT_EQ(Bytes(image.begin() + 41984, image.begin() + 41984 + 32), Bytes(slot.begin(), slot.end()));
  const Bytes expectedSlot = {4, 'G', 'A', 'M', 'E',  ' ',  ' ', ' ', ' ', 'C', 'O', 'M', 1, 0, 0, 7,
                              2, 0,   3,   0,   0x34, 0x12, 0,   0,   0,   0,   0,   0,   0, 0, 0, 0};
  EXPECT_EQ(Bytes(slot.begin(), slot.end()), expectedSlot);
  const std::size_t last = 2 * 803840 + 41984 + 127 * 32;
  EXPECT_EQ(Bytes(image.begin() + last, image.begin() + last + 32), expectedSlot);
  EXPECT_EQ(Bytes(image.begin() + 857088, image.begin() + 857092), (Bytes{1, 2, 3, 4}));
  // Slot 1 of disk 1 is free, the byte before the directory untouched.
  EXPECT_EQ(image[41984 + 32], 0xE5);
  EXPECT_EQ(image[41983], 0);
}

TEST(ImageBuilder, FilesGetEntriesAndBlocksAsMicroDosOrCpmtoolsWriteThem) {
  using hddtest::Layout;
  struct Case {
    std::size_t size;
    Layout layout;
    std::vector<std::pair<int, int>> extentRecords;  // per entry
  };
  const Case cases[] = {
      {0, Layout::MicroDos, {{0, 0}}},
      {1000, Layout::MicroDos, {{0, 8}}},
      {16384, Layout::MicroDos, {{0, 0x80}, {1, 0}}},  // a full entry needs a closing Records-0 entry
      {36096, Layout::MicroDos, {{0, 0x80}, {1, 0x80}, {2, 26}}},
      {32768 + 128, Layout::MicroDos, {{0, 0x80}, {1, 0x80}, {2, 1}}},
      {0, Layout::CpmTools, {{0, 0}}},
      {1000, Layout::CpmTools, {{0, 8}}},
      {16384, Layout::CpmTools, {{0, 0x80}}},  // the file ends on the extent boundary
      {32768, Layout::CpmTools, {{0, 0x80}, {1, 0x80}}},
      {36096, Layout::CpmTools, {{0, 0x80}, {1, 0x80}, {2, 26}}},
  };
  for (const Case& c : cases) {
    hddtest::ImageBuilder b(1);
    const Bytes data = hddtest::PatternBytes(c.size, 9);
    const auto slots = b.AddFile(1, 2, "F.DAT", data, c.layout);
    ASSERT_EQ(slots.size(), c.extentRecords.size()) << c.size;
    const Bytes image = b.ToBytes();
    std::size_t block = 0;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const std::size_t at = 41984 + 32 * slots[i];
      EXPECT_EQ(image[at], 2);
      EXPECT_EQ(image[at + 12], c.extentRecords[i].first) << c.size;
      EXPECT_EQ(image[at + 15], c.extentRecords[i].second) << c.size;
      for (int k = 0; k < 8; ++k) {
        const unsigned bn = image[at + 16 + 2 * k] | (image[at + 17 + 2 * k] << 8);
        if (bn == 0) break;
        // Block bn holds the file's bytes from block * 2048.
        const std::size_t len = std::min<std::size_t>(2048, c.size - block * 2048);
        const std::size_t off = 41984 + bn * 2048;
        EXPECT_EQ(Bytes(image.begin() + off, image.begin() + off + len),
                  Bytes(data.begin() + block * 2048, data.begin() + block * 2048 + len));
        ++block;
      }
    }
    EXPECT_EQ(block, (c.size + 2047) / 2048) << c.size;
  }
}

TEST(ImageBuilder, SlotOffsetsFollowTheLayout) {
  EXPECT_EQ(hddtest::SlotOffsetOf(1, 0), 41984u);
  EXPECT_EQ(hddtest::SlotOffsetOf(1, 127), 41984u + 127 * 32);
  EXPECT_EQ(hddtest::SlotOffsetOf(2, 0), 803840u + 41984);
  EXPECT_EQ(hddtest::SlotOffsetOf(65535, 1), 65534ull * 803840 + 41984 + 32);
}

TEST(ImageBuilder, RefusesFilesTheDiskCannotHold) {
  constexpr std::size_t kRoom = 370 * 2048;  // blocks 2 to 371
  {
    hddtest::ImageBuilder b(2);
    EXPECT_THROW(b.AddFile(1, 0, "BIG", Bytes(kRoom + 1)), std::invalid_argument);
    b.AddFile(1, 0, "FULL", Bytes(kRoom, 0x77));
    const Bytes before = b.ToBytes();
    EXPECT_THROW(b.AddFile(1, 0, "MORE", Bytes(1)), std::invalid_argument);
    EXPECT_EQ(b.ToBytes(), before);
    // The last block ends where disk 2 starts; its directory stays free.
    EXPECT_EQ(before[803840 - 1], 0x77);
    EXPECT_EQ(before[hddtest::SlotOffsetOf(2, 0)], 0xE5);
  }
  {
    hddtest::ImageBuilder b(1);
    for (int i = 0; i < 128; ++i) b.AddFile(1, 0, "E" + std::to_string(i), Bytes());
    EXPECT_THROW(b.AddFile(1, 0, "NOSLOT", Bytes()), std::invalid_argument);
  }
}

TEST(ImageBuilder, LargeImagesStaySparseAndTruncationCuts) {
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(300);
  b.AddFile(300, 0, "LAST.TXT", hddtest::PatternBytes(3000));
  ASSERT_TRUE(b.Save(dir.File("big")));
  struct stat st {};
  ASSERT_EQ(stat(dir.File("big").c_str(), &st), 0);
  EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), 300ull * 803840);
  EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512, 300ull * 803840 / 4);
  EXPECT_EQ(hddtest::ReadFileBytes(dir.File("big"), 132, 2), (Bytes{0x2C, 0x01}));

  b.SetSize(hddtest::SlotOffsetOf(300, 0) + 10);
  ASSERT_TRUE(b.Save(dir.File("cut")));
  ASSERT_EQ(stat(dir.File("cut").c_str(), &st), 0);
  EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), hddtest::SlotOffsetOf(300, 0) + 10);
}

// A floppy's whole data region (780 sectors from its directory) is copied,
// also past the disk's 803840-byte frame; the last disk's grows the image.
TEST(ImageBuilder, FloppyKeepsItsWholeDataRegion) {
  const Bytes floppy = hddtest::PatternBytes(839680, 3);
  const Bytes region(floppy.begin() + 40960, floppy.end());  // 798720 bytes from the directory
  hddtest::ImageBuilder b(2);
  b.AddFloppy(1, floppy);
  b.AddFloppy(2, floppy);
  const Bytes image = b.ToBytes();
  ASSERT_EQ(image.size(), 803840u + 41984 + 798720);
  EXPECT_EQ(Bytes(image.begin() + 41984, image.begin() + 41984 + 798720), region);
  EXPECT_EQ(Bytes(image.begin() + 845824, image.end()), region);
  // The next disk's directory stays where it is: 785 sectors after the first one's.
  EXPECT_EQ(Bytes(image.begin() + 41984 + 798720, image.begin() + 845824), Bytes(5120, 0));
}

}  // namespace
