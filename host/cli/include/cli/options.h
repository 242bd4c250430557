// The command line of panoply-host: its options, the words after them, and the help.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Options {
  std::string plugin;  // empty: DefaultPluginPath
  std::string language = "en";
  std::string registryFile;  // empty: the platform's default store
  std::string answersFile;
  std::string newFile, format;
  bool configure = false, yes = false, progress = false, menu = false;
  std::vector<std::string> args;  // IMAGE and the commands after it
};

enum class Parsed { kRun, kHelp, kBadUsage };

// The options may stand anywhere; a word after IMAGE that starts with "-" and is no
// option belongs to the commands. kBadUsage with the reason in `error`, and `showUsage`
// when the help is the answer (an option unknown or without its value).
Parsed ParseOptions(int argc, const char* const* argv, Options& out, std::string& error, bool& showUsage);

// The help of --help, with the commands of the command table.
std::string UsageText();

// $PANOPLY_PLUGIN, else Panoply.so beside this program, else the build tree's.
std::string DefaultPluginPath(const char* argv0);

// The languages whose files lie beside the plug-in ("Panoply.ru.lng" gives "ru"), sorted.
std::vector<std::string> LanguagesBeside(const std::string& plugin);

}  // namespace cli
