// The commands of panoply-host: one table, read by the command line and by the shell
// alike, and by the help text.
//
// A command takes the words after it up to the next command word; the table says how
// many it takes. So "cd disk_01 ls info" is three commands, on the command line and on
// one line of the shell.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class CommandId { kLs, kCd, kInfo, kPut, kCp, kMv, kCat, kRm, kConfig, kHelp, kQuit };

struct CommandSpec {
  CommandId id;
  std::vector<const char*> names;  // the first is the one shown
  const char* words;               // how its words are shown in the help
  std::size_t fewest, most;        // words it takes
  bool shellOnly;
  const char* help;  // its lines in the help, "\n" between them
};

const std::vector<CommandSpec>& CommandTable();

// The command of a word; null for a word that is none (shellOnly commands only in the
// shell).
const CommandSpec* FindCommand(std::string_view word, bool shell);

struct Command {
  const CommandSpec* spec;
  std::vector<std::string> words;
};

// The words as commands; nothing, with the reason in `error`, for a word where a
// command must stand that is none, or a command with too few or too many words.
std::optional<std::vector<Command>> ParseCommands(const std::vector<std::string>& words, bool shell,
                                                  std::string& error);

// The help's list of commands, one command a paragraph, indented by two blanks.
std::string CommandsHelp(bool shell);

}  // namespace cli
