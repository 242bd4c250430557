// Recognition of hard-disk images (IsImage).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include <sys/stat.h>

#include "hdd/hdd_image.h"
#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"

namespace {

using hddtest::Bytes;
using hddtest::ImageBuilder;
using hddtest::MakeEntry;

struct Case {
  const char* what;
  std::function<void(ImageBuilder&)> change;
  int expected;
  std::uint32_t disks = 3;
  bool freeDirectories = true;
};

int Recognize(const std::string& path, int firstBytes = 1024) { return hdd::RecognizeImage(path.c_str(), firstBytes); }

// Descriptors open in this process: IsImage closes the file on every path.
std::size_t OpenDescriptors() {
  std::error_code ec;
  std::size_t n = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
    ++n;
  return n;
}

TEST(IsImage, TableOfImages) {
  constexpr std::uint64_t kDisk = 803840;
  const Case cases[] = {
      {"plain image", [](ImageBuilder&) {}, 1},
      {"disk count 0", [](ImageBuilder& b) { b.SetDiskCountField(0); }, 0},
      {"last disk ends after its first slot", [](ImageBuilder& b) { b.SetSize(2 * kDisk + 41984 + 32); }, 1},
      {"last disk ends inside its first slot", [](ImageBuilder& b) { b.SetSize(2 * kDisk + 41984 + 31); }, 0},
      {"file one byte short of the whole disks", [](ImageBuilder& b) { b.SetSize(2 * kDisk - 1); }, 0},
      {"count above the disks present", [](ImageBuilder& b) { b.SetDiskCountField(4); }, 0},
      // In 32-bit arithmetic 5344 x 803840 wraps to 753664 and the size test would pass.
      {"wrapping count",
       [](ImageBuilder& b) {
         b.SetDiskCountField(5345);
         b.SetSize(753664);
       },
       0, 1},
      {"junk count", [](ImageBuilder& b) { b.SetDiskCountField(0xFFFF); }, 0},
      {"folder marker with junk",
       [](ImageBuilder& b) { b.SetSlot(2, 0, MakeEntry(0x10, "\xFF", "", 9, 0xFF, {}, 7, 7)); }, 1},
      {"free slot with junk", [](ImageBuilder& b) { b.SetSlot(2, 0, MakeEntry(0xE5, "", "", 0, 0xFF, {}, 1, 1)); }, 1},
      {"user 3, Records 0x80", [](ImageBuilder& b) { b.SetSlot(2, 0, MakeEntry(3, "A", "", 0, 0x80)); }, 1},
      {"user 3, Records 0x81", [](ImageBuilder& b) { b.SetSlot(2, 0, MakeEntry(3, "A", "", 0, 0x81)); }, 0},
      {"user 15", [](ImageBuilder& b) { b.SetSlot(3, 0, MakeEntry(15, "A", "", 0, 1)); }, 1},
      {"user 0x11", [](ImageBuilder& b) { b.SetSlot(3, 0, MakeEntry(0x11, "A", "", 0, 1)); }, 0},
      {"user 0xE4", [](ImageBuilder& b) { b.SetSlot(1, 0, MakeEntry(0xE4, "A", "", 0, 1)); }, 0},
      {"S1 set on disk 1", [](ImageBuilder& b) { b.SetSlot(1, 0, MakeEntry(0, "A", "", 0, 1, {}, 1, 0)); }, 0},
      {"S2 set on the last disk", [](ImageBuilder& b) { b.SetSlot(3, 0, MakeEntry(0, "A", "", 0, 1, {}, 0, 1)); }, 0},
      {"only slot 0 is tested", [](ImageBuilder& b) { b.SetSlot(2, 1, MakeEntry(0x77, "A", "", 0, 0xFF)); }, 1},
      {"file shorter than the count", [](ImageBuilder& b) { b.SetSize(133); }, 0},
      {"unformatted disks (zero slots)", [](ImageBuilder&) {}, 1, 3, false},
  };
  hddtest::TempDir dir;
  int n = 0;
  const std::size_t descriptors = OpenDescriptors();
  for (const Case& c : cases) {
    ImageBuilder b(c.disks, c.freeDirectories);
    c.change(b);
    const std::string path = dir.File("img" + std::to_string(n++));
    ASSERT_TRUE(b.Save(path));
    EXPECT_EQ(Recognize(path), c.expected) << c.what;
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// The size test by itself: a refused first-slot read hides it in whole-file tests.
TEST(IsImage, SizeTestCountsWholeDisksWithoutWrapping) {
  constexpr std::uint64_t kDisk = 803840;
  struct Case {
    std::uint64_t size;
    std::uint32_t disks;
    bool holds;
  };
  const Case cases[] = {
      {1u << 20, 0, false},  // a count of 0 never holds
      {0, 1, true},          // one disk may end anywhere
      {2 * kDisk, 3, true},  // exactly (count - 1) whole disks
      {2 * kDisk - 1, 3, false},
      {753664, 5345, false},         // 5344 x 803840 wraps to 753664 in 32 bits
      {65534 * kDisk, 65535, true},  // about 52 GB
      {65534 * kDisk - 1, 65535, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(hdd::SizeHoldsDisks(c.size, c.disks), c.holds) << c.size << " bytes, " << c.disks << " disks";
}

TEST(IsImage, HostBytesAndUnusableFiles) {
  hddtest::TempDir dir;
  ImageBuilder b(1);
  ASSERT_TRUE(b.Save(dir.File("img")));
  EXPECT_EQ(Recognize(dir.File("img"), 132), 0);
  EXPECT_EQ(Recognize(dir.File("img"), 133), 1);
  EXPECT_EQ(Recognize(dir.File("img"), -1), 0);
  EXPECT_EQ(Recognize(dir.File("missing")), 0);
  EXPECT_EQ(Recognize(dir.Path()), 0);  // a folder
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_EQ(Recognize(dir.File("fifo")), 0);  // refused without waiting for a writer
  // The host's byte count is all that is used of its data: no buffer at all is fine.
  EXPECT_EQ(hddtest::Module().isImage(dir.File("img").c_str(), nullptr, 4096), 1);
}

// Junk bytes everywhere the recognition reads, across many seeds, in four classes: a junk
// count (0xFFFF), a count whose whole disks the file does not hold (3), and counts 1 and 2
// whose first slots carry junk after a User byte chosen per seed. The file is one disk and
// 41984 + seed bytes long, so disk 2's first slot (at 845824) is whole only from seed 32.
TEST(IsImage, DamagedImagesGetTheAnswerOfTheirClass) {
  hddtest::TempDir dir;
  const std::uint8_t users[] = {0xE5, 0x10, 0x11, 0xFF};  // passes, passes, refused, refused
  for (std::uint8_t seed = 0; seed < 40; ++seed) {
    const std::uint16_t count = seed % 4 == 0 ? 0xFFFF : seed % 4;
    const std::uint8_t user = users[(seed / 4) % 4];
    ImageBuilder b(2, false);
    b.WriteBytes(0, hddtest::PatternBytes(2 * 803840, seed));
    b.SetDiskCountField(count);
    b.WriteBytes(41984, Bytes{user});
    b.WriteBytes(845824, Bytes{user});
    b.SetSize(803840 + 41984 + seed);
    const std::string path = dir.File("junk" + std::to_string(seed));
    ASSERT_TRUE(b.Save(path));
    const bool userPasses = user == 0xE5 || user == 0x10;
    int expected = 0;
    if (count == 1) expected = userPasses;
    if (count == 2) expected = userPasses && seed >= 32;
    EXPECT_EQ(Recognize(path), expected) << "seed " << int(seed) << ", count " << count << ", user " << int(user);
  }
}

}  // namespace
