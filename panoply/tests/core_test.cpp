// The plug-in's shared services tested in-process, with our host attached to the
// plug-in's own entry points.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "panoply/messages.h"
#include "panoply/names.h"
#include "panoply/settings.h"
#include "panoply/state.h"
#include "platform/registry.h"
#include "test_support.h"

#include "inprocess.h"

using namespace panoply;
using testsupport::TempDir;

namespace {

// A plug-in "file" in a private folder with a language file giving every message the
// text "m<N>", so recorded boxes show which numbers were used.
class CoreTest : public testing::Test {
 protected:
  void SetUp() override {
    h = StartInProcess(dir, script, log,
                       "51=%d items\n1999=last number\n1000=%d {item|items}\n"
                       "1001=Копировать %d {элемент|элемента|элементов} в:\n1002=%d {a|b|c|d} {x}\n");
    ASSERT_NE(h, nullptr);
  }
  void TearDown() override {
    h.reset();
    platform::SetRegistryStorePath("");
  }
  TempDir dir;
  host::ScriptedResponder script{false};
  host::Recorder log;
  std::unique_ptr<host::Host> h;
};

TEST_F(CoreTest, InitDialogItemsTakesMessageNumbersBelow2000AndTextsOtherwise) {
  static const char text[] = "a text of its own";
  const DialogItemInit inits[] = {
      {DI_TEXT, 1, 2, 3, 4, 1, 7, DIF_BOXCOLOR, 1, 1999},
      {DI_EDIT, 5, 6, 7, 8, 0, TextData("Hist"), DIF_HISTORY, 0, TextData(text)},
      {DI_TEXT, 0, 0, 0, 0, 0, 0, 0, 0, 12},
  };
  FarDialogItem items[3];
  std::memset(items, 0x55, sizeof items);
  InitDialogItems(inits, items, 3);
  const host::DialogItemRecord first = host::RecordOf(items[0]);
  EXPECT_EQ(first, (host::DialogItemRecord{DI_TEXT, 1, 2, 3, 4, 1, 7, "", DIF_BOXCOLOR, 1, "last number"}));
  EXPECT_STREQ(items[1].Data, text);
  EXPECT_STREQ(items[1].History, "Hist");
  EXPECT_STREQ(items[2].Data, "m12");

  // A text longer than the 512-byte field is cut and terminated.
  const std::string longText(2000, 'x');
  const DialogItemInit big = {DI_TEXT, 0, 0, 0, 0, 0, 0, 0, 0, TextData(longText.c_str())};
  InitDialogItems(&big, items, 1);
  EXPECT_EQ(std::strlen(items[0].Data), sizeof items[0].Data - 1);
}

TEST_F(CoreTest, MessageBoxesCarryTheirFlagsLinesAndButtons) {
  PluginPanelItem folder{}, file{};
  std::strcpy(folder.FindData.cFileName, "DIR");
  folder.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  std::strcpy(file.FindData.cFileName, "F.TXT");
  PluginPanelItem two[2] = {file, file};
  PanelInfo oneFolder{}, several{};
  oneFolder.SelectedItems = &folder;
  oneFolder.SelectedItemsNumber = 1;
  several.SelectedItems = two;
  several.SelectedItemsNumber = 2;

  struct Case {
    const char* name;
    std::function<void()> show;
    unsigned flags;
    std::vector<std::string> lines;
    int buttons;
  } cases[] = {
      {"unsupported", [] { ShowModuleUnsupported(); }, 1, {"m15", "m39", "m11"}, 1},
      {"copy file", [] { ShowCopyFailed("a\\b", 0x20); }, 9, {"m15", "m40", "a\\b", "m5"}, 1},
      {"copy folder", [] { ShowCopyFailed("a", 0x10); }, 9, {"m15", "m41", "a", "m5"}, 1},
      {"open", [] { ShowOpenFailed("img"); }, 9, {"m15", "m45", "img", "m5"}, 1},
      {"create", [] { ShowCreateFailed("new"); }, 9, {"m15", "m42", "new", "m5"}, 1},
      {"delete file", [] { ShowDeleteFailed("f", 0); }, 9, {"m15", "m43", "f", "m5"}, 1},
      {"delete folder", [] { ShowDeleteFailed("d", 0x10); }, 9, {"m15", "m44", "d", "m5"}, 1},
      {"confirm folder", [&] { ConfirmDelete(oneFolder); }, 0, {"m46", "m50", "DIR", "m7", "m1"}, 2},
      {"confirm several", [&] { ConfirmDelete(several); }, 0, {"m46", "m49", "2 items", "m7", "m1"}, 2},
      {"deleting", [] { ShowDeleting("x\\y"); }, 0, {"m46", "m52", "x\\y"}, 0},
      {"archived", [] { AskDeleteArchived(3); }, 13, {"m47", "m49", "3 items", "m3", "m2"}, 2},
      {"folder query", [] { AskDeleteFolder("p"); }, 13, {"m48", "m53", "p", "m8", "m3", "m9", "m2"}, 4},
      {"file exist", [] { ShowFileExist("FileExist"); }, 9, {"m15", "m57", "FileExist", "m1"}, 1},
      {"list error", [] { ShowListError(30); }, 1, {"m15", "m30", "m0"}, 1},
  };
  for (const auto& c : cases) {
    log.Clear();
    c.show();
    ASSERT_EQ(log.messages.size(), 1u) << c.name;
    EXPECT_EQ(log.messages[0].flags, c.flags) << c.name;
    EXPECT_EQ(log.messages[0].lines, c.lines) << c.name;
    EXPECT_EQ(log.messages[0].buttons, c.buttons) << c.name;
    EXPECT_EQ(log.messages[0].helpTopic, "") << c.name;
  }
}

TEST_F(CoreTest, QueriesReturnTheChosenButton) {
  PanelInfo none{};
  script.Push(host::Answer::Button(0));
  EXPECT_TRUE(ConfirmDelete(none));
  script.Push(host::Answer::Button(1));
  EXPECT_FALSE(ConfirmDelete(none));
  script.Push(host::Answer::Button(-1));
  EXPECT_FALSE(ConfirmDelete(none));
  script.Push(host::Answer::Button(2));
  EXPECT_EQ(AskDeleteFolder("p"), 2);
  script.Push(host::Answer::Button(-1));
  EXPECT_EQ(AskDeleteArchived(2), -1);
}

TEST(Names, PathHelpers) {
  struct {
    const char* path;
    const char* name;
  } points[] = {
      {"C:\\dir\\file.img", "file.img"},
      {"/home/u/x.hdd", "x.hdd"},
      {"a:b", "b"},
      {"plain", "plain"},
      {"dir\\", ""},
      {"", ""},
  };
  for (const auto& p : points) EXPECT_STREQ(PointToName(p.path), p.name) << p.path;

  struct {
    const char* in;
    const char* out;
  } slashes[] = {{"", "\\"}, {"a", "a\\"}, {"a\\", "a\\"}};
  for (const auto& s : slashes) {
    char buf[8];
    std::strcpy(buf, s.in);
    EXPECT_TRUE(AddBackslash(buf, sizeof buf));
    EXPECT_STREQ(buf, s.out);
  }
  char full[4] = "abc";
  EXPECT_FALSE(AddBackslash(full, sizeof full));
  EXPECT_STREQ(full, "abc");

  struct {
    const char* dir;
    const char* name;
    const char* out;
  } joins[] = {
      {"", "f.txt", "f.txt"},
      {"disk_01", "f.txt", "disk_01\\f.txt"},
      {"a\\b", "c", "a\\b\\c"},
  };
  for (const auto& j : joins) {
    char out[260];
    EXPECT_TRUE(JoinImagePath(out, sizeof out, j.dir, j.name));
    EXPECT_STREQ(out, j.out);
  }
  // A path that does not fit fails whole instead of naming a cut, other item.
  const std::string dir(200, 'd'), name(59, 'n');
  char out[260];
  EXPECT_TRUE(JoinImagePath(out, sizeof out, dir.c_str(), std::string(58, 'n').c_str()));
  EXPECT_FALSE(JoinImagePath(out, sizeof out, dir.c_str(), name.c_str()));
  EXPECT_STREQ(out, "");

  struct {
    const char* in;
    int pos, n;
    const char* out;
  } removes[] = {
      {"abcdef", 1, 2, "adef"}, {"abcdef", 4, 10, "abcd"}, {"abc", 3, 1, "abc"},
      {"abc", 9, 1, "abc"},     {"abc", 0, 0, "abc"},      {"abc", -1, 2, "abc"},
  };
  for (const auto& r : removes) {
    char buf[16];
    std::strcpy(buf, r.in);
    RemoveChars(buf, r.pos, r.n);
    EXPECT_STREQ(buf, r.out) << r.in << " " << r.pos << " " << r.n;
  }
}

// CopyText into a buffer of 8 bytes followed by a guard byte: texts of 7, 8 and 9
// bytes (size - 1, size, size + 1), and the edges around them.
TEST(Names, CopyTextStaysInsideTheBuffer) {
  struct Case {
    const char* text;
    const char* out;
    bool whole;
  } cases[] = {
      {"", "", true},
      {"abcdefg", "abcdefg", true},     // size - 1: fits with its terminator
      {"abcdefgh", "abcdefg", false},   // size: cut by one
      {"abcdefghi", "abcdefg", false},  // size + 1
      {nullptr, "", true},
  };
  for (const Case& c : cases) {
    char buf[9];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(CopyText(buf, 8, c.text), c.whole) << (c.text ? c.text : "null");
    EXPECT_STREQ(buf, c.out);
    EXPECT_EQ(buf[8], '#') << "byte after the buffer written for " << (c.text ? c.text : "null");
  }
  char one[2] = {'#', '#'};
  EXPECT_FALSE(CopyText(one, 1, "x"));
  EXPECT_EQ(one[0], 0);
  EXPECT_EQ(one[1], '#');
}

TEST(Names, CompareOemNamesAndMixedCase) {
  struct {
    const char* a;
    const char* b;
    int n;
    int result;
  } compares[] = {
      {"DISK_01", "disk_01", 7, 0},
      {"disk_01\\x", "disk_01", 7, 0},  // only n characters count
      {"disk_01", "disk_02", 7, -1},
      {"b", "a", 1, 1},
      {"ab", "abc", 3, -1},                            // a shorter name sorts first
      {"\x8F\x90\x88", "\xAF\xE0\xA8", 3, 0},          // ПРИ and при in CP866
      {"\xF0\xAB\xAA\xA0", "\xF1\xAB\xAA\xA0", 4, 0},  // Ёлка and ёлка
      {"\x80", "\x81", 1, -1},                         // А before Б
  };
  for (const auto& c : compares) EXPECT_EQ(CompareOemNames(c.a, c.b, c.n), c.result) << c.a << " " << c.b;
  const std::string longA(8191, 'A'), longB(8191, 'a');
  EXPECT_EQ(CompareOemNames(longA.c_str(), longB.c_str(), 8191), 0);

  struct {
    const char* text;
    int mixed;
  } mixes[] = {
      {"README.TXT", 0}, {"Readme", 1}, {"12-3.", 0}, {"readMe", 1}, {"1abc", 0}, {"\xC0\xE1", 1},
  };
  for (const auto& m : mixes) EXPECT_EQ(HasMixedCase(m.text), m.mixed) << m.text;
}

// A count picks its form: two forms as English counts, three as Russian counts.
TEST_F(CoreTest, CountsTakeTheirPluralForms) {
  struct Case {
    int message, count;
    const char* text;
  };
  const Case cases[] = {
      {1000, 1, "1 item"},
      {1000, 0, "0 items"},
      {1000, 2, "2 items"},
      {1000, 21, "21 items"},
      {1001, 1, "Копировать 1 элемент в:"},
      {1001, 2, "Копировать 2 элемента в:"},
      {1001, 4, "Копировать 4 элемента в:"},
      {1001, 5, "Копировать 5 элементов в:"},
      {1001, 11, "Копировать 11 элементов в:"},
      {1001, 12, "Копировать 12 элементов в:"},
      {1001, 14, "Копировать 14 элементов в:"},
      {1001, 21, "Копировать 21 элемент в:"},
      {1001, 22, "Копировать 22 элемента в:"},
      {1001, 25, "Копировать 25 элементов в:"},
      {1001, 111, "Копировать 111 элементов в:"},
      {1001, 192, "Копировать 192 элемента в:"},
      {1002, 3, "3 {a|b|c|d} {x}"},  // braces that are no group of forms stay
      {51, 7, "7 items"},            // a text without forms
  };
  for (const Case& c : cases) EXPECT_EQ(FormatCount(c.message, c.count), c.text) << c.message << " " << c.count;
}

TEST_F(CoreTest, AShortStartUpRecordIsReadOnlyAsFarAsItGoes) {
  // A host record that ends before the services: nothing past it is read or called.
  const size_t size = offsetof(PluginStartupInfo, GetMsg);
  auto* bytes = static_cast<unsigned char*>(std::malloc(size));
  ASSERT_NE(bytes, nullptr);
  std::memcpy(bytes, &h->startupInfo(), size);
  const int structSize = static_cast<int>(size);
  std::memcpy(bytes + offsetof(PluginStartupInfo, StructSize), &structSize, sizeof structSize);
  SetStartupInfo(reinterpret_cast<const PluginStartupInfo*>(bytes));
  std::free(bytes);
  PluginInfo info{};
  GetPluginInfo(&info);
  ASSERT_EQ(info.PluginMenuStringsNumber, 1);
  EXPECT_STREQ(info.PluginMenuStrings[0], "");
  EXPECT_EQ(Configure(0), 0);
  ShowModuleUnsupported();
  EXPECT_TRUE(log.dialogs.empty());
  EXPECT_TRUE(log.messages.empty());
}

TEST_F(CoreTest, StringSettingsAreAlwaysTerminated) {
  // A stored text that fills the reader's buffer exactly, and one without terminator.
  WriteRegistryString(HKEY_CURRENT_USER, "", "Full", "abcdefgh");  // 9 bytes with terminator
  HKEY key = CreateSettingsKey(HKEY_CURRENT_USER, "");
  ASSERT_NE(key, nullptr);
  RegSetValueExA(key, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("wxyz"), 4);
  RegCloseKey(key);
  char buf[9];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "", "Full", buf, "dflt", sizeof buf), 1);
  EXPECT_STREQ(buf, "abcdefgh");
  char four[4];
  std::memset(four, '#', sizeof four);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "", "Raw", four, "d", sizeof four), 1);
  EXPECT_STREQ(four, "wxy");
  char more[8];
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "", "Full", more, "default-too-long", sizeof more), 0);
  EXPECT_STREQ(more, "default");
  EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, "", "Nothing", 77u), 77u);
  EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, "Sub", "Nothing", 5u), 5u);
}

TEST(KeyName, ALongRootKeyIsCutAndTheNameStillEndsInPanoply) {
  BuildKeyName("Software\\Host");
  EXPECT_STREQ(State().keyName, "Software\\Host\\Panoply");
  const std::string fits(80 - 1 - 8, 'k'), tooLong(300, 'k');
  BuildKeyName(fits.c_str());
  EXPECT_EQ(std::string(State().keyName), fits + "\\Panoply");
  BuildKeyName(tooLong.c_str());
  EXPECT_EQ(std::string(State().keyName), fits + "\\Panoply");
  BuildKeyName(nullptr);
  EXPECT_STREQ(State().keyName, "");
  EXPECT_EQ(OpenSettingsKey(HKEY_CURRENT_USER, ""), nullptr);
  EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, "", "Protect", 1u), 1u);
}

}  // namespace
