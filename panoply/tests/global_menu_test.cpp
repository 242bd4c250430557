// The global menu, the format chooser and new images, with fake format modules copied
// into a private Formats folder and a store file of each test's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "module_fixture.h"
#include "panoply/global_menu.h"
#include "panoply/settings.h"
#include "platform/workdir.h"

using namespace panoply;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class GlobalMenuTest : public PanelTest {
 protected:
  GlobalMenuTest() { extraTexts = "20=Images of %s\n37=New %s image\n"; }
  // Modules "1.di", "2.di", ... (fake_all unless named), long names "Format 1", ... and
  // short names "S1", ...; the plug-in started on them.
  void StartWith(int count, const std::vector<std::string>& builds = {}) {
    for (int i = 1; i <= count; ++i) {
      const std::string build = static_cast<size_t>(i) <= builds.size() ? builds[i - 1] : "fake_all";
      Install(build, Name(i));
    }
    if (count == 0) fs::create_directories(dir / "Formats");
    Start();
    for (int i = 1; i <= count; ++i) {
      FakeModuleState* f = Fake(Name(i));
      ASSERT_NE(f, nullptr);
      f->longName = "Format " + std::to_string(i);
      f->shortName = "S" + std::to_string(i);
    }
  }
  static std::string Name(int i) { return (i < 10 ? "0" : "") + std::to_string(i) + ".di"; }
  std::string Stored() const {
    char value[200];
    return ReadRegistryString(HKEY_CURRENT_USER, "", kValueDefaultFormat, value, "<none>", sizeof value) ? value
                                                                                                         : "<none>";
  }
  void Store(const std::string& value) {
    WriteRegistryString(HKEY_CURRENT_USER, "", kValueDefaultFormat, value.c_str());
  }
  // The texts of a recorded menu; a selected item is marked with "*".
  static Lines Items(const host::MenuCall& m) {
    Lines out;
    for (const auto& i : m.items) out.push_back((i.selected ? "*" : "") + (i.separator ? "----" : i.text));
    return out;
  }
  // Runs the plug-in menu; it never opens a panel.
  void Run() {
    log.Clear();
    EXPECT_FALSE(h->OpenFromMenu());
    EXPECT_EQ(h->panel(), nullptr);
  }
  static Lines MainMenu() { return {"*m34", "m35", "----", "m36"}; }
};

TEST_F(GlobalMenuTest, FirstUseOpensTheChooserAndCancelEndsWithNothingStored) {
  StartWith(2);
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 1u);
  const host::MenuCall& m = log.menus[0];
  EXPECT_EQ(Items(m), Lines({"*1 Format 1", "2 Format 2"}));
  EXPECT_EQ(m.title, "m21");
  EXPECT_EQ(m.flags, unsigned{FMENU_AUTOHIGHLIGHT});
  EXPECT_EQ(m.helpTopic, "");
  EXPECT_EQ(std::vector<int>({m.x, m.y, m.maxHeight}), std::vector<int>({-1, -1, 0}));
  EXPECT_EQ(Stored(), "<none>");
  // After a first choice the menu's chooser is the normal one: Esc there goes back to the
  // menu, in the same run.
  script.Push(host::Answer::Pick(0));
  script.Push(host::Answer::Pick(3));
  script.Push(host::Answer::Pick(-1));
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 4u);
  EXPECT_EQ(Items(log.menus[3]), MainMenu());
  EXPECT_EQ(Stored(), "Format 1");
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(GlobalMenuTest, AChoiceIsStoredWithoutItsPrefixAndTheMenuFollows) {
  StartWith(2);
  script.Push(host::Answer::Pick(1));
  script.Push(host::Answer::Pick(-1));
  Run();
  EXPECT_EQ(Stored(), "Format 2");
  ASSERT_EQ(log.menus.size(), 2u);
  const host::MenuCall& m = log.menus[1];
  EXPECT_EQ(m.title, "Images of Format 2");
  EXPECT_EQ(Items(m), MainMenu());
  EXPECT_EQ(m.helpTopic, "ImageGlobalFunc");
  EXPECT_EQ(m.flags, 0u);
  // Next time the stored name (in any case) leads straight to the menu.
  Store("FORMAT 2");
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 1u);
  EXPECT_EQ(log.menus[0].title, "Images of FORMAT 2");
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(GlobalMenuTest, MenuItemsAnswerAndTheDefaultCanBeChanged) {
  StartWith(3);
  Store("Format 1");
  // "Function not supported" says so.
  script.Push(host::Answer::Pick(1));
  script.Push(host::Answer::Button(0));
  Run();
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].lines, Lines({"m15", "m39", "m11"}));
  EXPECT_EQ(log.messages[0].flags, 1u);
  // "Choose the default format": the chooser marks the current one, then the menu again
  // with the new name; Esc in the chooser keeps the old one.
  script.Push(host::Answer::Pick(3));
  script.Push(host::Answer::Pick(2));
  script.Push(host::Answer::Pick(3));
  script.Push(host::Answer::Pick(-1));
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 5u);
  EXPECT_EQ(Items(log.menus[1]), Lines({"*1 Format 1", "2 Format 2", "3 Format 3"}));
  EXPECT_EQ(log.menus[2].title, "Images of Format 3");
  EXPECT_EQ(Items(log.menus[3]), Lines({"1 Format 1", "2 Format 2", "*3 Format 3"}));
  EXPECT_EQ(log.menus[4].title, "Images of Format 3");
  EXPECT_EQ(Stored(), "Format 3");
  // The selection mark needs the exact name; with none matching, no item is marked.
  Store("format 2");
  script.Push(host::Answer::Pick(3));
  script.Push(host::Answer::Pick(-1));
  script.Push(host::Answer::Pick(-1));
  Run();
  EXPECT_EQ(Items(log.menus[1]), Lines({"1 Format 1", "2 Format 2", "3 Format 3"}));
  EXPECT_EQ(Stored(), "format 2");
  EXPECT_TRUE(script.failures().empty());
}

// A stored name no module has opens the chooser; leaving it ends the command, also when
// there is no module at all (each would otherwise come back without end).
TEST_F(GlobalMenuTest, AStaleDefaultOpensTheChooserOnce) {
  StartWith(2);
  Store("Gone format");
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 1u);
  EXPECT_EQ(Items(log.menus[0]), Lines({"1 Format 1", "2 Format 2"}));
  EXPECT_EQ(Stored(), "Gone format");
  script.Push(host::Answer::Pick(0));
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 2u);
  EXPECT_EQ(log.menus[1].title, "Images of Format 1");
  EXPECT_EQ(Stored(), "Format 1");
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(GlobalMenuTest, WithoutModulesTheCommandEndsAtOnce) {
  StartWith(0);
  Run();
  Store("Gone format");
  Run();
  EXPECT_TRUE(log.menus.empty());
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(GlobalMenuTest, TheTenthModuleIsAAndTheListEndsAtAModuleWithoutNames) {
  std::vector<std::string> builds(12, "fake_all");
  builds[10] = "fake_no_GetFormatName";  // "11.di"
  StartWith(10);
  Install(builds[10], Name(11));
  Install("fake_all", Name(12));
  h.reset();
  Start();
  for (int i = 1; i <= 12; ++i) {
    if (i == 11) continue;
    Fake(Name(i))->longName = "F" + std::to_string(i);
  }
  script.Push(host::Answer::Pick(9));
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 2u);
  EXPECT_EQ(Items(log.menus[0]),
            Lines({"*1 F1", "2 F2", "3 F3", "4 F4", "5 F5", "6 F6", "7 F7", "8 F8", "9 F9", "A F10"}));
  EXPECT_EQ(Stored(), "F10");
  // A module whose GetFormatName answers 0 ends the list too: the stored F10 is no
  // longer found, and the chooser offers the first two.
  Fake(Name(3))->formatNameResult = 0;
  script.Push(host::Answer::Pick(-1));
  Run();
  ASSERT_EQ(log.menus.size(), 1u);
  EXPECT_EQ(Items(log.menus[0]), Lines({"1 F1", "2 F2"}));
  EXPECT_TRUE(script.failures().empty());
}

class NewImageTest : public GlobalMenuTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(chdir(dir.path().c_str()), 0);  // relative names land here
  }
  void TearDown() override {
    saved.Restore();
    GlobalMenuTest::TearDown();
  }
  // The menu's "new image" with `typed` in the name dialog (Esc when null), and a first
  // button for each of `boxes` boxes.
  void Create(const char* typed, int boxes = 0) {
    script.Push(host::Answer::Pick(0));
    script.Push(typed ? host::Answer::Close(2, {{2, typed}}) : host::Answer::Close(-1));
    for (int i = 0; i < boxes; ++i) script.Push(host::Answer::Button(0));
    Run();
    EXPECT_EQ(script.pending(), 0u);
  }
  // The files of the folder, apart from the test's own.
  Lines Files() const {
    Lines out;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
      const std::string rel = fs::relative(e.path(), dir.path()).string();
      if (rel.starts_with("Formats") || rel == "registry.txt" || rel == "Panoply.en.lng" || e.is_directory()) continue;
      out.push_back(rel);
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  // The calls to the plug-in's host after the name dialog, in order.
  Lines After() const {
    Lines out;
    for (const auto& e : log.events) {
      if (e.kind == host::Event::Control) {
        const host::ControlCall& c = log.controls[e.index];
        out.push_back("control " + std::to_string(c.command) + " " + std::to_string(c.param) +
                      (c.plugin == kNoPanel ? " active" : " other"));
      } else if (e.kind == host::Event::Message) {
        out.push_back(log.messages[e.index].lines[1] + " " + log.messages[e.index].lines[2]);
      }
    }
    return out;
  }
  static int Makes(const FakeModuleState* f) {
    int n = 0;
    for (const auto& c : f->calls) n += c.entry == "MakeNewImage";
    return n;
  }
  platform::SavedWorkingDirectory saved;
};

TEST_F(NewImageTest, TheNameGetsTheShortNameAndCapitalsUnlessItsCaseIsMixed) {
  fs::create_directory(dir / "sub");
  StartWith(1);
  Store("Format 1");
  FakeModuleState* f = Fake(Name(1));
  struct Case {
    const char* typed;
    const char* file;
  } cases[] = {
      {"mydisk", "MYDISK.S1"},         {"MyDisk", "MyDisk.S1"}, {"my.dsk", "my.dsk"},
      {"sub/mydisk", "sub/MYDISK.S1"}, {"./other", "OTHER.S1"}, {"sub/Mixed", "sub/Mixed.S1"},
      {"sub.d/x", "sub.d/X.S1"},
  };
  fs::create_directory(dir / "sub.d");
  for (const auto& c : cases) {
    f->calls.clear();
    Create(c.typed);
    EXPECT_TRUE(fs::exists(dir / c.file)) << c.typed;
    EXPECT_EQ(fs::file_size(dir / c.file), 0u) << c.typed;
    EXPECT_EQ(Makes(f), 1) << c.typed;
    EXPECT_EQ(After(), Lines({"control 3 1 active", "control 5 0 active"})) << c.typed;
  }
  EXPECT_EQ(log.pcUpdateRequests, int(std::size(cases)));
  EXPECT_EQ(log.pcRedrawRequests, int(std::size(cases)));
  EXPECT_EQ(log.updateRequests + log.redrawRequests, 0);
  // Empty or Esc: nothing.
  const Lines before = Files();
  Create("");
  Create(nullptr);
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(NewImageTest, TheNameDialogAsRecorded) {
  StartWith(2);
  Store("Format 2");
  Create(nullptr);
  ASSERT_EQ(log.dialogs.size(), 1u);
  const host::DialogCall& d = log.dialogs[0];
  EXPECT_EQ(std::vector<int>({d.x1, d.y1, d.x2, d.y2}), std::vector<int>({-1, -1, 76, 6}));
  EXPECT_EQ(d.helpTopic, "");
  const std::vector<host::DialogItemRecord> expected = {
      {DI_DOUBLEBOX, 3, 1, 72, 4, 0, 0, "", 0, 0, "New Format 2 image"},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, "", 0, 0, "m38"},
      {DI_EDIT, 5, 3, 70, 3, 1, 0, "NewEdit", DIF_HISTORY, 1, ""},
  };
  EXPECT_EQ(d.items, expected);
  EXPECT_TRUE(script.failures().empty());
}

TEST_F(NewImageTest, TheModulesAnswerDecidesWhatFollowsAndTheFileStays) {
  StartWith(2, {"fake_all", "fake_no_MakeNewImage"});
  FakeModuleState* f = Fake(Name(1));
  struct Case {
    const char* format;
    int answer;
    Lines after;
  } cases[] = {
      {"Format 1", 1, {"control 3 1 active", "control 5 0 active"}},
      {"Format 1", 2, {"control 3 1 active", "control 5 0 active", "m39 m11"}},
      {"Format 1", 0, {"m42 D.S1"}},
      {"Format 1", 9, {"control 3 1 active", "control 5 0 active"}},
      {"Format 2", 1, {"m42 D.S2"}},  // no MakeNewImage
  };
  for (const auto& c : cases) {
    Store(c.format);
    f->makeNewImage = c.answer;
    fs::remove(dir / "D.S1");
    fs::remove(dir / "D.S2");
    Create("d", c.after.back().starts_with("control") ? 0 : 1);
    EXPECT_EQ(After(), c.after) << c.format << " " << c.answer;
    EXPECT_EQ(Files(), Lines({std::string("D.") + (c.format[7] == '1' ? "S1" : "S2")}));
  }
  EXPECT_TRUE(script.failures().empty());
}

// The name must fit the 128-byte buffer with its extension; an existing file or folder, a
// missing folder and a refused creation all give the create-failed box and leave things
// as they were.
TEST_F(NewImageTest, NamesThatCannotBeCreatedAreRefusedWhole) {
  StartWith(1);
  Store("Format 1");
  FakeModuleState* f = Fake(Name(1));
  const std::string fits(124, 'n'), tooLong(125, 'n'), veryLong(200, 'n');
  Create(fits.c_str());  // 124 + ".S1" = 127 characters
  EXPECT_TRUE(fs::exists(dir / (std::string(124, 'N') + ".S1")));
  for (const std::string& typed : {tooLong, veryLong}) {
    f->calls.clear();
    Create(typed.c_str(), 1);
    EXPECT_EQ(After(), Lines({"m42 " + typed}));
    EXPECT_EQ(Makes(f), 0);
  }
  testsupport::WriteFile(dir / "OLD.S1", "old bytes");
  fs::create_directory(dir / "FOLDER.S1");
  const Lines before = Files();
  for (const char* typed : {"old", "folder", "missing/x", "denied"}) {
    if (std::string(typed) == "denied")
      setenv("DESKTOOLS_FAULTS", ("deny-create,under=" + dir.path().string()).c_str(), 1);
    f->calls.clear();
    Create(typed, 1);
    unsetenv("DESKTOOLS_FAULTS");
    std::string upper = typed;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (upper == "MISSING/X") upper = "missing/X";
    EXPECT_EQ(After(), Lines({"m42 " + upper + ".S1"})) << typed;
    EXPECT_EQ(Makes(f), 0) << typed;
  }
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(testsupport::ReadFile(dir / "OLD.S1"), "old bytes");
  EXPECT_TRUE(script.failures().empty());
}

}  // namespace
