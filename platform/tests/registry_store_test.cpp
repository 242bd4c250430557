// The settings store is written as every save of the tools is (common/replace_file.h, tested
// there): a store that is a symbolic link stays one and keeps its mode, and a protected store
// is left whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/registry.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

LONG SetNumber(uint32_t value) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG r = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Panoply", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                           nullptr, &key, &disposition);
  if (r != kRegSuccess) return r;
  r = RegSetValueExA(key, "Protect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(key);
  return r;
}

TEST(RegistryStore, ALinkStaysALinkWithItsModeAndAProtectedStoreStaysWhole) {
  TempFolder dir;
  fs::create_directory(dir.path() / "real");
  std::ofstream(dir.File("real/store.txt")) << "";
  ::chmod(dir.File("real/store.txt").c_str(), 0600);
  fs::create_symlink("real/store.txt", dir.path() / "registry.txt");
  platform::SetRegistryStorePath(dir.File("registry.txt"));

  ASSERT_EQ(SetNumber(7), kRegSuccess);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "registry.txt"));
  EXPECT_NE(Read(dir.path() / "real/store.txt").find("dword:00000007"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("real/store.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), {}), 1);

  const std::string before = Read(dir.path() / "real/store.txt");
  ::chmod(dir.File("real/store.txt").c_str(), 0444);
  EXPECT_EQ(SetNumber(8), kRegCannotWrite);
  EXPECT_EQ(Read(dir.path() / "real/store.txt"), before);
  platform::SetRegistryStorePath("");
}

}  // namespace
