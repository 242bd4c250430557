// panoply-host's session on the plug-in in-process with a fake format module: what the
// commands print and when they count as failed, and the shell's lines.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "cli/console.h"
#include "cli/session.h"
#include "module_fixture.h"
#include "platform/registry.h"

namespace fs = std::filesystem;

namespace {

class SessionTest : public PanelTest {
 protected:
  void SetUp() override {
    extraTexts = "20=menu %s\n";
    f = StartWithAcceptingModule();
    ASSERT_NE(f, nullptr);
    f->items = {FakeItem("A.TXT", 10),      FakeItem("read me.txt", 20), FakeItem("DIR", 0, FILE_ATTRIBUTE_DIRECTORY),
                FakeItem("DIR\\IN.TXT", 5), FakeItem("Ed.Com", 3),       FakeItem("ED.COM", 4)};
    f->writeOnCopy = true;
    ASSERT_TRUE(h->OpenFile(Image("x.img")));
    ASSERT_TRUE(h->ReadPanel());
    h->SetResponder(&watch);
    session = std::make_unique<cli::Session>(*h, progress, watch, out, err);
    f->calls.clear();
    log.Clear();
  }
  // The session's commands as the command line gives them.
  bool Run(const std::vector<std::string>& words) {
    std::string error;
    const auto commands = cli::ParseCommands(words, false, error);
    EXPECT_TRUE(commands) << error;
    return commands && session->RunAll(*commands);
  }
  std::string Out() { return std::exchange(out, std::ostringstream()).str(); }
  std::string Err() { return std::exchange(err, std::ostringstream()).str(); }
  int Copies() const { return Count(f, "CopyToPC"); }

  FakeModuleState* f = nullptr;
  cli::QuestionWatch watch{script};
  std::ostringstream out, err;
  cli::ProgressLine progress{cli::ProgressLine::kOff, err};
  std::unique_ptr<cli::Session> session;
};

TEST_F(SessionTest, LsListsSizesAndFoldersAndLsOfAFolderKeepsTheCurrentOne) {
  EXPECT_TRUE(Run({"ls"}));
  EXPECT_EQ(Out(),
            "          10  A.TXT\n          20  read me.txt\n       <DIR>  DIR\n           3  Ed.Com\n"
            "           4  ED.COM\n");
  EXPECT_TRUE(Run({"ls", "DIR", "info"}));
  EXPECT_EQ(Out(),
            "           5  IN.TXT\nTitle:    Fake image format:x.img \nFormat:  Fake image format image\nFolder:  "
            "\\\nFile:    " +
                (dir / "x.img").string() + "\n");
  EXPECT_FALSE(Run({"cd", "NOPE", "ls"}));
  EXPECT_EQ(Out(), "");
  EXPECT_EQ(Err(), "panoply-host: no folder NOPE\n");
}

// A command whose question was answered with Esc or Cancel failed, although the plug-in
// reports a cancelled deletion as done.
TEST_F(SessionTest, ItemCommandsFailWhenNothingWasDoneOrAQuestionWasCancelled) {
  struct Case {
    const char* what;
    std::vector<std::string> words;
    std::vector<host::Answer> answers;
    bool ok;
    std::string err;
    int copies, deletes;
  };
  const std::string dest = (dir / "out").string();
  const Case cases[] = {
      {"a copy", {"cp", "A.TXT", dest}, {host::Answer::Close(6)}, true, "", 1, 0},
      {"the copy dialog left",
       {"cp", "A.TXT", dest},
       {host::Answer::Close(7)},
       false,
       "panoply-host: cp: nothing was done\n",
       0,
       0},
      {"a move", {"mv", "read me.txt", dest}, {host::Answer::Close(6)}, true, "", 1, 1},
      {"rm, the folder question cancelled",
       {"rm", "DIR"},
       {host::Answer::Button(0), host::Answer::Button(3)},
       false,
       "panoply-host: rm: cancelled\n",
       0,
       0},
      {"rm, the folder question left with Esc",
       {"rm", "DIR"},
       {host::Answer::Button(0), host::Answer::Button(-1)},
       false,
       "panoply-host: rm: cancelled\n",
       0,
       0},
      {"rm, the folder skipped", {"rm", "DIR"}, {host::Answer::Button(0), host::Answer::Button(2)}, true, "", 0, 0},
      {"rm, the archive question cancelled",
       {"rm", "A.TXT", "read me.txt"},
       {host::Answer::Button(0), host::Answer::Button(1)},
       false,
       "panoply-host: rm: cancelled\n",
       0,
       0},
      {"rm of two, the archive question answered",
       {"rm", "A.TXT", "read me.txt"},
       {host::Answer::Button(0), host::Answer::Button(0)},
       true,
       "",
       0,
       2},
      {"no such item", {"rm", "nothing"}, {}, false, "panoply-host: no item nothing\n", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir / "out");
    f->calls.clear();
    for (const host::Answer& a : c.answers) script.Push(a);
    EXPECT_EQ(Run(c.words), c.ok);
    EXPECT_EQ(Err(), c.err);
    EXPECT_EQ(Copies(), c.copies);
    EXPECT_EQ(Count(f, "DelFile"), c.deletes);
    EXPECT_EQ(script.pending(), 0u);
  }
}

TEST_F(SessionTest, NamesWithoutRegardToCaseSayWhichItemWasTaken) {
  script.Push(host::Answer::Close(6));
  EXPECT_TRUE(Run({"cp", "ed.com", "a.txt", (dir / "out").string()}));
  EXPECT_EQ(Err(), "panoply-host: ed.com: took Ed.Com, of Ed.Com ED.COM\n");
  ASSERT_EQ(Copies(), 2);
  EXPECT_TRUE(fs::exists(dir / "out" / "Ed.Com"));
  EXPECT_TRUE(fs::exists(dir / "out" / "A.TXT"));
}

// The shell's lines are split as a POSIX shell splits them and may hold several commands.
TEST_F(SessionTest, TheShellSplitsLinesIntoCommands) {
  std::deque<std::pair<cli::LineEnd, std::string>> lines = {
      {cli::LineEnd::kLine, "cp \"read me.txt\" '" + (dir / "o1").string() + "'"},
      {cli::LineEnd::kEscape, ""},
      {cli::LineEnd::kLine, "cd DIR ls"},
      {cli::LineEnd::kLine, "cp \"open"},
      {cli::LineEnd::kLine, "bogus"},
      {cli::LineEnd::kLine, "cd .. info quit ls"},
      {cli::LineEnd::kLine, "ls"},  // after quit: not read
  };
  script.Push(host::Answer::Close(6));
  const bool ok = session->Shell([&](std::string& line) {
    if (lines.empty()) return cli::LineEnd::kEnd;
    const auto [end, text] = lines.front();
    lines.pop_front();
    line = text;
    return end;
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_TRUE(fs::exists(dir / "o1" / "read me.txt"));
  const std::string shown = Out();
  EXPECT_NE(shown.find("panoply:\\> panoply:\\> panoply:\\>            5  IN.TXT\npanoply:\\DIR> "), std::string::npos)
      << shown;
  EXPECT_NE(shown.find("Folder:  \\\n"), std::string::npos) << shown;
  EXPECT_EQ(Err(), "panoply-host: a double quote is left open\npanoply-host: unknown command bogus\n");
}

TEST_F(SessionTest, ConfigSaysWhetherTheSettingsWereStored) {
  script.Push(host::Answer::Close(7));
  EXPECT_TRUE(Run({"config"}));
  EXPECT_EQ(Out(), "Settings stored.\n");
  script.Push(host::Answer::Close(8));
  EXPECT_TRUE(Run({"config"}));
  EXPECT_EQ(Out(), "Settings unchanged.\n");
  // OK, but the store cannot be written: its folder is a file.
  testsupport::WriteFile(dir / "plain", "x");
  platform::SetRegistryStorePath((dir / "plain" / "registry.txt").string());
  script.Push(host::Answer::Close(7));
  EXPECT_FALSE(Run({"config"}));
  EXPECT_EQ(Out(), "");
  EXPECT_EQ(Err(),
            "panoply-host: the settings could not be stored in " + (dir / "plain" / "registry.txt").string() + "\n");
}

}  // namespace
