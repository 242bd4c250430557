// The exchange records keep the host's 2-byte-packed layout with 64-bit pointers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "formatmodule/interface.h"

namespace {

TEST(Records, SizesAndOffsets) {
  struct Field {
    const char* name;
    std::size_t offset, expected;
  };
  const Field fields[] = {
      {"FindData.dwFileAttributes", offsetof(WIN32_FIND_DATA, dwFileAttributes), 0},
      {"FindData.ftLastWriteTime", offsetof(WIN32_FIND_DATA, ftLastWriteTime), 20},
      {"FindData.nFileSizeHigh", offsetof(WIN32_FIND_DATA, nFileSizeHigh), 28},
      {"FindData.nFileSizeLow", offsetof(WIN32_FIND_DATA, nFileSizeLow), 32},
      {"FindData.cFileName", offsetof(WIN32_FIND_DATA, cFileName), 44},
      {"FindData.cAlternateFileName", offsetof(WIN32_FIND_DATA, cAlternateFileName), 304},
      {"FindData", offsetof(PluginPanelItem, FindData), 0},
      {"PackSize", offsetof(PluginPanelItem, PackSize), 322},
      {"Flags", offsetof(PluginPanelItem, Flags), 326},
      {"Description", offsetof(PluginPanelItem, Description), 334},
  };
  for (const Field& f : fields) EXPECT_EQ(f.offset, f.expected) << f.name;
  EXPECT_EQ(sizeof(FILETIME), 8u);
  EXPECT_EQ(sizeof(WIN32_FIND_DATA), 318u);
  EXPECT_EQ(sizeof(PluginPanelItem), 366u);
  EXPECT_EQ(sizeof(((WIN32_FIND_DATA*)nullptr)->cFileName), 260u);
  EXPECT_EQ(sizeof(((WIN32_FIND_DATA*)nullptr)->cAlternateFileName), 14u);
  // Arrays of records have no gaps: the host walks them by 366 bytes.
  PluginPanelItem items[2];
  EXPECT_EQ(reinterpret_cast<char*>(&items[1]) - reinterpret_cast<char*>(&items[0]), 366);
}

TEST(Records, FieldsLandOnTheirBytes) {
  PluginPanelItem item;
  std::memset(&item, 0, sizeof item);
  item.FindData.dwFileAttributes = 0x11223344;
  item.FindData.nFileSizeLow = 0x55667788;
  item.FindData.ftLastWriteTime = {0x01020304, 0x05060708};
  std::strcpy(item.FindData.cFileName, "disk_01\\a.txt");
  item.PackSize = 0xAABBCCDD;
  item.Flags = 0x0000EEFF;
  unsigned char raw[366];
  std::memcpy(raw, &item, sizeof raw);
  const unsigned char attr[] = {0x44, 0x33, 0x22, 0x11};
  const unsigned char time[] = {0x04, 0x03, 0x02, 0x01, 0x08, 0x07, 0x06, 0x05};
  const unsigned char size[] = {0x88, 0x77, 0x66, 0x55};
  const unsigned char pack[] = {0xDD, 0xCC, 0xBB, 0xAA, 0xFF, 0xEE, 0x00, 0x00};
  EXPECT_EQ(std::memcmp(raw + 0, attr, 4), 0);
  EXPECT_EQ(std::memcmp(raw + 20, time, 8), 0);
  EXPECT_EQ(std::memcmp(raw + 32, size, 4), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(raw + 44)), "disk_01\\a.txt");
  EXPECT_EQ(std::memcmp(raw + 322, pack, 8), 0);
}

TEST(Interface, BindingOrder) {
  const std::string expected[] = {"IsImage",  "ImgPrepare",   "GetImgItem", "GetFormatName",   "CopyFromPC",
                                  "CopyToPC", "MakeNewImage", "DelFile",    "FileExistOnImage"};
  ASSERT_EQ(static_cast<int>(EP_Count), 9);
  for (int i = 0; i < EP_Count; ++i) EXPECT_EQ(kEntryPointNames[i], expected[i]) << i;
}

}  // namespace
