// Copying, moving, viewing and deleting items of an image panel, with a fake format module
// that records every call (and the current directory during it).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

#include "module_fixture.h"
#include "panoply/panel.h"

namespace fs = std::filesystem;

namespace {

class ExtractTest : public PanelTest {
 protected:
  // A panel over the fake's items: two files, a folder with a file, a third file.
  void OpenPanel(std::vector<PluginPanelItem> items = {}) {
    extraTexts = "22=copy %s\n23=copy %d\n24=move %s\n25=move %d\n";
    f = StartWithAcceptingModule();
    ASSERT_NE(f, nullptr);
    f->items = items.empty() ? std::vector<PluginPanelItem>{FakeItem("A.TXT", 10), FakeItem("B.TXT", 20),
                                                            FakeItem("DIR", 0, FILE_ATTRIBUTE_DIRECTORY),
                                                            FakeItem("DIR\\IN.TXT", 5), FakeItem("C.TXT", 30)}
                             : items;
    ASSERT_TRUE(h->OpenFile(Image("x.img")));
    ASSERT_TRUE(h->ReadPanel());
    f->calls.clear();
    out = dir / "out";
  }
  // The panel index of a name.
  int At(const std::string& name) const {
    for (size_t i = 0; i < h->panelItems.size(); ++i)
      if (name == h->panelItems[i].FindData.cFileName) return static_cast<int>(i);
    ADD_FAILURE() << "no item " << name;
    return -1;
  }
  std::vector<const FakeCall*> Calls(const std::string& entry) const {
    std::vector<const FakeCall*> out;
    for (const auto& c : f->calls)
      if (c.entry == entry) out.push_back(&c);
    return out;
  }
  // Each box as its message line ("m40") and the line after it (a name or a path).
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& m : log.messages) out.push_back(m.lines.size() > 2 ? m.lines[1] + " " + m.lines[2] : m.lines[1]);
    return out;
  }
  void TearDown() override {
    const std::vector<std::string> errors = h->TakeCallErrors();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(h->ScreenBalanced()) << (h->serviceErrors().empty() ? "" : h->serviceErrors().front());
    EXPECT_EQ(script.pending(), 0u);
    // Warning boxes take no queued answer (Esc closes them); questions are answered.
    unsetenv("DESKTOOLS_FAULTS");
    PanelTest::TearDown();
  }
  FakeModuleState* f = nullptr;
  fs::path out;
};

// CopyToPC's results in the three modes: which boxes, how many items are tried, the result.
TEST_F(ExtractTest, CopyResultsByMode) {
  struct Case {
    int opMode;
    std::vector<int> results;
    int expected;
    std::vector<std::string> boxes;
    size_t copies;
  };
  const Case cases[] = {
      {0, {1, 1}, 1, {}, 2},
      {0, {0, 1}, 1, {"m40 A.TXT"}, 2},
      {0, {2, 1}, 1, {"m39 m11"}, 1},  // the command ends
      {0, {5, 1}, 1, {}, 2},           // silent, next item
      {0, {7, 0}, 1, {"m40 B.TXT"}, 2},
      {OPM_VIEW, {1}, 1, {}, 1},
      {OPM_VIEW, {0}, 0, {"m40 A.TXT"}, 1},
      {OPM_VIEW, {2}, 0, {}, 1},
      {OPM_VIEW, {5}, 0, {}, 1},
      {OPM_TOPLEVEL, {0, 1}, 1, {"m40 A.TXT"}, 2},
      {OPM_TOPLEVEL, {2, 1}, 1, {}, 2},  // not reported, the command goes on
      {OPM_TOPLEVEL, {5, 0}, 1, {"m40 B.TXT"}, 2},
  };
  OpenPanel();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.opMode << " first result " << c.results[0]);
    log.Clear();
    f->calls.clear();
    f->copyToPCResults = c.results;
    std::string after;
    int r;
    if (c.opMode & OPM_TOPLEVEL) {
      std::vector<PluginPanelItem> items = {h->panelItems[At("A.TXT")], h->panelItems[At("B.TXT")]};
      char dest[260];
      std::snprintf(dest, sizeof dest, "%s", out.c_str());
      r = h->plugin().GetFiles(h->panel(), items.data(), 2, 0, dest, c.opMode | OPM_SILENT);
    } else if (c.opMode & OPM_VIEW) {
      h->panelCurrent = At("A.TXT");
      r = h->plugin().GetFiles(h->panel(), &h->panelItems[At("A.TXT")], 1, 0, nullptr, c.opMode | OPM_SILENT);
    } else {
      r = h->Copy({At("A.TXT"), At("B.TXT")}, out, false, OPM_SILENT);
    }
    EXPECT_EQ(r, c.expected);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Calls("CopyToPC").size(), c.copies);
    EXPECT_EQ(Calls("DelFile").size(), 0u);
    f->copyToPCResults.clear();
  }
}

// A move deletes through the same handle with the path built anew, only after a whole
// copy; DelFile's 0 is reported and the command goes on, its 2 ends the command.
TEST_F(ExtractTest, MoveDeletesOnlyWhatWasCopiedWhole) {
  OpenPanel();
  f->writeOnCopy = true;
  f->scribble = true;
  ASSERT_TRUE(h->ChangeDirectory("DIR"));
  f->calls.clear();
  EXPECT_EQ(h->Copy({At("IN.TXT")}, out, true, OPM_SILENT), 1);
  auto copies = Calls("CopyToPC"), deletes = Calls("DelFile");
  ASSERT_EQ(copies.size(), 1u);
  ASSERT_EQ(deletes.size(), 1u);
  EXPECT_EQ(copies[0]->path, "DIR\\IN.TXT");
  EXPECT_EQ(deletes[0]->path, "DIR\\IN.TXT");  // not the scribbled buffer
  EXPECT_EQ(deletes[0]->handle, copies[0]->handle);
  EXPECT_EQ(deletes[0]->cwd, out.string());
  EXPECT_EQ(fs::file_size(out / "IN.TXT"), 5u);
  ASSERT_TRUE(h->ChangeDirectory(".."));

  struct Case {
    std::vector<int> delResults;
    std::vector<std::string> boxes;
    size_t copies, deletes;
  };
  const Case cases[] = {
      {{0, 1}, {"m43 A.TXT"}, 2, 2},
      {{2, 1}, {"m39 m11"}, 1, 1},
      {{5, 1}, {}, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delResults[0]);
    fs::remove_all(out);
    log.Clear();
    f->calls.clear();
    f->delFileResults = c.delResults;
    EXPECT_EQ(h->Copy({At("A.TXT"), At("B.TXT")}, out, true, OPM_SILENT), 1);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Calls("CopyToPC").size(), c.copies);
    EXPECT_EQ(Calls("DelFile").size(), c.deletes);
  }
}

// A copy that landed but does not match the item (the image changed since the listing)
// is reported as copied and not deleted; one that wrote nothing as not copied.
TEST_F(ExtractTest, AMoveWhoseFileIsMissingOrOfAnotherSizeDeletesNothing) {
  OpenPanel();
  fs::create_directories(out);
  testsupport::WriteFile(out / "B.TXT", "short");  // B is listed with 20 bytes
  f->copyToPCResults = {1, 1, 0};                  // A "copied" but not written; B; C fails
  EXPECT_EQ(h->Copy({At("A.TXT"), At("B.TXT"), At("C.TXT")}, out, true, OPM_SILENT), 1);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"m40 A.TXT", "m63 B.TXT", "m40 C.TXT"}));
  EXPECT_EQ(Calls("DelFile").size(), 0u);
}

// A folder is deleted only when the PC holds the folder and every file listed below it
// whole: the module's deletion of the folder takes all of it.
TEST_F(ExtractTest, AMovedFolderIsDeletedOnlyWithEveryFileBelowItWhole) {
  OpenPanel({FakeItem("D", 0, FILE_ATTRIBUTE_DIRECTORY), FakeItem("D\\IN.TXT", 5), FakeItem("D\\SUB\\DEEP.TXT", 3),
             FakeItem("DX\\OTHER.TXT", 9)});
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> pcFiles;  // written by the "module"
    const char* link;                                          // the folder's name a link to a folder
    std::vector<std::string> boxes;
    size_t deletes;
  };
  const Case cases[] = {
      {"all whole", {{"D/IN.TXT", "12345"}, {"D/SUB/DEEP.TXT", "abc"}}, nullptr, {}, 1},
      {"a file missing", {{"D/IN.TXT", "12345"}}, nullptr, {"m63 D"}, 0},
      {"a file short", {{"D/IN.TXT", "1234"}, {"D/SUB/DEEP.TXT", "abc"}}, nullptr, {"m63 D"}, 0},
      {"a file a folder", {{"D/IN.TXT", "12345"}, {"D/SUB/DEEP.TXT/x", ""}}, nullptr, {"m63 D"}, 0},
      {"nothing", {}, nullptr, {"m41 D"}, 0},
      {"the folder a link", {{"real/IN.TXT", "12345"}, {"real/SUB/DEEP.TXT", "abc"}}, "D", {"m63 D"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(out);
    fs::create_directories(out);
    for (const auto& [name, text] : c.pcFiles) {
      fs::create_directories((out / name).parent_path());
      if (name.back() != 'x') testsupport::WriteFile(out / name, text);
    }
    if (c.link) fs::create_directory_symlink(out / "real", out / c.link);
    log.Clear();
    f->calls.clear();
    EXPECT_EQ(h->Copy({At("D")}, out, true, OPM_SILENT), 1);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(Calls("DelFile").size(), c.deletes);
  }
}

// View and top-level modes never delete, even asked to move.
TEST_F(ExtractTest, ViewAndTopLevelNeverMove) {
  OpenPanel();
  f->writeOnCopy = true;
  h->panelCurrent = At("A.TXT");
  char dest[260];
  std::snprintf(dest, sizeof dest, "%s", out.c_str());
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), &h->panelItems[0], 1, 1, dest, OPM_VIEW | OPM_SILENT), 1);
  fs::remove_all(out);
  std::vector<PluginPanelItem> items = {h->panelItems[At("B.TXT")]};
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), items.data(), 1, 1, dest, OPM_TOPLEVEL | OPM_SILENT), 1);
  EXPECT_EQ(Calls("CopyToPC").size(), 2u);
  EXPECT_EQ(Calls("DelFile").size(), 0u);
}

// After DelFile the next GetFindData reads the image again, even with time and size equal.
TEST_F(ExtractTest, ADeletionMakesTheNextListingReadTheImage) {
  OpenPanel();
  f->writeOnCopy = true;
  const auto mtime = fs::last_write_time(dir / "x.img");
  EXPECT_EQ(h->Copy({At("A.TXT")}, out, true, OPM_SILENT), 1);  // reads the panel again
  EXPECT_EQ(fs::last_write_time(dir / "x.img"), mtime);
  EXPECT_EQ(Count(f, "ImgPrepare"), 1);
  f->calls.clear();
  ASSERT_TRUE(h->ReadPanel());
  EXPECT_EQ(Count(f, "ImgPrepare"), 0);  // unchanged now
}

// The dialog as recorded: title, prompt, the destination with "/" added, history, the check
// box and the buttons; the edited destination is created level by level and made current.
TEST_F(ExtractTest, TheDialogAndANewDestinationThreeLevelsDeep) {
  OpenPanel();
  const std::string deep = (out / "a" / "b" / "c").string();
  script.Push(host::Answer::Close(6, {{2, deep}}));
  std::string after;
  const std::string before = fs::current_path();
  EXPECT_EQ(h->Copy({At("A.TXT")}, out, false, 0, &after), 1);
  ASSERT_EQ(log.dialogs.size(), 1u);
  const host::DialogCall& d = log.dialogs[0];
  EXPECT_EQ(d.helpTopic, "ExtractFiles");
  EXPECT_EQ((std::vector<int>{d.x1, d.y1, d.x2, d.y2}), (std::vector<int>{-1, -1, 76, 10}));
  const unsigned sep = DIF_BOXCOLOR | DIF_SEPARATOR;
  const std::vector<host::DialogItemRecord> expected = {
      {DI_DOUBLEBOX, 3, 1, 72, 8, 0, 0, "", 0, 0, "m16"},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, "", 0, 0, "copy A.TXT"},
      {DI_EDIT, 5, 3, 70, 3, 1, 0, "Copy", DIF_HISTORY, 0, out.string() + "/"},
      {DI_TEXT, 3, 4, 0, 0, 0, 0, "", sep, 0, ""},
      {DI_CHECKBOX, 5, 5, 0, 0, 0, 0, "", 0, 0, "m56"},
      {DI_TEXT, 3, 6, 0, 0, 0, 0, "", sep, 0, ""},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, "", DIF_CENTERGROUP, 1, "m4"},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, "", DIF_CENTERGROUP, 0, "m2"},
  };
  ASSERT_EQ(d.items.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    auto got = d.items[i];
    if (got.type == DI_EDIT) got.selected = 0;  // the history name's address
    EXPECT_EQ(got, expected[i]) << "item " << i;
  }
  EXPECT_EQ(after, deep);
  ASSERT_EQ(Calls("CopyToPC").size(), 1u);
  EXPECT_EQ(Calls("CopyToPC")[0]->cwd, deep);
  EXPECT_EQ(fs::current_path(), before);

  // Prompts: several items moved, the host's own items.
  log.Clear();
  script.Push(host::Answer::Close(-1));
  EXPECT_EQ(h->Copy({At("A.TXT"), At("B.TXT")}, out, true), 0);
  ASSERT_EQ(log.dialogs.size(), 1u);
  EXPECT_EQ(log.dialogs[0].items[0].data, "m18");
  EXPECT_EQ(log.dialogs[0].items[1].data, "move 2");
  log.Clear();
  script.Push(host::Answer::Close(7));
  char dest[260] = "";
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), &h->panelItems[0], 1, 0, dest, OPM_TOPLEVEL), 0);
  ASSERT_EQ(log.dialogs.size(), 1u);
  EXPECT_EQ(log.dialogs[0].items[1].data, "m26");
  EXPECT_EQ(log.dialogs[0].items[2].data, "");  // a blank destination stays blank
}

// Cancel, OPM_EDIT, nothing selected, a current item out of range: 0 and nothing done.
TEST_F(ExtractTest, NothingIsDoneWithoutItemsOrWhenCancelled) {
  OpenPanel();
  const std::string before = fs::current_path();
  script.Push(host::Answer::Close(7));
  EXPECT_EQ(h->Copy({At("A.TXT")}, out), 0);
  script.Push(host::Answer::Close(-1));
  EXPECT_EQ(h->Copy({At("A.TXT")}, out, true), 0);
  EXPECT_EQ(log.dialogs.size(), 2u);
  EXPECT_EQ(h->Copy({At("A.TXT")}, out, false, OPM_EDIT), 0);
  EXPECT_EQ(log.dialogs.size(), 2u);
  char dest[260] = "x";
  h->panelCurrent = 99;
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), &h->panelItems[0], 1, 0, dest, OPM_VIEW), 0);
  h->panelItems.clear();
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), nullptr, 1, 0, dest, 0), 0);
  EXPECT_EQ(h->plugin().DeleteFiles(h->panel(), nullptr, 1, 0), FALSE);
  EXPECT_EQ(log.dialogs.size(), 2u);
  EXPECT_TRUE(log.messages.empty());
  EXPECT_TRUE(f->calls.empty());
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(fs::current_path(), before);
}

// A destination that cannot be created or entered: box 41 with it, 0, no module call, the
// directory unchanged.
TEST_F(ExtractTest, ADestinationThatCannotBeEnteredIsReported) {
  OpenPanel();
  testsupport::WriteFile(dir / "plain", "x");
  const std::string before = fs::current_path();
  const std::string cases[] = {(dir / "plain" / "sub").string(), (dir / std::string(256, 'n')).string(),
                               (dir / "denied" / "deeper").string()};
  setenv("DESKTOOLS_FAULTS", ("deny-mkdir,under=" + (dir / "denied").string()).c_str(), 1);
  for (const std::string& dest : cases) {
    log.Clear();
    script.Push(host::Answer::Close(6, {{2, dest}}));
    EXPECT_EQ(h->Copy({At("A.TXT")}, out), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"m41 " + dest});
    EXPECT_EQ(fs::current_path(), before);
  }
  EXPECT_FALSE(fs::exists(dir / "denied"));
  EXPECT_TRUE(f->calls.empty());
}

// A destination that does not fit the host's 260-byte buffer, typed in the dialog or
// handed over without a terminator, is refused with the folder's box: cut, it would name
// another folder. Nothing is made and no module is called.
TEST_F(ExtractTest, ADestinationThatDoesNotFitTheBufferIsRefused) {
  OpenPanel();
  const std::string longDest = (out / std::string(200, 'a') / std::string(100, 'b')).string();
  script.Push(host::Answer::Close(6, {{2, longDest}}));
  std::string after;
  EXPECT_EQ(h->Copy({At("A.TXT")}, "short", false, 0, &after), 0);
  EXPECT_EQ(after, "short/");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"m41 " + longDest});

  // 259 characters fit, with the "/" added they do not.
  const std::string edge = (out / std::string(259 - out.string().size() - 1, 'c')).string();
  ASSERT_EQ(edge.size(), 259u);
  log.Clear();
  EXPECT_EQ(h->Copy({At("A.TXT")}, edge, false, OPM_SILENT), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"m41 " + edge + "/"});

  char unterminated[260];
  std::memset(unterminated, 'u', sizeof unterminated);
  log.Clear();
  h->panelSelection = {At("A.TXT")};
  std::vector<PluginPanelItem> items = h->Selection();
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), items.data(), 1, 0, unterminated, OPM_SILENT), 0);
  h->panelSelection.clear();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"m41 " + std::string(260, 'u') + "/"});
  EXPECT_TRUE(Calls("CopyToPC").empty());
  EXPECT_FALSE(fs::exists(out));
}

// Names no module may get, and a path longer than the module's buffer: the box, next item.
TEST_F(ExtractTest, BadNamesAndLongPathsReachNoModule) {
  OpenPanel();
  ASSERT_TRUE(h->ChangeDirectory("DIR"));
  std::vector<PluginPanelItem> items = {FakeItem(".."), FakeItem("."), FakeItem(""),
                                        FakeItem(std::string(256, 'L').c_str()), FakeItem("IN.TXT", 5)};
  char dest[260];
  std::snprintf(dest, sizeof dest, "%s", out.c_str());
  EXPECT_EQ(h->plugin().GetFiles(h->panel(), items.data(), 5, 0, dest, OPM_TOPLEVEL | OPM_SILENT), 1);
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{"m40 DIR\\..", "m40 DIR\\.", "m40 DIR\\", "m40 DIR\\" + std::string(256, 'L')}));
  ASSERT_EQ(Calls("CopyToPC").size(), 1u);
  EXPECT_EQ(Calls("CopyToPC")[0]->path, "DIR\\IN.TXT");
}

TEST_F(ExtractTest, AnImageThatCannotBeOpenedIsReportedPerItem) {
  OpenPanel();
  fs::remove(dir / "x.img");
  EXPECT_EQ(h->Copy({At("A.TXT"), At("B.TXT")}, out, false, OPM_SILENT), 1);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"m45 A.TXT", "m45 B.TXT"}));
  EXPECT_TRUE(f->calls.empty());
}

// ---- deleting ----

TEST_F(ExtractTest, DeleteConfirmationLines) {
  OpenPanel();
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {{"A.TXT"}, {"m46", "m49", "A.TXT", "m7", "m1"}},
      {{"DIR"}, {"m46", "m50", "DIR", "m7", "m1"}},
      {{"A.TXT", "DIR", "C.TXT"}, {"m46", "m49", "3 items", "m7", "m1"}},
  };
  for (const Case& c : cases) {
    log.Clear();
    std::vector<int> selection;
    for (const auto& n : c.names) selection.push_back(At(n));
    script.Push(host::Answer::Button(1));
    EXPECT_EQ(h->Remove(selection), FALSE);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].lines, c.lines);
    EXPECT_EQ(log.messages[0].buttons, 2);
  }
  script.Push(host::Answer::Button(-1));
  EXPECT_EQ(h->Remove({At("A.TXT")}), FALSE);
  EXPECT_TRUE(f->calls.empty());
}

// The folder question's answers at the first of two folders (the second is answered 0).
TEST_F(ExtractTest, FolderQuestion) {
  OpenPanel({FakeItem("D1", 0, FILE_ATTRIBUTE_DIRECTORY), FakeItem("D2", 0, FILE_ATTRIBUTE_DIRECTORY)});
  struct Case {
    int answer;
    int result;
    std::vector<std::string> deleted;
    int questions;
  };
  const Case cases[] = {
      {0, TRUE, {"D1", "D2"}, 2}, {1, TRUE, {"D1", "D2"}, 1}, {2, TRUE, {"D2"}, 2}, {3, TRUE, {}, 1}, {-1, TRUE, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    log.Clear();
    f->calls.clear();
    script.Push(host::Answer::Button(0));
    script.Push(host::Answer::Button(c.answer));
    if (c.questions == 2) script.Push(host::Answer::Button(0));
    EXPECT_EQ(h->Remove({At("D1"), At("D2")}), c.result);
    std::vector<std::string> deleted;
    for (const auto* call : Calls("DelFile")) deleted.push_back(call->path);
    EXPECT_EQ(deleted, c.deleted);
    int questions = 0;
    for (const auto& m : log.messages) questions += m.lines[0] == "m48";
    EXPECT_EQ(questions, c.questions);
    ASSERT_GE(log.messages.size(), 3u);
    EXPECT_EQ(log.messages[2].lines, (std::vector<std::string>{"m48", "m53", "D1", "m8", "m3", "m9", "m2"}));
  }
}

// The archive question: at most once for several items, never for one.
TEST_F(ExtractTest, ArchiveQuestion) {
  OpenPanel();
  struct Case {
    std::vector<std::string> names;
    std::vector<int> answers;  // after the confirmation
    int result;
    size_t deletes;
  };
  const Case cases[] = {
      {{"A.TXT", "B.TXT", "C.TXT"}, {0}, TRUE, 3},
      {{"A.TXT", "B.TXT"}, {1}, TRUE, 0},
      {{"A.TXT", "B.TXT"}, {-1}, TRUE, 0},
      {{"A.TXT"}, {}, TRUE, 1},
  };
  for (const Case& c : cases) {
    log.Clear();
    f->calls.clear();
    std::vector<int> selection;
    for (const auto& n : c.names) selection.push_back(At(n));
    script.Push(host::Answer::Button(0));
    for (int a : c.answers) script.Push(host::Answer::Button(a));
    EXPECT_EQ(h->Remove(selection), c.result);
    EXPECT_EQ(Calls("DelFile").size(), c.deletes);
    int questions = 0;
    for (const auto& m : log.messages) {
      if (m.lines[0] != "m47") continue;
      ++questions;
      EXPECT_EQ(m.lines,
                (std::vector<std::string>{"m47", "m49", std::to_string(c.names.size()) + " items", "m3", "m2"}));
    }
    EXPECT_EQ(questions, c.answers.empty() ? 0 : 1);
  }
}

// One handle for all items, one progress box each; the first failure ends the command.
TEST_F(ExtractTest, DeleteFailuresEndTheCommand) {
  OpenPanel({FakeItem("A.TXT", 10, 0), FakeItem("B.TXT", 20, 0), FakeItem("C.TXT", 30, 0)});
  struct Case {
    std::vector<int> results;
    int expected;
    size_t deletes;
    std::string box;
  };
  const Case cases[] = {
      {{1, 1, 1}, TRUE, 3, ""},
      {{1, 0, 1}, FALSE, 2, "m43 B.TXT"},
      {{1, 2, 1}, FALSE, 2, "m39 m11"},
      {{5, 1, 1}, TRUE, 3, ""},
  };
  for (const Case& c : cases) {
    log.Clear();
    f->calls.clear();
    f->delFileResults = c.results;
    script.Push(host::Answer::Button(0));
    EXPECT_EQ(h->Remove({At("A.TXT"), At("B.TXT"), At("C.TXT")}), c.expected);
    const auto deletes = Calls("DelFile");
    ASSERT_EQ(deletes.size(), c.deletes);
    for (const auto* d : deletes) EXPECT_EQ(d->handle, deletes[0]->handle);
    int progress = 0;
    for (const auto& m : log.messages) progress += m.lines[1] == "m52";
    EXPECT_EQ(progress, static_cast<int>(c.deletes));
    const auto boxes = Boxes();
    EXPECT_EQ(boxes.back(), c.box.empty() ? boxes.back() : c.box);
    f->delFileResults.clear();
  }
}

TEST_F(ExtractTest, DeletingWithoutTheModulesDelFileOrImageFails) {
  Install("fake_no_DelFile", "1.di");
  extraTexts = "51=%d items\n";
  Start();
  f = Fake("1.di");
  ASSERT_NE(f, nullptr);
  f->isImage = 1;
  f->items = {FakeItem("A.TXT", 10, 0), FakeItem("D", 0, FILE_ATTRIBUTE_DIRECTORY)};
  ASSERT_TRUE(h->OpenFile(Image("x.img")));
  ASSERT_TRUE(h->ReadPanel());
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Remove({At("A.TXT")}), FALSE);
  EXPECT_EQ(Boxes().back(), "m43 A.TXT");
  script.Push(host::Answer::Button(0));
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->Remove({At("D")}), FALSE);
  EXPECT_EQ(Boxes().back(), "m44 D");
  // The image gone: box 45 with its name before any question.
  log.Clear();
  fs::remove(dir / "x.img");
  h->panelItems = {FakeItem("A.TXT", 10, 0)};
  EXPECT_EQ(h->plugin().DeleteFiles(h->panel(), nullptr, 1, 0), FALSE);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"m45 " + (dir / "x.img").string()});
}

TEST_F(ExtractTest, BadNamesAreNotDeleted) {
  OpenPanel();
  h->panelItems = {FakeItem("A.TXT", 10, 0), FakeItem("..", 0, 0)};
  h->panelSelection = {0, 1};
  script.Push(host::Answer::Button(0));
  EXPECT_EQ(h->plugin().DeleteFiles(h->panel(), nullptr, 2, 0), FALSE);
  EXPECT_EQ(Boxes().back(), "m43 ..");
  ASSERT_EQ(Calls("DelFile").size(), 1u);
  EXPECT_EQ(Calls("DelFile")[0]->path, "A.TXT");
}

}  // namespace
