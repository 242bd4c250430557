// The registry store, the code-page services and the replaceable clock.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/tick.h"
#include "test_support.h"

using testsupport::TempDir;

namespace {

class RegistryStore : public testing::Test {
 protected:
  void SetUp() override { platform::SetRegistryStorePath(dir / "sub/registry.txt"); }
  void TearDown() override { platform::SetRegistryStorePath(""); }
  HKEY Create(const char* path, REGSAM access = KEY_WRITE | KEY_QUERY_VALUE) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                              &disposition),
              kRegSuccess);
    return key;
  }
  TempDir dir;
};

TEST_F(RegistryStore, ValuesRoundTripWithTheirTypeAndBytes) {
  HKEY key = Create("Software\\Test\\Panoply");
  const uint32_t d = 0xDEADBEEF;
  ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&d), 4), kRegSuccess);
  // Every 8-bit byte survives, the terminator is stored with the text.
  std::string text;
  for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
  ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1)),
            kRegSuccess);
  RegCloseKey(key);

  HKEY read = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\TEST\\panoply", 0, KEY_QUERY_VALUE, &read), kRegSuccess);
  uint32_t got = 0;
  DWORD type = 0, size = 4;
  ASSERT_EQ(RegQueryValueExA(read, "NUMBER", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size), kRegSuccess);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(got, d);
  char buf[300] = {};
  size = sizeof buf;
  ASSERT_EQ(RegQueryValueExA(read, "text", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), kRegSuccess);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, text.size() + 1);
  EXPECT_EQ(std::string(buf), text);
  RegCloseKey(read);
}

TEST_F(RegistryStore, MissingKeysValuesAndShortBuffersAnswerAsWin32) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_QUERY_VALUE, &key), kRegFileNotFound);
  EXPECT_EQ(key, nullptr);

  key = Create("Software\\A\\B");
  const char text[] = "hello";
  ASSERT_EQ(RegSetValueExA(key, "S", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6), kRegSuccess);
  DWORD type = 0, size = 4;
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(RegQueryValueExA(key, "S", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), kRegMoreData);
  EXPECT_EQ(size, 6u);  // the size needed
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "S", nullptr, &type, nullptr, &size), kRegSuccess);
  EXPECT_EQ(size, 6u);
  size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), kRegFileNotFound);
  RegCloseKey(key);

  // A parent of a created key exists; a key opened for reading cannot be written.
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\a", 0, KEY_QUERY_VALUE, &parent), kRegSuccess);
  EXPECT_EQ(RegSetValueExA(parent, "X", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6), kRegAccessDenied);
  RegCloseKey(parent);
}

TEST_F(RegistryStore, NamesDifferingInCaseNameOneValueAndRewritesAreAtomic) {
  HKEY key = Create("Software\\Case");
  const uint32_t one = 1, two = 2;
  RegSetValueExA(key, "Protect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
  RegSetValueExA(key, "PROTECT", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4);
  RegCloseKey(key);
  HKEY again = Create("SOFTWARE\\case");
  RegCloseKey(again);

  const std::string file = testsupport::ReadFile(dir / "sub/registry.txt");
  size_t keys = 0, values = 0;
  for (size_t p = 0; (p = file.find("[HKEY", p)) != std::string::npos; ++p) ++keys;
  for (size_t p = 0; (p = file.find("\"=dword:", p)) != std::string::npos; ++p) ++values;
  EXPECT_EQ(keys, 1u);
  EXPECT_EQ(values, 1u);
  EXPECT_NE(file.find("dword:00000002"), std::string::npos);
  // Only the store itself is left in its folder: the temporary file was renamed over it.
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path() / "sub")) ++entries;
  EXPECT_EQ(entries, 1u);

  // A store that cannot be rewritten keeps its old contents.
  std::filesystem::permissions(dir.path() / "sub",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (::geteuid() != 0) {  // root writes anyway
    HKEY k = Create("Software\\Case");
    const uint32_t three = 3;
    EXPECT_NE(RegSetValueExA(k, "Protect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&three), 4), kRegSuccess);
    RegCloseKey(k);
    EXPECT_EQ(testsupport::ReadFile(dir / "sub/registry.txt"), file);
  }
  std::filesystem::permissions(dir.path() / "sub", std::filesystem::perms::owner_all);

  // A store that cannot be read is not rewritten (its keys would be lost).
  std::filesystem::permissions(dir.path() / "sub/registry.txt", std::filesystem::perms::none);
  if (::geteuid() != 0) {
    HKEY k = nullptr;
    DWORD disposition = 0;
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Other", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &k, &disposition),
              kRegSuccess);
  }
  std::filesystem::permissions(dir.path() / "sub/registry.txt",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(testsupport::ReadFile(dir / "sub/registry.txt"), file);
}

TEST(CodePage, OemTableIsAPermutationWithExactLetters) {
  std::set<int> images;
  for (int c = 0; c < 256; ++c) images.insert(platform::OemToAnsiByte(static_cast<unsigned char>(c)));
  EXPECT_EQ(images.size(), 256u);
  struct Case {
    unsigned char oem, ansi;
  } cases[] = {
      {'A', 'A'},         {0x80, 0xC0} /*А*/, {0x9F, 0xDF} /*Я*/, {0xA0, 0xE0} /*а*/, {0xAF, 0xEF} /*п*/,
      {0xE0, 0xF0} /*р*/, {0xEF, 0xFF} /*я*/, {0xF0, 0xA8} /*Ё*/, {0xF1, 0xB8} /*ё*/,
  };
  for (const auto& c : cases) EXPECT_EQ(platform::OemToAnsiByte(c.oem), c.ansi) << int(c.oem);
  char text[] = "\x8F\xE0\xA8\xA2\xA5\xE2 OK";  // "Привет OK" in CP866
  OemToCharA(text, text);
  EXPECT_STREQ(text, "\xCF\xF0\xE8\xE2\xE5\xF2 OK");
}

TEST(CodePage, CaseServicesKnowCyrillicLetters) {
  char text[] = "AbC \xC0\xDF\xA8\xE0 1.";  // "AbC АЯЁа 1."
  CharLowerA(text);
  EXPECT_STREQ(text, "abc \xE0\xFF\xB8\xE0 1.");
  struct Case {
    char c;
    int alpha, lower;
  } cases[] = {
      {'a', 1, 1},    {'Z', 1, 0},    {'1', 0, 0},    {'.', 0, 0},    {'\xC0', 1, 0},
      {'\xFF', 1, 1}, {'\xA8', 1, 0}, {'\xB8', 1, 1}, {'\xB0', 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCharAlphaA(c.c) != 0, c.alpha != 0) << int(static_cast<unsigned char>(c.c));
    EXPECT_EQ(IsCharLowerA(c.c) != 0, c.lower != 0) << int(static_cast<unsigned char>(c.c));
  }
}

uint32_t FixedClock() { return 12345; }

TEST(Tick, TheRealClockCountsWholeMillisecondsAndWraps) {
  using namespace std::chrono;
  struct Case {
    nanoseconds since;
    uint32_t ticks;
  } cases[] = {
      {nanoseconds(999999), 0u},
      {milliseconds(1), 1u},
      {seconds(3) + microseconds(1500), 3001u},
      {milliseconds(4294967295ll), 4294967295u},
      {milliseconds(4294967296ll + 7), 7u},  // 49.7 days: the count starts again
  };
  for (const Case& c : cases) EXPECT_EQ(platform::TicksFromDuration(c.since), c.ticks) << c.since.count();
}

TEST(Tick, ClockCanBeReplacedInProcessAndThroughTheEnvironment) {
  platform::SetTickSource(&FixedClock);
  EXPECT_EQ(GetTickCount(), 12345u);
  platform::SetTickSource(nullptr);
  setenv(platform::kTickStepVariable, "300", 1);
  const uint32_t s0 = GetTickCount(), s1 = GetTickCount();
  unsetenv(platform::kTickStepVariable);
  EXPECT_EQ(s1 - s0, 300u);
}

}  // namespace
