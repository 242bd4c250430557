// Entry names, sector addressing and sector reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "hdd/hdd_image.h"
#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"
#include "platform/files.h"

using namespace std::literals;

namespace {

std::string NameOf(std::string_view name, std::string_view ext) {
  const hddtest::RawEntry raw = hddtest::MakeEntry(0, name, ext, 0, 1);
  hdd::DirectoryEntry e;
  std::memcpy(&e, raw.data(), sizeof e);
  char dst[hdd::kEntryNameSize];
  std::memset(dst, 'X', sizeof dst);
  hdd::BuildEntryName(e, dst);
  return dst;
}

TEST(BuildEntryName, Cases) {
  struct Case {
    std::string_view name, ext, expected;
  };
  const Case cases[] = {
      {"READ ME", "TXT", "read me.txt"},
      {"A/B", "C/", "a@b.c@"},
      {"", "COM", ".com"},
      {"", "", ""},
      {"NAME", "", "name"},
      {"FILENAME", "EXT", "filename.ext"},  // the longest: 12 characters
      {" LEAD", "X", " lead.x"},            // only trailing blanks are cut
      {"AB\0CD"sv, "T\0X"sv, "ab.t"},       // a zero byte ends name and extension early
      {"\0ABC"sv, "TXT", ".txt"},
      {"\xC1\xE2Z", "\xC4", "\xC1\xE2z.\xC4"},  // bit-7 bytes kept as they stand
      {"az[@`{AZ", "^_~", "az[@`{az.^_~"},      // only A-Z are lowered
  };
  for (const Case& c : cases)
    EXPECT_EQ(NameOf(c.name, c.ext), c.expected) << "name \"" << c.name << "\" ext \"" << c.ext << "\"";
}

TEST(SectorAddressing, MatchesDirectoryRelativeFormula) {
  const std::uint32_t disks[] = {1, 2, 3, 255, 256, 65535};
  const std::uint32_t sectors[] = {0, 1, 4, 5, 9, 10, 11, 99, 743};
  for (std::uint32_t d : disks) {
    for (std::uint32_t n : sectors) {
      std::uint32_t t = 0, s = 0, r = 0;
      hdd::SectorToTrackSide(n, t, s, r);
      EXPECT_GE(r, 1u);
      EXPECT_LE(r, 5u);
      EXPECT_LE(s, 1u);
      const std::uint64_t expected = ((static_cast<std::uint64_t>(d) - 1) * 785 + 41 + n) * 1024;
      EXPECT_EQ(hdd::SectorOffset(d, t, s, r), expected) << "disk " << d << " sector " << n;
    }
  }
  EXPECT_EQ(hdd::SectorOffset(1, 0, 0, 1), 41984u);
  std::uint32_t t = 0, s = 0, r = 0;
  hdd::SectorToTrackSide(11, t, s, r);
  EXPECT_EQ(t, 1u);
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(r, 2u);
  EXPECT_EQ(hdd::SectorOffset(2, t, s, r), 857088u);
  // Above 4 GB the offset must not wrap.
  EXPECT_EQ(hdd::SectorOffset(65535, 0, 0, 1), 65534ull * 803840 + 41984);
}

TEST(ReadSector, ReadsAtOffsetAndZeroFillsBeyondTheEnd) {
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(2);
  b.WriteBytes(857088, hddtest::PatternBytes(1024, 3));
  // Disk 2's sector 20 lies half in the file.
  const std::uint64_t cut = ((785ull + 41 + 20) * 1024) + 100;
  b.WriteBytes(cut - 100, hddtest::Bytes(100, 0x5A));
  b.SetSize(cut);
  ASSERT_TRUE(b.Save(dir.File("img")));
  HANDLE h = hddtest::OpenImage(dir.File("img"));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);

  unsigned char buf[1024];
  std::uint32_t t, s, r;
  hdd::SectorToTrackSide(11, t, s, r);
  EXPECT_EQ(hdd::ReadSector(h, 2, t, s, r, buf), 1024u);
  EXPECT_EQ(hddtest::Bytes(buf, buf + 1024), hddtest::PatternBytes(1024, 3));

  std::memset(buf, 0xFF, sizeof buf);
  hdd::SectorToTrackSide(20, t, s, r);
  EXPECT_EQ(hdd::ReadSector(h, 2, t, s, r, buf), 100u);
  EXPECT_EQ(hddtest::Bytes(buf, buf + 100), hddtest::Bytes(100, 0x5A));
  EXPECT_EQ(hddtest::Bytes(buf + 100, buf + 1024), hddtest::Bytes(924, 0));

  std::memset(buf, 0xFF, sizeof buf);
  hdd::SectorToTrackSide(300, t, s, r);
  EXPECT_EQ(hdd::ReadSector(h, 2, t, s, r, buf), 0u);
  EXPECT_EQ(hddtest::Bytes(buf, buf + 1024), hddtest::Bytes(1024, 0));
  CloseHandle(h);
}

}  // namespace
