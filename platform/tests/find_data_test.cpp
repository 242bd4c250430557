// The find data that a listing, the panel's record of its image and a PC file handed to the
// plug-in all get from one function.
#include "platform/find_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(FillFindData, AttributesSizeAndName) {
  TempFolder dir;
  std::ofstream(dir.File("file")) << "12345";
  std::ofstream(dir.File("protected")) << "12";
  ::chmod(dir.File("protected").c_str(), 0444);
  fs::create_directory(dir.path() / "folder");
  fs::create_symlink("nowhere", dir.path() / "dangling");
  const struct {
    const char* name;
    DWORD attributes;
    DWORD size;
  } cases[] = {
      {"file", FILE_ATTRIBUTE_ARCHIVE, 5},
      {"protected", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, 2},
      {"folder", FILE_ATTRIBUTE_DIRECTORY, 0},
  };
  for (const auto& c : cases) {
    WIN32_FIND_DATAA data;
    std::memset(&data, 0x5A, sizeof data);
    ASSERT_TRUE(platform::FillFindData(dir.File(c.name), c.name, data)) << c.name;
    EXPECT_EQ(data.dwFileAttributes, c.attributes) << c.name;
    EXPECT_EQ(data.nFileSizeLow, c.size) << c.name;
    EXPECT_EQ(data.nFileSizeHigh, 0u) << c.name;
    EXPECT_STREQ(data.cFileName, c.name);
    EXPECT_EQ(data.cAlternateFileName[0], '\0') << "cleared";
  }
  WIN32_FIND_DATAA data;
  EXPECT_EQ(platform::FillFindData(dir.File("dangling"), "dangling", data).error(), ENOENT);
  EXPECT_TRUE(platform::FillFindData(dir.File("dangling"), "dangling", data, true));
  EXPECT_EQ(platform::FillFindData(dir.File("file"), std::string(MAX_PATH, 'n'), data).error(), ENAMETOOLONG);
  EXPECT_TRUE(platform::FillFindData(dir.File("file"), std::string(MAX_PATH - 1, 'n'), data));
}

}  // namespace
