// The plug-in's boxes on the console, answered the four ways, and the watch that tells a
// cancelled question.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <sstream>
#include <string>

#include "cli/console.h"

namespace {

host::MessageCall Box(std::vector<std::string> lines, int buttons, unsigned flags = 0) {
  host::MessageCall call;
  call.lines = std::move(lines);
  call.buttons = buttons;
  call.flags = flags;
  return call;
}

host::MenuCall Menu() {
  host::MenuCall call;
  call.title = "Formats";
  call.items = {{"1 First", 0, 0, 0}, {"", 0, 0, 1}, {"2 Second", 1, 0, 0}};
  return call;
}

// A dialog with a title, a check box, an edit line and two buttons, the first the default.
struct Dialog {
  FarDialogItem items[5]{};
  Dialog() {
    const int types[] = {DI_DOUBLEBOX, DI_CHECKBOX, DI_EDIT, DI_BUTTON, DI_BUTTON};
    const char* texts[] = {"Title", "Option", "text", "OK", "Cancel"};
    for (int i = 0; i < 5; ++i) {
      items[i].Type = types[i];
      std::strcpy(items[i].Data, texts[i]);
    }
    items[3].DefaultButton = 1;
  }
};

struct Console {
  explicit Console(cli::AnswerMode mode, std::string answers = "", std::deque<std::string> typed = {})
      : file(answers),
        typed(std::move(typed)),
        progress(cli::ProgressLine::kOff, err),
        responder(mode, &file, progress, out, err, [this](std::string& line) {
          if (this->typed.empty()) return cli::LineEnd::kEnd;
          line = this->typed.front();
          this->typed.pop_front();
          return line == "<esc>" ? cli::LineEnd::kEscape : cli::LineEnd::kLine;
        }) {}
  std::istringstream file;
  std::deque<std::string> typed;
  std::ostringstream out, err;
  cli::ProgressLine progress;
  cli::ConsoleResponder responder;
};

TEST(ConsoleResponder, AnswersFromAFileAreShownWithTheAnswerTaken) {
  Console c(cli::AnswerMode::kFile, "# a comment\n2\n3\n\n5 1=on 2=\"new text\"\n9\n");
  const host::MessageCall box = Box({"Error", "Could not copy", "a.txt", "OK", "Skip"}, 2, FMSG_WARNING);
  EXPECT_EQ(c.responder.OnMessage(box), 1);
  EXPECT_EQ(c.responder.OnMenu(Menu()), 2);
  EXPECT_EQ(c.responder.OnMenu(Menu()), 2);  // an empty line: the selected item
  Dialog d;
  EXPECT_EQ(c.responder.OnDialog({}, d.items, 5), -1);  // "5" closes nothing here: no answer
  EXPECT_EQ(c.responder.OnMessage(box), -1);            // "9" is no button of it
  EXPECT_EQ(c.responder.OnMessage(box), -1);            // the file ran out
  EXPECT_TRUE(c.responder.answersFailed);
  EXPECT_FALSE(c.responder.errorShown);  // two buttons: a question, no report of a failure
  EXPECT_EQ(c.out.str(), "");
  EXPECT_EQ(c.err.str(),
            "\n== Error ==\n   Could not copy\n   a.txt\n  [1] OK\n  [2] Skip\n  -> Skip\n"
            "\n== Formats ==\n  [1] 1 First\n      ----\n  [3] 2 Second\n  -> 2 Second\n"
            "\n== Formats ==\n  [1] 1 First\n      ----\n  [3] 2 Second\n  -> 2 Second\n"
            "\n== Title ==\n  1: [ ] Option\n  2: text_\n  3: < OK > (Enter)\n  4: < Cancel >\n"
            "panoply-host: answers line 5 (\"5 1=on 2=\"new text\"\") fits no answer here: Esc\n  -> Esc\n"
            "\n== Error ==\n   Could not copy\n   a.txt\n  [1] OK\n  [2] Skip\n"
            "panoply-host: answers line 6 (\"9\") fits no answer here: Esc\n  -> Esc\n"
            "\n== Error ==\n   Could not copy\n   a.txt\n  [1] OK\n  [2] Skip\n"
            "panoply-host: the answers file has no more answers: Esc\n  -> Esc\n");
}

TEST(ConsoleResponder, YesIsEnterAndNoAnswerIsEsc) {
  Console yes(cli::AnswerMode::kYes), none(cli::AnswerMode::kEscape);
  const host::MessageCall failure = Box({"Error", "Could not open", "OK"}, 1, FMSG_WARNING);
  Dialog d, e;
  EXPECT_EQ(yes.responder.OnMessage(failure), 0);
  EXPECT_TRUE(yes.responder.errorShown);
  EXPECT_EQ(yes.responder.OnMenu(Menu()), 2);
  EXPECT_EQ(yes.responder.OnDialog({}, d.items, 5), 3);
  EXPECT_EQ(none.responder.OnMessage(failure), -1);
  EXPECT_EQ(none.responder.OnMenu(Menu()), -1);
  EXPECT_EQ(none.responder.OnDialog({}, e.items, 5), -1);
  EXPECT_NE(yes.err.str().find("  -> < OK >\n"), std::string::npos);
  EXPECT_EQ(none.err.str().find("-> < OK >"), std::string::npos);
  EXPECT_FALSE(yes.responder.answersFailed || none.responder.answersFailed);
}

TEST(ConsoleResponder, AtTheTerminalEscOrQClosesAndAnUnfitLineIsAskedAgain) {
  const host::MessageCall box = Box({"Delete", "a.txt", "Delete", "Cancel"}, 2);
  struct Case {
    std::deque<std::string> typed;
    int answer;
  };
  const Case boxes[] = {{{""}, 0}, {{"2"}, 1}, {{"<esc>"}, -1}, {{"q"}, -1}, {{"7", "yes", "2"}, 1}, {{}, -1}};
  for (const Case& k : boxes) {
    Console c(cli::AnswerMode::kTerminal, "", k.typed);
    EXPECT_EQ(c.responder.OnMessage(box), k.answer) << (k.typed.empty() ? "end" : k.typed.front());
    EXPECT_EQ(c.err.str(), "");  // the conversation is on standard output
  }
  const Case menus[] = {{{""}, 2}, {{"1"}, 0}, {{"2", "3"}, 2}, {{"<esc>"}, -1}};
  for (const Case& k : menus) {
    Console c(cli::AnswerMode::kTerminal, "", k.typed);
    EXPECT_EQ(c.responder.OnMenu(Menu()), k.answer) << k.typed.front();
  }
  // A dialog: N toggles a check box, N=TEXT sets an edit line, a button closes it.
  Console c(cli::AnswerMode::kTerminal, "", {"1", "2=typed", "4"});
  Dialog d;
  EXPECT_EQ(c.responder.OnDialog({}, d.items, 5), 4);
  EXPECT_EQ(d.items[1].Selected, 1);
  EXPECT_STREQ(d.items[2].Data, "typed");
  Console esc(cli::AnswerMode::kTerminal, "", {"<esc>"});
  Dialog e;
  EXPECT_EQ(esc.responder.OnDialog({}, e.items, 5), -1);
  Console enter(cli::AnswerMode::kTerminal, "", {""});
  Dialog f;
  EXPECT_EQ(enter.responder.OnDialog({}, f.items, 5), 3);
}

// Cancel is the last of several buttons of a box, or a dialog's button other than its
// default one; a box of one button is no question.
TEST(QuestionWatch, CountsEscAndCancel) {
  Console c(cli::AnswerMode::kFile, "1\n2\n1\nEsc\n3\n1\n4\n3\n");
  cli::QuestionWatch watch(c.responder);
  const host::MessageCall question = Box({"Delete", "a", "Delete", "Cancel"}, 2);
  const host::MessageCall folder = Box({"Folder", "d", "Delete", "All", "Skip", "Cancel"}, 4);
  const host::MessageCall failure = Box({"Error", "x", "OK"}, 1, FMSG_WARNING);
  struct Step {
    std::function<int()> ask;
    int cancels;
  };
  Dialog d1, d2;
  const Step steps[] = {
      {[&] { return watch.OnMessage(question); }, 0},  // Delete
      {[&] { return watch.OnMessage(question); }, 1},  // Cancel
      {[&] { return watch.OnMessage(failure); }, 1},   // OK of a report
      {[&] { return watch.OnMessage(folder); }, 2},    // Esc
      {[&] { return watch.OnMenu(Menu()); }, 2},       // the last item is no Cancel
      {[&] { return watch.OnMenu(Menu()); }, 2},
      {[&] { return watch.OnDialog({}, d1.items, 5); }, 3},  // Cancel
      {[&] { return watch.OnDialog({}, d2.items, 5); }, 3},  // OK
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].ask();
    EXPECT_EQ(watch.cancels, steps[i].cancels) << i;
  }
  EXPECT_TRUE(watch.dialogConfirmed);
  Dialog d3;
  watch.OnDialog({}, d3.items, 5);  // the file ran out: Esc
  EXPECT_FALSE(watch.dialogConfirmed);
  EXPECT_EQ(watch.cancels, 4);
}

}  // namespace
