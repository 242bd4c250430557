// panoply-host: runs the disk-image panel plug-in from a terminal, as a file manager would.
// This file only joins the units of host/cli: options, console answers, the session and
// its commands, the new image.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/new_image.h"
#include "cli/options.h"
#include "cli/session.h"
#include "cli/terminal.h"
#include "host/display.h"
#include "host/host.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNotAccepted = 3;

int BadUsage(const std::string& error, bool showUsage) {
  std::cerr << "panoply-host: " << error << "\n";
  if (showUsage) std::cerr << cli::UsageText();
  return kExitUsage;
}

cli::LineEnd ReadStandardInput(std::string& line) { return cli::ReadInputLine(line, std::cout); }

// The plug-in's menu and configuration strings, as the file manager lists them.
void ShowPluginStrings(host::Host& h) {
  PluginInfo info{};
  h.plugin().GetPluginInfo(&info);
  const auto field = [](const char* text) { return host::DisplayText(text ? text : ""); };
  for (int i = 0; i < info.PluginMenuStringsNumber; ++i)
    std::cout << "Plug-in menu:   " << field(info.PluginMenuStrings[i]) << "\n";
  for (int i = 0; i < info.PluginConfigStringsNumber; ++i)
    std::cout << "Configuration:  " << field(info.PluginConfigStrings[i]) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  cli::Options o;
  std::string error;
  bool showUsage = false;
  switch (cli::ParseOptions(argc, argv, o, error, showUsage)) {
    case cli::Parsed::kHelp: std::cout << cli::UsageText(); return kExitOk;
    case cli::Parsed::kBadUsage: return BadUsage(error, showUsage);
    case cli::Parsed::kRun: break;
  }
  // The whole command line is read before anything runs: a word that is no command, or
  // a command with too few or too many words, is bad usage.
  std::vector<cli::Command> commands;
  if (o.args.size() > 1) {
    const std::vector<std::string> words(o.args.begin() + 1, o.args.end());
    const auto parsed = cli::ParseCommands(words, false, error);
    if (!parsed) return BadUsage(error + " (panoply-host --help lists the commands)", false);
    commands = *parsed;
  }
  if (o.plugin.empty()) o.plugin = cli::DefaultPluginPath(argv[0]);

  // A language without its file would fall back to English without a word: refuse it.
  if (const auto languages = cli::LanguagesBeside(o.plugin);
      std::find(languages.begin(), languages.end(), o.language) == languages.end()) {
    std::cerr << "panoply-host: no texts in the language \"" << o.language << "\" beside " << o.plugin;
    if (!languages.empty()) {
      std::cerr << " (there are:";
      for (const auto& l : languages) std::cerr << " " << l;
      std::cerr << ")";
    }
    std::cerr << "\n";
    return kExitUsage;
  }

  std::ifstream answers;
  cli::AnswerMode mode = isatty(STDIN_FILENO) ? cli::AnswerMode::kTerminal : cli::AnswerMode::kEscape;
  if (o.yes) mode = cli::AnswerMode::kYes;
  if (!o.answersFile.empty()) {
    answers.open(o.answersFile);
    if (!answers) {
      std::cerr << "panoply-host: cannot read the answers file " << o.answersFile << ": " << std::strerror(errno)
                << "\n";
      return kExitUsage;
    }
    mode = cli::AnswerMode::kFile;
  }
  cli::ProgressLine progress(isatty(STDERR_FILENO) ? cli::ProgressLine::kInPlace
                             : o.progress          ? cli::ProgressLine::kLines
                                                   : cli::ProgressLine::kOff,
                             std::cerr, [] { return cli::TerminalColumns(STDERR_FILENO); });

  host::HostOptions hostOptions;
  hostOptions.language = o.language;
  hostOptions.registryFile = o.registryFile;
  host::Host h(hostOptions);
  cli::ConsoleResponder console(mode, &answers, progress, std::cout, std::cerr, &ReadStandardInput);
  cli::QuestionWatch questions(console);
  h.SetResponder(&questions);
  if (!h.Load(o.plugin, &error)) {
    std::cerr << "panoply-host: " << error << "\n";
    return kExitUsage;
  }
  h.Start();
  cli::Session session(h, progress, questions, std::cout, std::cerr);
  // Exit code 1 also when the plug-in reported an error in a box or an answer was missing.
  const auto result = [&](bool ok) {
    return ok && !console.errorShown && !console.answersFailed ? kExitOk : kExitFailed;
  };

  if (o.configure) return result(session.Config());
  if (o.menu) {
    h.OpenFromMenu();
    h.ClosePanel();
    return result(true);
  }
  if (!o.newFile.empty()) {
    cli::ConsoleResponder others(cli::AnswerMode::kEscape, nullptr, progress, std::cout, std::cerr);
    return cli::RunNew(h, others, o.newFile, o.format, std::cerr) == 0 ? kExitOk : kExitFailed;
  }
  if (o.args.empty()) {
    ShowPluginStrings(h);
    return kExitOk;
  }

  const std::string& image = o.args[0];
  if (const std::string why = cli::UnopenableReason(image); !why.empty()) {
    std::cerr << "panoply-host: cannot open " << image << " for reading and writing: " << why << "\n";
    return kExitFailed;
  }
  const bool opened = h.OpenFile(image);
  progress.Clear();
  if (!opened) {
    std::cerr << "panoply-host: no format module accepts " << image << "\n";
    return kExitNotAccepted;
  }
  bool ok = h.ReadPanel();
  progress.Clear();
  if (!ok) std::cerr << "panoply-host: the image cannot be read\n";
  if (commands.empty()) return result(session.Shell(&ReadStandardInput) && ok);
  return result(session.RunAll(commands) && ok);
}
