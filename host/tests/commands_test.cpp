// Words to commands: one grammar for the command line and the shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

using Words = std::vector<std::string>;

// "name(word,word) name()" for a list of commands, or "error: ..." when there is none.
std::string Parsed(const Words& words, bool shell) {
  std::string error;
  const auto commands = cli::ParseCommands(words, shell, error);
  if (!commands) return "error: " + error;
  std::string out;
  for (const cli::Command& c : *commands) {
    out += (out.empty() ? "" : " ") + std::string(c.spec->names.front()) + "(";
    for (size_t i = 0; i < c.words.size(); ++i) out += (i ? "," : "") + c.words[i];
    out += ")";
  }
  return out;
}

TEST(Commands, EachTakesTheWordsUpToTheNextCommand) {
  struct Case {
    Words words;
    bool shell;
    std::string parsed;
  };
  const Case cases[] = {
      {{}, false, ""},
      {{"ls"}, false, "ls()"},
      {{"cd", "disk_01", "ls", "info"}, false, "cd(disk_01) ls() info()"},
      {{"ls", "disk_02", "cd", "\\"}, false, "ls(disk_02) cd(\\)"},
      {{"cp", "a", "b", "*.txt", "out", "rm", "#3"}, false, "cp(a,b,*.txt,out) rm(#3)"},
      {{"put", "one.txt", "two.txt"}, false, "put(one.txt,two.txt)"},
      {{"cat", "x.bas"}, false, "cat(x.bas)"},
      {{"config"}, false, "config()"},
      {{"bogus"}, false, "error: unknown command bogus"},
      {{"cd", "a", "b"}, false, "error: cd takes DIR"},
      {{"cd"}, false, "error: cd takes DIR"},
      {{"ls", "a", "b"}, false, "error: ls takes [DIR]"},
      {{"info", "x"}, false, "error: info takes no words"},
      {{"cp", "a"}, false, "error: cp takes ITEM... DEST"},
      {{"mv", "a", "ls"}, false, "error: mv takes ITEM... DEST"},
      {{"cat", "a", "b"}, false, "error: cat takes ITEM"},
      {{"rm"}, false, "error: rm takes ITEM..."},
      {{"put"}, false, "error: put takes FILE..."},
      // help and quit are the shell's own: on the command line they are ordinary words.
      {{"help"}, false, "error: unknown command help"},
      {{"cp", "q", "out"}, false, "cp(q,out)"},
      {{"help"}, true, "help()"},
      {{"cd", "disk_01", "quit"}, true, "cd(disk_01) quit()"},
      {{"exit"}, true, "quit()"},
      {{"q"}, true, "quit()"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parsed(c.words, c.shell), c.parsed);
}

TEST(Commands, TheHelpGivesEachCommandItsLines) {
  const std::string shell = cli::CommandsHelp(true), line = cli::CommandsHelp(false);
  EXPECT_NE(shell.find("  quit         leave the shell (shell only)\n"), std::string::npos) << shell;
  EXPECT_EQ(line.find("quit"), std::string::npos);
  // A command too long for the first column starts its text on the next line.
  EXPECT_NE(line.find("  cp ITEM... DEST\n               copy items"), std::string::npos) << line;
  EXPECT_EQ(line.find("  ls [DIR]     list"), 0u) << line;
}

}  // namespace
