// Module table, recognition and the image panel, with fake format modules.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "fake_module.h"
#include "host/host.h"
#include "inprocess.h"
#include "module_fixture.h"
#include "panoply/modules.h"
#include "panoply/panel.h"
#include "panoply/state.h"
#include "platform/registry.h"
#include "platform/tick.h"
#include "test_support.h"

using namespace panoply;
namespace fs = std::filesystem;

namespace {

TEST_F(PanelTest, ModulesLoadInSortedOrderAndFilesThatDoNotLoadAreSkipped) {
  Install("fake_all", "b.di");
  Install("fake_img", "a.di");
  testsupport::WriteFile(dir / "Formats/x.di", "not a library");
  testsupport::WriteFile(dir / "Formats/c.txt", "other");
  Start();
  const FormatModuleTable* t = State().modules;
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->count, 2);
  EXPECT_STREQ(t->records[0].fileName, "a.di");
  EXPECT_STREQ(t->records[1].fileName, "b.di");
  for (int i = 0; i < 2; ++i) EXPECT_NE(t->records[i].FileExistOnImage, nullptr);
  EXPECT_TRUE(script.failures().empty());

  // ExitFAR unloads every module.
  h->Stop();
  EXPECT_EQ(State().modules, nullptr);
  EXPECT_EQ(dlopen((dir / "Formats/a.di").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(PanelTest, MissingExportsLeaveEmptySlotsAndWrappersAnswerZero) {
  const char* entries[] = {"IsImage",  "ImgPrepare",   "GetImgItem", "GetFormatName",   "CopyFromPC",
                           "CopyToPC", "MakeNewImage", "DelFile",    "FileExistOnImage"};
  for (int i = 0; i < 9; ++i) Install(std::string("fake_no_") + entries[i], std::to_string(i) + ".di");
  Start();
  const FormatModuleTable* t = State().modules;
  ASSERT_EQ(t->count, 9);
  for (int i = 0; i < 9; ++i) {
    const FormatModuleRecord& r = t->records[i];
    const void* slots[] = {
        reinterpret_cast<const void*>(r.IsImage),         reinterpret_cast<const void*>(r.ImgPrepare),
        reinterpret_cast<const void*>(r.GetImgItem),      reinterpret_cast<const void*>(r.GetFormatName),
        reinterpret_cast<const void*>(r.CopyFromPC),      reinterpret_cast<const void*>(r.CopyToPC),
        reinterpret_cast<const void*>(r.MakeNewImage),    reinterpret_cast<const void*>(r.DelFile),
        reinterpret_cast<const void*>(r.FileExistOnImage)};
    for (int k = 0; k < 9; ++k) EXPECT_EQ(slots[k] == nullptr, k == i) << "module " << i << " slot " << k;
  }
  for (int i = 0; i < 9; ++i) Fake(std::to_string(i) + ".di")->isImage = 7;
  // Each wrapper: 0 for index -1, past the table and the empty slot; the result otherwise.
  PluginPanelItem item{};
  WIN32_FIND_DATA fd{};
  char path[260] = "p";
  auto call = [&](int entry, int index) {
    char longName[100] = "junk", shortName[128] = "junk";
    switch (entry) {
      case 0: return ModuleIsImage(index, "f", nullptr, 0);
      case 1: return ModuleImgPrepare(index, nullptr);
      case 2: return ModuleGetImgItem(index, nullptr, &item);
      case 3: {
        const int r = ModuleGetFormatName(index, longName, sizeof longName, shortName, sizeof shortName);
        EXPECT_TRUE(r || longName[0] == 0) << "the long name is cleared first";
        return r;
      }
      case 4: return ModuleCopyFromPC(index, "f", nullptr, item, "", 0);
      case 5: return ModuleCopyToPC(index, nullptr, path, item);
      case 6: return ModuleMakeNewImage(index, nullptr);
      case 7: return ModuleDelFile(index, nullptr, path, item);
      default: return ModuleFileExistOnImage(index, nullptr, fd, "");
    }
  };
  for (int e = 0; e < 9; ++e) {
    EXPECT_EQ(call(e, -1), 0) << e;
    EXPECT_EQ(call(e, 9), 0) << e;
    EXPECT_EQ(call(e, e), 0) << e;  // module e lacks entry e
    const int other = (e + 1) % 9;
    const int expected[] = {7, 1, 0, 1, 1, 1, 1, 1, 0};  // the fake's answers
    EXPECT_EQ(call(e, other), expected[e]) << e;
  }
}

TEST_F(PanelTest, RecognitionAsksModulesOfTheExtensionFirst) {
  Install("fake_img", "1.di");               // short IMG, accepts every file
  Install("fake_hdd", "2.di");               // short HDD
  Install("fake_no_IsImage", "3.di");        // never asked
  Install("fake_no_GetFormatName", "4.di");  // only in pass 2
  Start();
  Fake("2.di")->isImage = 1;
  Fake("3.di")->shortName = "NOI";
  Fake("4.di")->isImage = 1;
  struct Case {
    const char* name;
    int module;
  } cases[] = {
      {"/d/a.hdd", 1}, {"/d/a.Hdd", 1}, {"/d/a.img", 0}, {"/d/noext", 0}, {"/d/a.noi", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectImageFormat(c.name, nullptr, 0), c.module) << c.name;

  // Without "." nobody is asked for names: pass 2 only, in table order.
  for (const char* m : {"1.di", "2.di", "4.di"}) Fake(m)->calls.clear();
  Fake("1.di")->isImage = 0;
  EXPECT_EQ(DetectImageFormat("/d/noext", nullptr, 0), 1);
  EXPECT_EQ(Count(Fake("1.di"), "GetFormatName") + Count(Fake("2.di"), "GetFormatName"), 0);
  EXPECT_EQ(Count(Fake("1.di"), "IsImage"), 1);
  EXPECT_EQ(Count(Fake("4.di"), "IsImage"), 0);

  // A module without GetFormatName is chosen in pass 2 when it comes first there.
  Fake("2.di")->isImage = 0;
  EXPECT_EQ(DetectImageFormat("/d/a.hdd", nullptr, 0), 3);
  Fake("4.di")->isImage = 0;
  EXPECT_EQ(DetectImageFormat("/d/a.hdd", nullptr, 0), -1);
}

TEST(HostLoad, ALibraryWithoutThePluginExportsIsRefused) {
  host::Host h;
  std::string error;
  EXPECT_FALSE(h.Load(kFakes + "/fake_all.di", &error));
  EXPECT_NE(error.find("SetStartupInfo"), std::string::npos) << error;
  EXPECT_FALSE(h.Load(kFakes + "/nothing.so", &error));
}

TEST_F(PanelTest, APluginPathWithoutSeparatorGivesNoModules) {
  Install("fake_img", "1.di");
  Start("Panoply.so");
  ASSERT_NE(State().modules, nullptr);
  EXPECT_EQ(State().modules->count, 0);
  EXPECT_FALSE(h->OpenFile(Image("a.img")));
}

TEST_F(PanelTest, DeclinedFilesLeaveNothingBehind) {
  // Before the start-up record.
  EXPECT_EQ(OpenFilePlugin("/x.img", nullptr, 0), kNoPanel);
  Install("fake_all", "1.di");
  Start();
  FakeModuleState* f = Fake("1.di");
  EXPECT_EQ(OpenFilePlugin(nullptr, nullptr, 0), kNoPanel);
  EXPECT_EQ(OpenFilePlugin("", nullptr, 0), kNoPanel);
  EXPECT_FALSE(h->OpenFile(Image("a.fak")));  // nobody accepts
  f->isImage = 1;
  f->prepare = 0;
  EXPECT_FALSE(h->OpenFile(Image("a.fak")));  // ImgPrepare fails
  f->prepare = 1;
  EXPECT_FALSE(h->OpenFile(dir / "missing.fak"));  // cannot be opened
  EXPECT_TRUE(h->OpenFile(Image("a.fak")));
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PanelTest, ItemsAreFixedUpAndShownAsAFolderTree) {
  FakeModuleState* f = StartWithAcceptingModule();
  PluginPanelItem withPointer = FakeItem("p", 5);
  static char text[] = "module text";
  withPointer.Description = text;
  withPointer.Flags = 0x55;
  std::memset(withPointer.Reserved3, 0x77, sizeof withPointer.Reserved3);
  std::strcpy(withPointer.FindData.cAlternateFileName, "ALT");
  f->items = {FakeItem("a\\b\\c", 3), FakeItem("a\\d", 4),    FakeItem("x\\"), FakeItem("/x/y", 6),
              FakeItem(".\\dot"),     FakeItem("..\\dotdot"), FakeItem(""),    FakeItem("Dir1\\f"),
              FakeItem("DIR1\\g"),    FakeItem("a\\", 0, 0),  withPointer,     FakeItem("a", 9)};
  ASSERT_TRUE(h->OpenFile(Image("a.fak")));
  // Every GetImgItem got a cleared record.
  for (const auto& c : f->calls) {
    if (c.entry != "GetImgItem") continue;
    const PluginPanelItem zero{};
    EXPECT_EQ(std::memcmp(&c.item, &zero, sizeof zero), 0);
  }
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"a", "x", "dot", "dotdot", "Dir1", "p", "a"}));
  const PluginPanelItem& a = h->panelItems[0];
  EXPECT_EQ(+a.FindData.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(+a.FindData.nFileSizeLow, 0u);
  const PluginPanelItem& p = h->panelItems[5];
  EXPECT_TRUE(p.Description == nullptr);
  EXPECT_EQ(+p.Flags, 0u);
  EXPECT_EQ(p.FindData.cAlternateFileName[0], 0);
  EXPECT_EQ(+p.FindData.nFileSizeLow, 5u);
  for (unsigned char b : p.Reserved3) EXPECT_EQ(b, 0);
  EXPECT_EQ(+h->panelItems[6].FindData.dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE);  // the file "a" stays a file

  ASSERT_TRUE(h->ChangeDirectory("a"));
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"b", "d"}));
  EXPECT_EQ(+h->panelItems[0].FindData.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(+h->panelItems[1].FindData.nFileSizeLow, 4u);
  ASSERT_TRUE(h->ChangeDirectory("\\x"));
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"y"}));
  EXPECT_TRUE(h->ScreenBalanced());
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PanelTest, SetDirectoryMovesOnlyIntoFoldersBelowTheCurrentOne) {
  FakeModuleState* f = StartWithAcceptingModule();
  f->items = {FakeItem("disk_01\\user_1\\f.txt", 1), FakeItem("disk_01\\g.txt", 2), FakeItem("disk_02\\"),
              FakeItem("top.txt", 3), FakeItem("x\\y", 1)};
  ASSERT_TRUE(h->OpenFile(Image("a.fak")));
  auto cur = [&] {
    OpenPluginInfo info;
    h->GetInfo(info);
    return std::string(info.CurDir);
  };
  struct Step {
    const char* dir;
    bool ok;
    const char* after;
  } steps[] = {
      {"..", false, ""},       // at the root
      {"top.txt", false, ""},  // a file is no folder
      {"disk_0", false, ""},   // a prefix is no name
      {"DISK_01", true, "DISK_01"},
      {"x", false, "DISK_01"},  // x lies at the root, not below
      {"g.txt", false, "DISK_01"},
      {"user_1", true, "DISK_01\\user_1"},
      {"..", true, "DISK_01"},
      {"..", true, ""},
      {"disk_02", true, "disk_02"},  // a directory item without contents
      {"\\disk_01\\user_1", true, "disk_01\\user_1"},
      {"\\", true, ""},
      {"disk_01\\user_1", true, "disk_01\\user_1"},
      {"..\\..\\x", true, "x"},
      {"\\disk_01\\nothing", false, "x"},
      {"", false, "x"},
      {"\\..", false, "x"},  // the root has no parent
      {"\\disk_01\\..", true, ""},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(SetDirectory(h->panel(), s.dir, 0) != 0, s.ok) << s.dir;
    EXPECT_EQ(cur(), s.after) << s.dir;
  }
}

TEST_F(PanelTest, TheListIsReadAgainOnlyWhenTheImageChanged) {
  FakeModuleState* f = StartWithAcceptingModule();
  f->items = {FakeItem("one", 1)};
  const std::string image = Image("a.fak", "0123456789");
  ASSERT_TRUE(h->OpenFile(image));
  ASSERT_TRUE(h->ReadPanel());
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Count(f, "ImgPrepare"), 1);

  f->items.push_back(FakeItem("two", 2));
  struct stat st;
  ASSERT_EQ(stat(image.c_str(), &st), 0);
  const timespec later[2] = {st.st_atim, {st.st_mtim.tv_sec + 5, st.st_mtim.tv_nsec}};
  ASSERT_EQ(utimensat(AT_FDCWD, image.c_str(), later, 0), 0);
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Count(f, "ImgPrepare"), 2);
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"one", "two"}));

  // A size that differs only above 4 GiB, with the old write time, is noticed too.
  std::error_code ec;
  fs::resize_file(image, (uint64_t{1} << 32) + 10, ec);
  if (!ec) {
    ASSERT_EQ(utimensat(AT_FDCWD, image.c_str(), later, 0), 0);
    ASSERT_TRUE(h->ReadPanel());
    EXPECT_EQ(Count(f, "ImgPrepare"), 3);
  }
  // A reading that fails (ImgPrepare refuses) is tried again at the next GetFindData
  // rather than leaving the image taken for unchanged with an empty list.
  f->items.push_back(FakeItem("three", 3));
  const timespec latest[2] = {st.st_atim, {st.st_mtim.tv_sec + 9, st.st_mtim.tv_nsec}};
  ASSERT_EQ(utimensat(AT_FDCWD, image.c_str(), latest, 0), 0);
  // The old list stays but no longer describes the file: the read error is shown once,
  // not at every reading that fails again, and once more after a good reading.
  f->prepare = 0;
  log.Clear();
  script.Push(host::Answer::Button(0));
  EXPECT_FALSE(h->ReadPanel());
  EXPECT_FALSE(h->ReadPanel());
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].lines, (std::vector<std::string>{"m15", "m31", "m0"}));
  f->prepare = 1;
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"one", "two", "three"}));
  f->prepare = 0;
  ASSERT_EQ(utimensat(AT_FDCWD, image.c_str(), later, 0), 0);
  script.Push(host::Answer::Button(0));
  EXPECT_FALSE(h->ReadPanel());
  EXPECT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(script.pending(), 0u);
  f->prepare = 1;
  ASSERT_TRUE(h->ReadPanel());

  // A vanished image fails and keeps the old list.
  fs::remove(image);
  EXPECT_FALSE(h->ReadPanel());
  EXPECT_EQ(Names(h->panelItems), (std::vector<std::string>{"one", "two", "three"}));
}

uint32_t g_clock = 0;
uint32_t SteppingClock() { return g_clock += 300; }

TEST_F(PanelTest, LongListsShowProgressAndListingErrorsAreReported) {
  FakeModuleState* f = StartWithAcceptingModule();
  for (int i = 0; i < 70; ++i) f->items.push_back(FakeItem(("f" + std::to_string(i)).c_str(), 1));
  f->endResult = 2;
  script.Push(host::Answer::Button(0));  // the listing-error box
  g_clock = 0;
  platform::SetTickSource(&SteppingClock);
  const std::string image = Image("a.fak");
  ASSERT_TRUE(h->OpenFile(image));
  // The clock is read at the start and at items 0, 32 and 64: 300 ms is too early,
  // 600 and 900 ms show the box.
  ASSERT_EQ(log.messages.size(), 3u);
  EXPECT_EQ(log.messages[0].flags, 0u);
  EXPECT_EQ(log.messages[0].lines, (std::vector<std::string>{"m61", "m62", image, "32 read"}));
  EXPECT_EQ(log.messages[0].buttons, 0);
  EXPECT_EQ(log.messages[1].flags, FMSG_KEEPBACKGROUND);
  EXPECT_EQ(log.messages[1].lines[3], "64 read");
  EXPECT_EQ(log.messages[2].flags, FMSG_WARNING);
  EXPECT_EQ(log.messages[2].lines, (std::vector<std::string>{"m15", "m30", "m0"}));
  // The screen is saved before the first box and restored after the error box.
  using K = host::Event::Kind;
  std::vector<K> order;
  for (const auto& e : log.events) order.push_back(e.kind);
  EXPECT_EQ(order, (std::vector<K>{K::SaveScreen, K::Message, K::Message, K::Message, K::RestoreScreen}));
  EXPECT_EQ(log.savedAreas, (std::vector<host::ScreenArea>{{0, 0, -1, -1}}));  // the whole screen
  EXPECT_TRUE(h->ScreenBalanced());
  platform::SetTickSource(nullptr);

  // A read error keeps the items read before it.
  f->items.resize(3);
  f->endResult = 3;
  script.Push(host::Answer::Button(0));
  log.Clear();
  ASSERT_TRUE(h->OpenFile(image));
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].lines, (std::vector<std::string>{"m15", "m31", "m0"}));
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(h->panelItems.size(), 3u);
  EXPECT_TRUE(script.failures().empty());
}

// Items of empty name (free slots) are not stored: the list holds the named items only,
// while the progress box still counts every item delivered.
TEST_F(PanelTest, ItemsOfEmptyNameAreNotStoredButCountedForProgress) {
  FakeModuleState* f = StartWithAcceptingModule();
  // 100 items, every fourth named: the named ones are f0, f4, ..., f96.
  std::vector<std::string> named;
  for (int i = 0; i < 100; ++i) {
    const std::string name = i % 4 == 0 ? "f" + std::to_string(i) : (i % 8 == 1 ? "\\" : "");
    f->items.push_back(FakeItem(name.c_str(), 1));
    if (!name.empty() && name[0] != '\\') named.push_back(name);
  }
  g_clock = 0;
  platform::SetTickSource(&SteppingClock);
  ASSERT_TRUE(h->OpenFile(Image("a.fak")));
  platform::SetTickSource(nullptr);
  const auto* panel = static_cast<const ImagePanel*>(h->panel());
  EXPECT_EQ(Names(panel->items), named);
  // Delivered counts 32, 64 and 96, as without skipping.
  ASSERT_EQ(log.messages.size(), 3u);
  EXPECT_EQ(log.messages[0].lines[3], "32 read");
  EXPECT_EQ(log.messages[2].lines[3], "96 read");
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Names(h->panelItems), named);
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(PanelTest, PanelInformationDescribesTheImage) {
  FakeModuleState* f = StartWithAcceptingModule();
  f->longName = std::string(150, 'L');  // cut to 99 characters
  f->items = {FakeItem("d\\f", 1)};
  const std::string image = Image("IMAGE");  // no dot: opened by its own name
  ASSERT_TRUE(h->OpenFile(image));
  OpenPluginInfo info;
  ASSERT_TRUE(h->GetInfo(info));
  const std::string longName(99, 'L');
  EXPECT_EQ(+info.Flags, 15u);
  EXPECT_EQ(std::string(info.HostFile), image + ".");
  EXPECT_STREQ(info.CurDir, "");
  EXPECT_EQ(std::string(info.Format), std::string(99, 'L'));  // "%s image" cut to 99
  EXPECT_EQ(std::string(info.PanelTitle), (" " + longName + ":IMAGE. ").substr(0, 99));
  f->longName = "Fake";
  ASSERT_TRUE(h->ChangeDirectory("d"));
  ASSERT_TRUE(h->GetInfo(info));
  EXPECT_STREQ(info.PanelTitle, " Fake:IMAGE.\\d ");
  EXPECT_STREQ(info.Format, "Fake image");
  ASSERT_EQ(info.InfoLinesNumber, 14);
  const InfoPanelLine zero{};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(std::memcmp(&info.InfoLines[i], &zero, sizeof zero), 0);
  const KeyBarTitles& k = *info.KeyBar;
  auto labelled = [](char* const* row) {
    std::vector<int> keys;
    for (int i = 0; i < 12; ++i)
      if (row[i]) keys.push_back(i + 1);
    return keys;
  };
  EXPECT_EQ(labelled(k.Titles), (std::vector<int>{4, 7}));
  EXPECT_EQ(labelled(k.CtrlTitles), (std::vector<int>{}));
  EXPECT_EQ(labelled(k.AltTitles), (std::vector<int>{4, 5, 6, 10}));
  EXPECT_EQ(labelled(k.ShiftTitles), (std::vector<int>{1, 3, 4, 5, 6, 7, 8}));
  EXPECT_STREQ(k.Titles[3], "m33");
}

}  // namespace
