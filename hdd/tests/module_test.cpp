// The deliverable: its exports and the operations it does not support.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "hddtest/image_builder.h"
#include "hddtest/test_support.h"
#include "platform/files.h"

namespace {

TEST(Module, LoadsByPathAndBindsAllNineNames) {
  HMODULE lib = LoadLibraryA(hddtest::ModulePath().c_str());
  ASSERT_NE(lib, nullptr);
  for (const char* name : kEntryPointNames) EXPECT_NE(GetProcAddress(lib, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(lib, "BuildEntryName"), nullptr);
  EXPECT_TRUE(FreeLibrary(lib));
  EXPECT_EQ(hddtest::ModulePath().substr(hddtest::ModulePath().size() - 7), "/hdd.di");
}

TEST(Module, ExportsExactlyTheNineEntryPoints) {
  if (std::system("command -v nm >/dev/null 2>&1") != 0) GTEST_SKIP() << "nm is not installed";
  const std::string cmd = "nm -D --defined-only '" + hddtest::ModulePath() + "'";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, p)) {
    char addr[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", addr, type, name) == 3) names.insert(name);
  }
  ASSERT_EQ(pclose(p), 0);
  const std::set<std::string> expected(std::begin(kEntryPointNames), std::end(kEntryPointNames));
  EXPECT_EQ(names, expected);
}

TEST(Module, UnsupportedOperationsReturnTwoAndTouchNothing) {
  hddtest::TempDir dir;
  hddtest::ImageBuilder b(1);
  b.AddFile(1, 0, "KEEP.TXT", hddtest::PatternBytes(3000));
  ASSERT_TRUE(b.Save(dir.File("img")));
  const hddtest::Bytes before = hddtest::ReadWholeFile(dir.File("img"));
  {
    FILE* f = std::fopen(dir.File("pc.txt").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("pc file", f);
    std::fclose(f);
  }

  HANDLE image = hddtest::OpenImage(dir.File("img"));
  ASSERT_NE(image, INVALID_HANDLE_VALUE);
  ASSERT_NE(SetFilePointer(image, 100, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  PluginPanelItem pcItem{};
  std::strcpy(pcItem.FindData.cFileName, "pc.txt");
  pcItem.FindData.nFileSizeLow = 7;
  EXPECT_EQ(hddtest::Module().copyFromPC(dir.File("pc.txt").c_str(), image, pcItem, "", 1), 2);
  EXPECT_EQ(hddtest::Module().fileExistOnImage(image, pcItem.FindData, "disk_01"), 2);
  EXPECT_EQ(SetFilePointer(image, 0, nullptr, FILE_CURRENT), 100u);  // the file pointer did not move
  CloseHandle(image);
  EXPECT_EQ(hddtest::ReadWholeFile(dir.File("img")), before);

  HANDLE fresh =
      CreateFileA(dir.File("new.hdd").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
  EXPECT_EQ(hddtest::Module().makeNewImage(fresh), 2);
  CloseHandle(fresh);
  EXPECT_TRUE(hddtest::ReadWholeFile(dir.File("new.hdd")).empty());
}

}  // namespace
