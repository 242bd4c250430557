#include "cli/commands.h"

#include <limits>

namespace cli {

namespace {

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

// How a command names its words in an error.
std::string Wants(const CommandSpec& c) {
  const std::string name = c.names.front();
  if (c.most == 0) return name + " takes no words";
  return name + " takes " + c.words;
}

}  // namespace

const std::vector<CommandSpec>& CommandTable() {
  static const std::vector<CommandSpec> table = {
      {CommandId::kLs, {"ls"}, "[DIR]", 0, 1, false, "list the current folder of the image, or DIR (the folder stays)"},
      {CommandId::kCd,
       {"cd"},
       "DIR",
       1,
       1,
       false,
       "change the folder: a name, a path with \"\\\", \"..\", or \"\\\" for the root"},
      {CommandId::kInfo, {"info"}, "", 0, 0, false, "panel title, format, current folder and host file"},
      {CommandId::kPut,
       {"put"},
       "FILE...",
       1,
       kAny,
       false,
       "copy PC files (named from the working directory, as typed) into the\n"
       "image's folder that the put dialog names"},
      {CommandId::kCp,
       {"cp"},
       "ITEM... DEST",
       2,
       kAny,
       false,
       "copy items of the image into the PC folder DEST (made, level by\n"
       "level, when missing) after the copy dialog, which shows DEST"},
      {CommandId::kMv,
       {"mv"},
       "ITEM... DEST",
       2,
       kAny,
       false,
       "the same, then delete each item in the image once the PC holds it\n"
       "whole (a folder: with every file listed below it)"},
      {CommandId::kCat,
       {"cat"},
       "ITEM",
       1,
       1,
       false,
       "write a file of the image to standard output (through a private\n"
       "temporary folder)"},
      {CommandId::kRm, {"rm"}, "ITEM...", 1, kAny, false, "delete items of the image after the confirmation"},
      {CommandId::kConfig, {"config"}, "", 0, 0, false, "the plug-in's settings dialog"},
      {CommandId::kHelp, {"help"}, "", 0, 0, true, "this list"},
      {CommandId::kQuit, {"quit", "exit", "q"}, "", 0, 0, true, "leave the shell"},
  };
  return table;
}

const CommandSpec* FindCommand(std::string_view word, bool shell) {
  for (const CommandSpec& c : CommandTable()) {
    if (c.shellOnly && !shell) continue;
    for (const char* name : c.names)
      if (word == name) return &c;
  }
  return nullptr;
}

std::optional<std::vector<Command>> ParseCommands(const std::vector<std::string>& words, bool shell,
                                                  std::string& error) {
  std::vector<Command> out;
  for (std::size_t i = 0; i < words.size();) {
    const CommandSpec* spec = FindCommand(words[i], shell);
    if (!spec) {
      error = "unknown command " + words[i];
      return std::nullopt;
    }
    Command c{spec, {}};
    for (++i; i < words.size() && !FindCommand(words[i], shell); ++i) c.words.push_back(words[i]);
    if (c.words.size() < spec->fewest || c.words.size() > spec->most) {
      error = Wants(*spec);
      return std::nullopt;
    }
    out.push_back(std::move(c));
  }
  return out;
}

std::string CommandsHelp(bool shell) {
  std::string out;
  for (const CommandSpec& c : CommandTable()) {
    if (c.shellOnly && !shell) continue;
    std::string head = "  " + std::string(c.names.front()) + (*c.words ? " " + std::string(c.words) : "");
    // The text starts in column 15, on the command's line when the command leaves room.
    const std::string indent(15, ' ');
    if (head.size() < indent.size() - 1) {
      head.resize(indent.size(), ' ');
    } else {
      head += "\n" + indent;
    }
    out += head;
    for (const char* p = c.help; *p; ++p) out += *p == '\n' ? "\n" + indent : std::string(1, *p);
    out += c.shellOnly ? " (shell only)\n" : "\n";
  }
  return out;
}

}  // namespace cli
