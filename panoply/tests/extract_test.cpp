// Copying, moving and viewing items of an image panel, with a fake format module that
// records every call (and the current directory during it).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

#include "extract_fixture.h"
#include "panoply/panel.h"

namespace {

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

}  // namespace
