// The commands of panoply-host run against the open panel of our host: what ls, cd,
// info, config, put, cp, mv, cat and rm do, and the shell that reads them line by line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/terminal.h"
#include "host/host.h"

namespace cli {

class Session {
 public:
  // Listings and texts go to `out`, failures to `err`; `questions` tells whether a
  // command's question was answered with Esc or Cancel.
  Session(host::Host& h, ProgressLine& progress, const QuestionWatch& questions, std::ostream& out, std::ostream& err);

  // One command; false when it failed, did nothing, or a question of it was cancelled.
  bool Run(const Command& command);
  // The commands in order, up to the first that fails.
  bool RunAll(const std::vector<Command>& commands);
  // Lines from `read` (the prompt written to `out` before each), each split into words
  // as a POSIX shell does and read as commands, until the end of the input or quit.
  // False when a command failed.
  bool Shell(const LineReader& read);
  // The settings dialog: "Settings stored." or "Settings unchanged."; false, with the
  // store named, when OK could not store them.
  bool Config();

 private:
  bool List(const std::string& dir);
  bool Cd(const std::string& dir);
  bool Info();
  bool Put(const std::vector<std::string>& files);
  bool Items(CommandId id, const std::vector<std::string>& words);
  int View(const std::vector<int>& items);
  bool Resolve(const std::string& word, std::vector<int>& items);
  bool ChangeDirectory(const std::string& typed);
  bool Fail(const std::string& what);

  host::Host& h_;
  ProgressLine& progress_;
  const QuestionWatch& questions_;
  std::ostream& out_;
  std::ostream& err_;
};

// Why the plug-in could not open the file as an image whatever its format: it opens
// images for reading and writing. Empty when the file can be opened so.
std::string UnopenableReason(const std::string& path);

}  // namespace cli
