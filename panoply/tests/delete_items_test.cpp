// Deleting items of an image panel, with a fake format module that records every call.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "extract_fixture.h"

namespace {

class DeleteItemsTest : public ExtractTest {};

TEST_F(DeleteItemsTest, DeleteConfirmationLines) {
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
TEST_F(DeleteItemsTest, FolderQuestion) {
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
TEST_F(DeleteItemsTest, ArchiveQuestion) {
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
TEST_F(DeleteItemsTest, DeleteFailuresEndTheCommand) {
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

TEST_F(DeleteItemsTest, DeletingWithoutTheModulesDelFileOrImageFails) {
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

TEST_F(DeleteItemsTest, BadNamesAreNotDeleted) {
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
