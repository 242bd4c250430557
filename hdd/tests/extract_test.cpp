// Extraction through the loaded module: files, user areas and disk folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "hdd/hdd_extract.h"
#include "hddtest/image_builder.h"
#include "hddtest/operation_support.h"
#include "hddtest/test_support.h"
#include "listing_support.h"
#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

using hddtest::Bytes;
using hddtest::ImageBuilder;
using hddtest::Kind;
using hddtest::MakeEntry;
using hddtest::PatternBytes;
using hddtest::Tree;

// Offset of block b of disk d, written out: disks of 803840 bytes, the
// directory 41984 bytes in, blocks of 2048 from the directory on.
std::uint64_t BlockAt(std::uint32_t d, std::uint32_t b) { return (d - 1) * 803840ull + 41984 + b * 2048ull; }

// What a file of `size` pattern bytes extracts as: whole 128-byte records,
// the rest of its last record as the image holds it (zeros here).
Bytes Records(std::size_t size, std::uint8_t seed = 0) {
  Bytes b = PatternBytes(size, seed);
  b.resize((size + 127) / 128 * 128, 0);
  return b;
}

class Extract : public ::testing::Test {
 protected:
  std::string Image() const { return dir_.File("img"); }
  std::string Out() const { return dir_.File("out"); }
  void SetUp() override { fs::create_directory(Out()); }
  void Save(const ImageBuilder& b) { ASSERT_TRUE(b.Save(Image())); }
  int CopyFile(const std::string& path) { return hddtest::CopyOut(Image(), path, Kind::File, Out()); }
  int CopyFolder(const std::string& path) { return hddtest::CopyOut(Image(), path, Kind::Folder, Out()); }
  Tree OutTree() const { return hddtest::ReadTree(Out()); }

  hddtest::TempDir dir_;
};

TEST_F(Extract, FilesOfOneAndSeveralEntries) {
  ImageBuilder b(1);
  const Bytes three = PatternBytes(36096, 1);  // 3 entries, the last with Records 26
  const Bytes four = PatternBytes(4096, 2);
  b.AddFile(1, 0, "THREE.DAT", three);
  // Exactly two blocks, and a third block number listed that is not written.
  b.WriteBytes(BlockAt(1, 100), four);
  b.WriteBytes(BlockAt(1, 102), PatternBytes(2048, 9));
  b.SetSlot(1, 10, MakeEntry(0, "FOUR", "BIN", 0, 32, {100, 101, 102}));
  b.SetSlot(1, 11, MakeEntry(0, "EMPTY", "", 0, 0));
  b.AddFile(1, 7, "Seven.Txt", PatternBytes(5000, 3));
  Save(b);

  EXPECT_EQ(CopyFile("DISK_01\\THREE.DAT"), 1);
  EXPECT_EQ(CopyFile("disk_01\\four.bin"), 1);
  EXPECT_EQ(CopyFile("disk_01\\empty"), 1);
  EXPECT_EQ(CopyFile("disk_01\\user_7\\seven.txt"), 1);
  EXPECT_EQ(OutTree(),
            (Tree{{"three.dat", three}, {"four.bin", four}, {"empty", {}}, {"seven.txt", Records(5000, 3)}}));
  EXPECT_EQ(hddtest::ReadWholeFile(Out() + "/three.dat").size(), 36096u);

  // Not there, or another user's: 0 and nothing written.
  EXPECT_EQ(CopyFile("disk_01\\user_7\\three.dat"), 0);
  EXPECT_EQ(CopyFile("disk_01\\seven.txt"), 0);
  EXPECT_EQ(CopyFile("disk_01\\nothing"), 0);
  EXPECT_EQ(OutTree().size(), 4u);
}

TEST_F(Extract, ExistingPcFileIsNeverOverwritten) {
  ImageBuilder b(1);
  b.AddFile(1, 0, "A.TXT", PatternBytes(3000));
  Save(b);
  std::ofstream(Out() + "/a.txt") << "mine";
  EXPECT_EQ(CopyFile("disk_01\\a.txt"), 0);
  EXPECT_EQ(OutTree(), (Tree{{"a.txt", Bytes{'m', 'i', 'n', 'e'}}}));
}

// A listed block that cannot be read as the file's data: 0 and no PC file.
TEST_F(Extract, UnsoundBlocksLeaveNoFile) {
  struct Case {
    const char* what;
    std::vector<std::uint16_t> blocks;
    std::uint8_t records;
    std::uint64_t imageSize;  // 0: whole disks
  };
  const Case cases[] = {
      {"directory block 0", {2, 0, 4}, 48, 0},
      {"first block 0", {0}, 16, 0},
      {"directory block 1", {1}, 16, 0},
      {"next directory, block 392", {3, 392}, 24, 0},
      {"far beyond", {3, 0xFFFF}, 24, 0},
      {"0 before the size", {3, 4}, 48, 0},
      {"block past the end of the file", {3, 200}, 24, 803840 + BlockAt(1, 200) + 1024},
      {"image ends inside the file", {3, 4}, 32, 803840 + BlockAt(1, 4) + 100},
      {"a block listed twice", {3, 4, 3}, 48, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImageBuilder b(3);
    b.SetSlot(2, 0, MakeEntry(0, "BAD", "", 0, c.records, c.blocks));
    b.WriteBytes(BlockAt(2, 3), PatternBytes(6144));
    if (c.imageSize) b.SetSize(c.imageSize);
    Save(b);
    EXPECT_EQ(CopyFile("disk_02\\bad"), 0);
    EXPECT_TRUE(OutTree().empty());
  }
}

TEST_F(Extract, LastDataBlockOfAMiddleDiskExtracts) {
  ImageBuilder b(3);
  const Bytes data = PatternBytes(3072, 5);
  b.WriteBytes(BlockAt(2, 390), data);  // blocks 390 and 391, up to the next directory
  b.SetSlot(2, 0, MakeEntry(0, "EDGE", "", 0, 24, {390, 391}));
  Save(b);
  EXPECT_EQ(CopyFile("disk_02\\edge"), 1);
  EXPECT_EQ(OutTree(), (Tree{{"edge", data}}));
}

// 60 entries of one name list more block numbers than a file of the disk's
// own blocks could: the table holds them all, and since the entries list the
// same blocks again the file is damage, refused.
TEST_F(Extract, SixtyEntriesOfOneName) {
  ImageBuilder b(1);
  b.WriteBytes(BlockAt(1, 2), PatternBytes(16384, 7));  // blocks 2..9, listed again by every entry
  for (std::uint8_t e = 0; e < 60; ++e)
    b.SetSlot(1, e, MakeEntry(0, "LOOP", "", e, e == 59 ? 64 : 0x80, {2, 3, 4, 5, 6, 7, 8, 9}));
  Save(b);
  EXPECT_EQ(CopyFile("disk_01\\loop"), 0);
  EXPECT_TRUE(OutTree().empty());
}

// A file's entries are taken by extent number, whatever slots they stand in:
// later extents reuse freed slots. 46 entries, the most the disk's blocks fill.
TEST_F(Extract, EntriesInAnySlotOrderGiveTheSameBytes) {
  constexpr std::uint8_t kEntries = 46;
  const Bytes data = PatternBytes((45 * 128 + 64) * 128, 4);
  std::vector<std::uint8_t> forward(kEntries);
  for (std::uint8_t e = 0; e < kEntries; ++e) forward[e] = e;
  std::vector<std::uint8_t> reverse(forward.rbegin(), forward.rend());
  std::vector<std::uint8_t> shuffled = forward;
  for (std::size_t i = 0; i < shuffled.size(); ++i) std::swap(shuffled[i], shuffled[(i * 17 + 5) % shuffled.size()]);
  const std::pair<const char*, std::vector<std::uint8_t>> orders[] = {
      {"forward", forward}, {"reverse", reverse}, {"shuffled", shuffled}};
  for (const auto& [what, order] : orders) {
    SCOPED_TRACE(what);
    ImageBuilder b(1);
    b.WriteBytes(BlockAt(1, 2), data);  // blocks 2 onward, in file order
    for (std::uint32_t slot = 0; slot < kEntries; ++slot) {
      const std::uint8_t e = order[slot];
      std::vector<std::uint16_t> blocks;
      for (std::uint16_t k = 0; k < 8; ++k) blocks.push_back(static_cast<std::uint16_t>(2 + 8 * e + k));
      b.SetSlot(1, slot + 10, MakeEntry(0, "BIG", "DAT", e, e == kEntries - 1 ? 64 : 0x80, blocks));
    }
    Save(b);
    const hddtest::Listing l = hddtest::ListImage(Image());
    EXPECT_EQ(l.items,
              (std::vector<hddtest::Item>{{"disk_01\\big.dat", 0x20, static_cast<std::uint32_t>(data.size())}}));
    EXPECT_EQ(CopyFile("disk_01\\big.dat"), 1);
    EXPECT_EQ(CopyFolder("disk_01"), 1);
    EXPECT_EQ(OutTree(), (Tree{{"big.dat", data}, {"disk_01/", {}}, {"disk_01/big.dat", data}}));
    fs::remove_all(Out());
    fs::create_directory(Out());
  }
}

// Extents that are not 0 to n, each once, all but the last full, are damage:
// refused, nothing written, also inside a folder.
TEST_F(Extract, ExtentsThatAreNotWholeAreRefused) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> extentRecords;  // per slot
  };
  const Case cases[] = {
      {"a gap", {{0, 0x80}, {2, 10}}},
      {"a repeated extent", {{0, 0x80}, {1, 0x80}, {1, 10}}},
      {"a repeated last extent", {{1, 0x80}, {0, 0x80}, {1, 0x80}}},
      {"no extent 0", {{1, 10}}},
      {"a part that ends before the last", {{0, 10}, {1, 0x80}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImageBuilder b(1);
    b.WriteBytes(BlockAt(1, 100), PatternBytes(3 * 16384, 1));
    std::uint32_t slot = 0;
    for (const auto& [extent, records] : c.extentRecords) {
      std::vector<std::uint16_t> blocks;
      for (std::uint16_t k = 0; k < 8; ++k) blocks.push_back(static_cast<std::uint16_t>(100 + 8 * slot + k));
      b.SetSlot(1, slot++, MakeEntry(3, "BAD", "", extent, records, blocks));
    }
    b.AddFile(1, 0, "GOOD", PatternBytes(300, 2));
    Save(b);
    EXPECT_EQ(CopyFile("disk_01\\user_3\\bad"), 0);
    EXPECT_EQ(CopyFolder("disk_01\\user_3"), 0);
    EXPECT_EQ(CopyFolder("disk_01"), 0);
    EXPECT_EQ(OutTree(), (Tree{{"disk_01/", {}}, {"disk_01/good", Records(300, 2)}})) << c.what;
    fs::remove_all(Out());
    fs::create_directory(Out());
  }
}

TEST_F(Extract, NamesThatAreNoSinglePcNameWriteNothing) {
  ImageBuilder b(1);
  b.SetSlot(1, 10, MakeEntry(0, ".", "", 0, 1, {20}));
  b.SetSlot(1, 11, MakeEntry(0, "..", "", 0, 1, {20}));
  b.SetSlot(1, 12, MakeEntry(0, "A\\B", "", 0, 1, {20}));
  b.SetSlot(1, 13, MakeEntry(0, std::string("A\x01", 2), "", 0, 1, {20}));
  b.SetSlot(1, 14, MakeEntry(0, "OK", "", 0, 1, {20}));
  Save(b);
  EXPECT_EQ(CopyFile("disk_01\\."), 0);
  EXPECT_EQ(CopyFile("disk_01\\.."), 0);
  EXPECT_EQ(CopyFile(std::string("disk_01\\a\x01")), 0);
  EXPECT_TRUE(OutTree().empty());
  // The same names met inside a disk folder fail too; the others are written.
  EXPECT_EQ(CopyFolder("disk_01"), 0);
  EXPECT_EQ(OutTree(), (Tree{{"disk_01/", {}}, {"disk_01/ok", Bytes(128, 0)}}));

  // Called directly, "a\b" is refused as well.
  hdd::DiskDirectory dir;
  HANDLE h = hddtest::OpenImage(Image());
  ASSERT_TRUE(hdd::ReadDiskDirectory(h, 1, dir));
  hdd::ImageInfo info;
  ASSERT_TRUE(hdd::ReadImageInfo(h, info));
  const fs::path before = fs::current_path();
  fs::current_path(Out());
  EXPECT_EQ(hdd::ExtractFile(h, info, dir, 1, 0, "a\\b"), 0);
  EXPECT_EQ(hdd::ExtractFile(h, info, dir, 1, 0, "a/b"), 0);
  fs::current_path(before);
  CloseHandle(h);
  EXPECT_EQ(OutTree().size(), 2u);
}

// A disk with user-0 files, user areas, files of full entries only, a
// folder marker and a user value above 15.
ImageBuilder FolderImage() {
  ImageBuilder b(2);
  b.SetSlot(1, 0, MakeEntry(0x10, "", "", 0, 0));
  b.AddFile(1, 0, "ONE.TXT", PatternBytes(1000, 1));
  b.AddFile(1, 3, "A.DAT", PatternBytes(20000, 2));
  b.AddFile(1, 0, "TWO.TXT", PatternBytes(40000, 3));
  b.AddFile(1, 3, "B.DAT", PatternBytes(10, 4));
  b.AddFile(1, 15, "F.BIN", PatternBytes(2049, 5));
  b.AddFile(1, 0x41, "HIGH.TXT", PatternBytes(100, 6));
  // 16 KB each, written as cpmtools writes them: one full entry and no further one.
  b.AddFile(1, 0, "PART", PatternBytes(16384, 8), hddtest::Layout::CpmTools);
  b.AddFile(1, 5, "PART", PatternBytes(16384, 9), hddtest::Layout::CpmTools);
  b.AddFile(2, 0, "OTHER", PatternBytes(10, 7));
  return b;
}

Tree FolderTree(const std::string& top) {
  return Tree{{top + "/", {}},
              {top + "/one.txt", Records(1000, 1)},
              {top + "/part", PatternBytes(16384, 8)},
              {top + "/two.txt", Records(40000, 3)},
              {top + "/user_3/", {}},
              {top + "/user_3/a.dat", Records(20000, 2)},
              {top + "/user_3/b.dat", Records(10, 4)},
              {top + "/user_5/", {}},
              {top + "/user_5/part", PatternBytes(16384, 9)},
              {top + "/user_f/", {}},
              {top + "/user_f/f.bin", Records(2049, 5)}};
}

TEST_F(Extract, DiskFolderHoldsUserZeroFilesAndUserAreas) {
  Save(FolderImage());
  EXPECT_EQ(CopyFolder("DISK_01"), 1);
  EXPECT_EQ(OutTree(), FolderTree("disk_01"));
}

TEST_F(Extract, DiskFolderTriesEveryFileAndFailsIfOneFails) {
  Save(FolderImage());
  fs::create_directories(Out() + "/disk_01/user_3");
  std::ofstream(Out() + "/disk_01/user_3/a.dat") << "x";
  EXPECT_EQ(CopyFolder("disk_01"), 0);
  Tree expected = FolderTree("disk_01");
  expected["disk_01/user_3/a.dat"] = Bytes{'x'};
  expected.erase("disk_01/user_3/b.dat");  // the user area stops at its first failure
  EXPECT_EQ(OutTree(), expected);
}

TEST_F(Extract, UserAreaStopsAtItsFirstFailure) {
  ImageBuilder b(1);
  b.AddFile(1, 3, "A", Records(10, 1));
  b.AddFile(1, 3, "B", Records(10, 2));
  b.AddFile(1, 3, "C", Records(10, 3));
  b.AddFile(1, 4, "D", Records(10, 4));
  Save(b);
  fs::create_directory(Out() + "/user_3");
  std::ofstream(Out() + "/user_3/b") << "x";
  EXPECT_EQ(CopyFolder("disk_01\\user_3"), 0);
  EXPECT_EQ(OutTree(), (Tree{{"user_3/", {}}, {"user_3/a", Records(10, 1)}, {"user_3/b", Bytes{'x'}}}));
  EXPECT_EQ(CopyFolder("disk_01\\user_4"), 1);
  EXPECT_EQ(OutTree().at("user_4/d"), Records(10, 4));
}

TEST_F(Extract, WorkingDirectoryLongerThanMaxPathStaysCurrent) {
  Save(FolderImage());
  std::string deep = Out();
  while (deep.size() <= 300) {
    deep += "/" + std::string(50, 'p');
    fs::create_directory(deep);
  }
  EXPECT_EQ(hddtest::CopyOut(Image(), "disk_01", Kind::Folder, deep), 1);  // CopyOut checks the directory
  EXPECT_EQ(hddtest::ReadTree(deep), FolderTree("disk_01"));
  EXPECT_EQ(hddtest::CopyOut(Image(), "disk_01", Kind::Folder, deep), 0);  // the files exist now
}

// Injected faults, in the module's own copy of the platform layer.
TEST_F(Extract, DiskFullInsideTheSecondFile) {
  ImageBuilder b(1);
  b.AddFile(1, 0, "FIRST", PatternBytes(3000, 1));
  b.AddFile(1, 0, "SECOND", PatternBytes(100000, 2));  // written as two runs of blocks
  b.AddFile(1, 0, "THIRD", PatternBytes(5000, 3));
  Save(b);
  {
    hddtest::FaultScope faults("write-fail-call=3,run=disk-full,under=" + Out());
    EXPECT_EQ(CopyFolder("disk_01"), 0);
  }
  EXPECT_EQ(OutTree(),
            (Tree{{"disk_01/", {}}, {"disk_01/first", Records(3000, 1)}, {"disk_01/third", Records(5000, 3)}}));
  fs::remove_all(Out() + "/disk_01");
  {
    hddtest::FaultScope faults("write-full-after=50000,under=" + Out());
    EXPECT_EQ(CopyFile("disk_01\\second"), 0);
  }
  EXPECT_TRUE(OutTree().empty());
}

// The test program and hdd.di each link their own copy of the platform
// layer, and each counts its own calls.
TEST_F(Extract, EachCopyOfTheLayerCountsItsOwnWrites) {
  ImageBuilder b(1);
  b.AddFile(1, 0, "A", PatternBytes(128));
  Save(b);
  hddtest::FaultScope faults("write-fail-call=1,under=" + Out());
  HANDLE own = CreateFileA((Out() + "/own").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(own, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(own, "x", 1, nullptr, nullptr));  // the test's first call
  CloseHandle(own);
  fs::remove(Out() + "/own");
  EXPECT_EQ(CopyFile("disk_01\\a"), 0);  // the module's first call
  EXPECT_TRUE(OutTree().empty());
  EXPECT_EQ(CopyFile("disk_01\\a"), 1);  // its second
}

TEST_F(Extract, DeniedCreationCreatesNothing) {
  Save(FolderImage());
  for (const char* faults : {"deny-create", "deny-mkdir"}) {
    SCOPED_TRACE(faults);
    hddtest::FaultScope scope(std::string(faults) + ",under=" + Out());
    EXPECT_EQ(CopyFile("disk_01\\one.txt"), std::string(faults) == "deny-create" ? 0 : 1);
    fs::remove(Out() + "/one.txt");
    EXPECT_EQ(CopyFolder("disk_01"), 0);
    EXPECT_EQ(CopyFolder("disk_01\\user_3"), 0);
    EXPECT_TRUE(OutTree().empty());
  }
}

// An image cut after its listing was read: nothing to extract, nothing left.
TEST_F(Extract, ImageTruncatedAfterItsListing) {
  ImageBuilder b(2);
  b.AddFile(2, 0, "GONE", PatternBytes(5000));
  Save(b);
  fs::resize_file(Image(), 803840 + 1000);
  EXPECT_EQ(CopyFile("disk_02\\gone"), 0);
  EXPECT_EQ(CopyFolder("disk_02"), 0);
  EXPECT_EQ(CopyFolder("disk_03"), 5);
  EXPECT_TRUE(OutTree().empty());
}

// The module reads disk count and size through the handle it is given, never
// from the last file recognition looked at.
TEST_F(Extract, UsesItsOwnImageAfterRecognitionOfAnother) {
  ImageBuilder a(3);
  a.AddFile(3, 0, "LAST", PatternBytes(700));
  Save(a);
  ImageBuilder other(1);
  other.AddFile(1, 0, "X", PatternBytes(7));
  ASSERT_TRUE(other.Save(dir_.File("other")));
  ASSERT_EQ(hddtest::ModuleIsImage(dir_.File("other")), 1);
  EXPECT_EQ(CopyFile("disk_03\\last"), 1);
  EXPECT_EQ(OutTree(), (Tree{{"last", Records(700)}}));
}

}  // namespace
