// Deletion through the loaded module; the whole image is compared each time.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "hddtest/test_support.h"
#include "listing_support.h"

namespace {

namespace fs = std::filesystem;

using hddtest::Bytes;
using hddtest::ImageBuilder;
using hddtest::Kind;
using hddtest::MakeEntry;
using hddtest::PatternBytes;

// Offset of the User byte of slot k of disk d, written out.
std::uint64_t UserByteAt(std::uint32_t d, std::uint32_t k) { return (d - 1) * 803840ull + 41984 + 32ull * k; }

// The offsets where two images differ.
std::map<std::uint64_t, std::uint8_t> Changes(const Bytes& before, const Bytes& after) {
  std::map<std::uint64_t, std::uint8_t> out;
  EXPECT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i)
    if (before[i] != after[i]) out[i] = after[i];
  return out;
}

class Delete : public ::testing::Test {
 protected:
  std::string Image() const { return dir_.File("img"); }
  void Save(const ImageBuilder& b) {
    ASSERT_TRUE(b.Save(Image()));
    before_ = hddtest::ReadWholeFile(Image());
  }
  int DeleteFile(const std::string& path, bool readOnly = false) {
    return hddtest::Delete(Image(), path, Kind::File, readOnly);
  }
  int DeleteFolder(const std::string& path) { return hddtest::Delete(Image(), path, Kind::Folder); }
  std::map<std::uint64_t, std::uint8_t> Changed() const { return Changes(before_, hddtest::ReadWholeFile(Image())); }
  // Expected changes: User 0xE5 in the given slots of a disk.
  static std::map<std::uint64_t, std::uint8_t> Freed(std::uint32_t disk, std::initializer_list<std::uint32_t> slots) {
    std::map<std::uint64_t, std::uint8_t> out;
    for (std::uint32_t k : slots) out[UserByteAt(disk, k)] = 0xE5;
    return out;
  }

  hddtest::TempDir dir_;
  Bytes before_;
};

TEST_F(Delete, FileOfThreeEntriesFreesExactlyThreeBytes) {
  ImageBuilder b(2);
  b.AddFile(2, 0, "OTHER.DAT", PatternBytes(100));    // slot 0
  b.AddFile(2, 0, "THREE.DAT", PatternBytes(36096));  // slots 1, 2, 3
  b.AddFile(2, 1, "THREE.DAT", PatternBytes(100));    // slot 4: another user's
  b.AddFile(1, 0, "THREE.DAT", PatternBytes(100));    // another disk's
  Save(b);
  EXPECT_EQ(DeleteFile("disk_02\\three.dat"), 1);
  EXPECT_EQ(Changed(), Freed(2, {1, 2, 3}));
  EXPECT_EQ(DeleteFile("disk_02\\three.dat"), 0);  // gone now
  EXPECT_EQ(Changed(), Freed(2, {1, 2, 3}));
}

TEST_F(Delete, AnyLetterCaseMatches) {
  ImageBuilder b(1);
  b.SetSlot(1, 5, MakeEntry(0, "MiXeD", "tXt", 0, 1, {2}));
  b.SetSlot(1, 6, MakeEntry(2, "UP", "", 0, 1, {3}));
  Save(b);
  EXPECT_EQ(DeleteFile("DISK_01\\mIxEd.TxT"), 1);
  EXPECT_EQ(DeleteFile("Disk_01\\USER_2\\up"), 1);
  EXPECT_EQ(Changed(), Freed(1, {5, 6}));
}

TEST_F(Delete, RefusedOrUnknownChangesNothing) {
  ImageBuilder b(1);
  b.AddFile(1, 0, "A", PatternBytes(100));
  b.AddFile(1, 4, "B", PatternBytes(100));
  Save(b);
  EXPECT_EQ(DeleteFile("disk_01\\nothing"), 0);
  EXPECT_EQ(DeleteFile("disk_01\\b"), 0);          // user 4's, not user 0's
  EXPECT_EQ(DeleteFile("disk_01\\user_4\\a"), 0);  // user 0's, not user 4's
  EXPECT_EQ(DeleteFolder("disk_01\\user_41"), 5);
  EXPECT_EQ(DeleteFolder("disk_02"), 5);
  EXPECT_EQ(DeleteFolder("disk_01\\a"), 2);
  EXPECT_EQ(DeleteFile("disk_01\\a", /*readOnly=*/true), 0);
  EXPECT_TRUE(Changed().empty());
}

TEST_F(Delete, UserAreaFreesOnlyThatUser) {
  ImageBuilder b(1);
  b.AddFile(1, 3, "A", PatternBytes(20000));                 // slots 0, 1
  b.AddFile(1, 4, "A", PatternBytes(100));                   // slot 2
  b.AddFile(1, 3, "B", PatternBytes(100));                   // slot 3
  b.AddFile(1, 0, "C", PatternBytes(100));                   // slot 4
  b.SetSlot(1, 5, MakeEntry(3, "PART", "", 0, 0x80, {50}));  // full entries only: a file of the area too
  Save(b);
  EXPECT_EQ(DeleteFolder("disk_01\\user_3"), 1);
  EXPECT_EQ(Changed(), Freed(1, {0, 1, 3, 5}));
}

TEST_F(Delete, DiskFolderFreesUsersZeroToFifteen) {
  ImageBuilder b(2);
  b.SetSlot(1, 0, MakeEntry(0x10, "", "", 0, 0));          // folder marker: kept
  b.AddFile(1, 0, "A", PatternBytes(20000));               // 1, 2
  b.AddFile(1, 1, "B", PatternBytes(100));                 // 3
  b.AddFile(1, 15, "C", PatternBytes(100));                // 4
  b.AddFile(1, 0x41, "D", PatternBytes(100));              // 5: above 15, kept
  b.SetSlot(1, 6, MakeEntry(0, "P0", "", 0, 0x80, {60}));  // full entries only: freed
  b.SetSlot(1, 7, MakeEntry(5, "P5", "", 0, 0x80, {61}));  // the same in user 5: freed
  b.AddFile(2, 0, "E", PatternBytes(100));
  Save(b);
  EXPECT_EQ(DeleteFolder("disk_01"), 1);
  EXPECT_EQ(Changed(), Freed(1, {1, 2, 3, 4, 6, 7}));
}

TEST_F(Delete, FailedWriteRestoresEverySlot) {
  ImageBuilder b(1);
  b.AddFile(1, 0, "A", PatternBytes(40000));  // slots 0, 1, 2
  Save(b);
  {
    hddtest::FaultScope faults("write-fail-call=2,under=" + dir_.Path());
    EXPECT_EQ(DeleteFile("disk_01\\a"), 0);
  }
  EXPECT_TRUE(Changed().empty());
  {
    hddtest::FaultScope faults("write-fail-call=3,under=" + dir_.Path());
    EXPECT_EQ(DeleteFolder("disk_01"), 0);
  }
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(DeleteFolder("disk_01"), 1);
  EXPECT_EQ(Changed(), Freed(1, {0, 1, 2}));
}

// A path that a user-0 name holding "\" lists too names neither file.
TEST_F(Delete, UserZeroNameWithBackslashShadowsTheUserArea) {
  ImageBuilder b(1);
  b.SetSlot(1, 0, MakeEntry(0, "USER_3\\X", "", 0, 1, {2}));
  b.SetSlot(1, 1, MakeEntry(3, "X", "", 0, 1, {3}));
  Save(b);
  const hddtest::Listing l = hddtest::ListImage(Image());
  ASSERT_EQ(l.items.size(), 2u);
  EXPECT_EQ(l.items[0].name, l.items[1].name);  // both "disk_01\user_3\x"
  hddtest::TempDir out;
  EXPECT_EQ(hddtest::CopyOut(Image(), "disk_01\\user_3\\x", Kind::File, out.Path()), 2);
  EXPECT_EQ(hddtest::CopyOut(Image(), "disk_01\\user_3", Kind::Folder, out.Path()), 2);
  EXPECT_EQ(DeleteFile("disk_01\\user_3\\x"), 2);
  EXPECT_EQ(DeleteFolder("disk_01\\user_3"), 2);
  EXPECT_TRUE(Changed().empty());
  EXPECT_TRUE(hddtest::ReadTree(out.Path()).empty());
}

TEST_F(Delete, LastDiskCutShortKeepsItsSize) {
  ImageBuilder b(2);
  b.AddFile(2, 0, "A", PatternBytes(100));  // slot 0
  b.AddFile(2, 0, "B", PatternBytes(100));  // slot 1
  b.SetSlot(2, 20, MakeEntry(0, "OUT", "", 0, 1, {9}));
  b.SetSize(803840 + 41984 + 32 * 20 + 16);  // slot 20 is cut in half
  Save(b);
  EXPECT_EQ(DeleteFile("disk_02\\out"), 0);  // not read whole: absent
  EXPECT_EQ(DeleteFolder("disk_02"), 1);
  EXPECT_EQ(Changed(), Freed(2, {0, 1}));
  EXPECT_EQ(fs::file_size(Image()), 803840u + 41984 + 32 * 20 + 16);
}

TEST_F(Delete, ImageOfItsOwnAfterRecognitionOfAnother) {
  ImageBuilder a(3);
  a.AddFile(3, 0, "LAST", PatternBytes(700));
  Save(a);
  ImageBuilder other(1);
  ASSERT_TRUE(other.Save(dir_.File("other")));
  ASSERT_EQ(hddtest::ModuleIsImage(dir_.File("other")), 1);
  EXPECT_EQ(DeleteFile("disk_03\\last"), 1);
  EXPECT_EQ(Changed(), Freed(3, {0}));
}

TEST_F(Delete, ImageTruncatedAfterItsListing) {
  ImageBuilder b(2);
  b.AddFile(2, 0, "GONE", PatternBytes(100));
  Save(b);
  EXPECT_EQ(hddtest::ListImage(Image()).items.size(), 1u);
  fs::resize_file(Image(), 803840 + 1000);
  before_ = hddtest::ReadWholeFile(Image());
  EXPECT_EQ(DeleteFile("disk_02\\gone"), 0);
  EXPECT_EQ(DeleteFolder("disk_02"), 0);
  EXPECT_TRUE(Changed().empty());
}

}  // namespace
