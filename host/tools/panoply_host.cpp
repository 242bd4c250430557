// panoply-host: runs the disk-image panel plug-in from a terminal, as a file manager would.
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/open_file.h"
#include "host/answers.h"
#include "host/display.h"
#include "host/host.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNotAccepted = 3;

const char* kUsage = R"(Usage: panoply-host [OPTIONS] [IMAGE [COMMAND [ARG]]...]
       panoply-host [OPTIONS] --menu
       panoply-host [OPTIONS] --new FILE [--format LONGNAME]

Loads the disk-image panel plug-in and drives it like a file manager.

Without IMAGE it shows the plug-in's menu and configuration strings.
With IMAGE it offers that file to the plug-in; when a format module accepts it, the
commands given after it run in order, or, without commands, a shell reads commands
from standard input.

Commands:
  ls [DIR]     list the current folder of the image, or DIR (the folder stays)
  cd DIR       change the folder: a name, a path with "\", "..", or "\" for the root
  info         panel title, format, current folder and host file
  put FILE...  copy PC files (named from the working directory, as typed) into the
               image's folder that the put dialog names; the files run up to the
               next command word
  cp ITEM... DEST
               copy items of the image into the PC folder DEST (made, level by
               level, when missing) after the copy dialog, which shows DEST
  mv ITEM... DEST
               the same, then delete each item in the image once its copy is
               whole on the PC
  cat ITEM     write a file of the image to standard output (through a private
               temporary folder)
  rm ITEM...   delete items of the image after the confirmation
  config       the plug-in's settings dialog
  help         this list (shell only)
  quit         leave the shell

ITEM is a name in the current folder as ls shows it, #N for the N-th line of ls, or a
pattern with * and ? (in double quotes at the shell); the items and the words up to
the next command word belong to the command. Without a terminal, --yes or --answers,
every question is answered with Esc, so nothing is copied or deleted unasked.

Names are typed as they are shown: in UTF-8, also for names whose bytes in the image
are code page 866.

Options:
  --plugin PATH     the plug-in library (default: $PANOPLY_PLUGIN, else Panoply.so beside
                    this program, else the build tree's panoply/plugin/Panoply.so)
  --lang LANG       language of the plug-in's texts: en (default) or ru; a language
                    without its file beside the plug-in is refused
  --registry FILE   the settings store (default: $DESKTOOLS_REGISTRY_FILE, else
                    ~/.config/desktools/registry.txt)
  --configure       run the settings dialog and exit
  --menu            the plug-in's own menu, as the file manager's plug-in menu calls
                    it (no IMAGE): the default image format and new images
  --new FILE        make the new empty image FILE through that menu: the format
                    chooser is answered with LONGNAME (or, without --format, the first
                    format; a stored default is used as it is), the menu with its new
                    image item and the name dialog with FILE, which gets the format's
                    extension when its last part has no "." (and capitals when its
                    letters are all of one case); any other box is shown, answered
                    with Esc, and makes the exit code 1
  --format LONGNAME with --new: the format's long name, in any case; it becomes the
                    stored default
  --yes             answer every box, dialog and menu with Enter
  --answers FILE    answer them from FILE, one line each (see Answers)
  --progress        show progress boxes also when the error stream is no terminal
                    (one line each)
  -h, --help        this text

Answers: the plug-in's boxes, dialogs and menus are answered at the terminal when
standard input is one. Otherwise they are answered by --yes or --answers FILE, and
without either each is answered with Esc and the plug-in goes on as after Esc; commands
piped into the shell are never taken as answers. Boxes without buttons (progress) take
no answer; they show as one line on a terminal's error stream, updated in place, and
not at all when the error stream is redirected. A line of FILE answers
  a box       Enter or an empty line (first button), Esc, or N: button N (1 first)
  a menu      Enter or an empty line (selected item), Esc, or N: item N (1 first)
  a dialog    Enter or an empty line (default button), Esc, or N: the closing button,
              item N as listed (0 first); after Enter or N, blank-separated settings
              ITEM=TEXT for an edit line ("..." when TEXT holds blanks, with \" and
              \\ inside) and ITEM=on or ITEM=off for a check box; for example
              7 1=off 5="*.bas *.txt" closes the settings dialog with OK, hot
              keys off and two masks
Lines starting with "#" are skipped. Boxes answered without a terminal are shown on the
error stream with the answer taken. When FILE runs out, or a line fits no answer of its
box, that box gets Esc and the exit code is 1.

Names inside images are shown as UTF-8; bytes that are not UTF-8 are read as code page 866.

The plug-in opens an image for reading and writing, so IMAGE must be a file you may
change.

Exit codes: 0 done; 1 a command failed, the plug-in reported an error in a box (a
listing that could not read the whole image, for one), the answers ran out, or IMAGE
cannot be opened for reading and writing; 2 bad usage, an unknown language or the
plug-in did not load; 3 no format module accepts IMAGE.
)";

// One line of input without its line end and trailing blanks; false at the end of input
// (the prompt's line is ended then, so that what follows starts on a line of its own).
bool ReadLine(std::string& line) {
  std::cout.flush();
  if (!std::getline(std::cin, line)) {
    std::cout << "\n";
    return false;
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return true;
}

// A progress box (one without buttons) as one line on the error stream: on a terminal
// rewritten in place and cleared when the plug-in restores the screen; elsewhere one line
// each when asked for, else nothing.
class ProgressLine {
 public:
  enum Mode { kOff, kInPlace, kLines };
  explicit ProgressLine(Mode mode) : mode_(mode) {}

  void Show(const std::string& text) {
    if (mode_ == kLines) {
      std::cerr << text << "\n";
    } else if (mode_ == kInPlace) {
      std::cerr << "\r" << FitWidth(text) << "\x1b[K" << std::flush;
      shown_ = true;
    }
  }
  void Clear() {
    if (!shown_) return;
    std::cerr << "\r\x1b[K" << std::flush;
    shown_ = false;
  }

 private:
  // Cut to one column less than the terminal is wide, so the line never wraps.
  static std::string FitWidth(const std::string& text) {
    winsize ws{};
    const size_t columns = ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1 ? ws.ws_col - 1 : 79;
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
      if (seen++ == columns) return text.substr(0, i);
    }
    return text;
  }
  Mode mode_;
  bool shown_ = false;
};

// Where the answers to the plug-in's questions come from.
enum class AnswerMode { kTerminal, kYes, kFile, kEscape };

void PrintMessage(std::ostream& out, const host::MessageCall& call) {
  const size_t buttons = std::min(call.lines.size(), static_cast<size_t>(std::max(call.buttons, 0)));
  const size_t texts = call.lines.size() - buttons;
  out << "\n== " << host::DisplayText(call.lines.empty() ? "" : call.lines[0]) << " ==\n";
  for (size_t i = 1; i < texts; ++i) out << "   " << host::DisplayText(call.lines[i]) << "\n";
  for (size_t b = 0; b < buttons; ++b)
    out << "  [" << b + 1 << "] " << host::DisplayText(call.lines[texts + b]) << "\n";
}

void PrintDialog(std::ostream& out, const FarDialogItem* items, int count) {
  out << "\n";
  for (int i = 0; i < count; ++i) {
    const FarDialogItem& it = items[i];
    const std::string text = host::DisplayText(it.Data);
    switch (it.Type) {
      case DI_DOUBLEBOX: out << "== " << text << " ==\n"; break;
      case DI_CHECKBOX: out << "  " << i << ": [" << (it.Selected ? 'x' : ' ') << "] " << text << "\n"; break;
      case DI_EDIT: out << "  " << i << ": " << text << "_\n"; break;
      case DI_BUTTON: out << "  " << i << ": < " << text << (it.DefaultButton ? " > (Enter)" : " >") << "\n"; break;
      case DI_TEXT:
        if (it.Flags & DIF_SEPARATOR)
          out << "  ----\n";
        else
          out << "     " << text << "\n";
        break;
      default: break;
    }
  }
}

void PrintMenu(std::ostream& out, const host::MenuCall& call) {
  out << "\n== " << host::DisplayText(call.title) << " ==\n";
  for (size_t i = 0; i < call.items.size(); ++i) {
    if (call.items[i].separator)
      out << "      ----\n";
    else
      out << "  [" << i + 1 << "] " << host::DisplayText(call.items[i].text) << "\n";
  }
}

// Shows the plug-in's boxes and answers them: at the terminal, or without one by Enter,
// from an answers file, or by Esc.
class ConsoleResponder : public host::Responder {
 public:
  ConsoleResponder(AnswerMode mode, std::istream* answers, ProgressLine& progress)
      : mode_(mode), answers_(answers), progress_(progress) {}

  // A warning box with a single button is the plug-in reporting a failure.
  bool errorShown = false;
  // An answer was missing from the answers file, or a line fitted no answer.
  bool answersFailed = false;

  int OnMessage(const host::MessageCall& call) override {
    progress_.Clear();
    if ((call.flags & FMSG_WARNING) && call.buttons == 1) errorShown = true;
    PrintMessage(Out(), call);
    const size_t buttons = std::min(call.lines.size(), static_cast<size_t>(call.buttons));
    const size_t texts = call.lines.size() - buttons;
    auto told = [&](int b) {
      Out() << "  -> " << (b < 0 ? "Esc" : host::DisplayText(call.lines[texts + static_cast<size_t>(b)])) << "\n";
      return b;
    };
    switch (mode_) {
      case AnswerMode::kTerminal: {
        std::cout << "Choose a button (Enter: 1, q: Esc): ";
        std::string line;
        if (!ReadLine(line) || line == "q") return -1;
        if (line.empty()) return 0;
        const int b = std::atoi(line.c_str()) - 1;
        return b >= 0 && b < static_cast<int>(buttons) ? b : -1;
      }
      case AnswerMode::kYes: return told(0);
      case AnswerMode::kEscape: return told(-1);
      case AnswerMode::kFile: {
        const auto line = NextAnswer();
        if (!line) return told(-1);
        const auto b = host::ParseMessageAnswer(*line, call);
        return told(b ? *b : Unfit(*line));
      }
    }
    return -1;
  }

  void OnNotice(const host::MessageCall& call) override {
    std::string text;
    for (size_t i = 0; i < call.lines.size(); ++i)
      text += (i == 0 ? "[" : i == 1 ? "] " : " ") + host::DisplayText(call.lines[i]);
    if (call.lines.size() == 1) text += "]";
    progress_.Show(text);
  }

  void OnScreenRestored() override { progress_.Clear(); }

  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override {
    progress_.Clear();
    if (mode_ == AnswerMode::kTerminal) return TerminalDialog(call, items, count);
    PrintDialog(Out(), items, count);
    int closing = -1;
    if (mode_ == AnswerMode::kYes) {
      closing = Responder::OnDialog(call, items, count);
    } else if (mode_ == AnswerMode::kFile) {
      if (const auto line = NextAnswer()) {
        const auto r = host::ApplyDialogAnswer(*line, items, count);
        closing = r ? *r : Unfit(*line);
      }
    }
    Out() << "  -> "
          << (closing < 0                        ? "Esc"
              : items[closing].Type == DI_BUTTON ? "< " + host::DisplayText(items[closing].Data) + " >"
                                                 : std::string("Enter"))
          << "\n";
    return closing;
  }

  int OnMenu(const host::MenuCall& call) override {
    progress_.Clear();
    PrintMenu(Out(), call);
    int chosen = -1;
    switch (mode_) {
      case AnswerMode::kTerminal: {
        std::cout << "Choose (q: Esc): ";
        std::string line;
        if (!ReadLine(line) || line == "q" || line.empty()) return -1;
        const int n = std::atoi(line.c_str()) - 1;
        return n >= 0 && n < static_cast<int>(call.items.size()) ? n : -1;
      }
      case AnswerMode::kYes: chosen = Responder::OnMenu(call); break;
      case AnswerMode::kEscape: break;
      case AnswerMode::kFile:
        if (const auto line = NextAnswer()) {
          const auto r = host::ParseMenuAnswer(*line, call);
          chosen = r ? *r : Unfit(*line);
        }
        break;
    }
    Out() << "  -> " << (chosen < 0 ? "Esc" : host::DisplayText(call.items[static_cast<size_t>(chosen)].text)) << "\n";
    return chosen;
  }

 private:
  // Boxes answered at the terminal are part of the conversation on standard output;
  // boxes answered without one are reports, on the error stream.
  std::ostream& Out() { return mode_ == AnswerMode::kTerminal ? std::cout : std::cerr; }

  // The next answer line of the file, comments skipped; nothing (and a failure) at its end.
  std::optional<std::string> NextAnswer() {
    std::string line;
    while (answers_ && std::getline(*answers_, line)) {
      ++lineNumber_;
      if (!line.empty() && line[0] == '#') continue;
      return line;
    }
    if (!answersFailed) std::cerr << "panoply-host: the answers file has no more answers: Esc\n";
    answersFailed = true;
    return std::nullopt;
  }

  int Unfit(const std::string& line) {
    std::cerr << "panoply-host: answers line " << lineNumber_ << " (\"" << line << "\") fits no answer here: Esc\n";
    answersFailed = true;
    return -1;
  }

  int TerminalDialog(const host::DialogCall& call, FarDialogItem* items, int count) {
    for (;;) {
      PrintDialog(std::cout, items, count);
      std::cout << "N toggles a check box or presses a button, N=TEXT sets an edit line,\n"
                   "Enter presses the default button, q is Esc: ";
      std::string line;
      if (!ReadLine(line) || line == "q") return -1;
      if (line.empty()) return Responder::OnDialog(call, items, count);
      const size_t eq = line.find('=');
      const int n = std::atoi(line.substr(0, eq).c_str());
      if (n < 0 || n >= count || line[0] < '0' || line[0] > '9') continue;
      FarDialogItem& it = items[n];
      if (eq != std::string::npos && it.Type == DI_EDIT) {
        std::snprintf(it.Data, sizeof it.Data, "%s", line.substr(eq + 1).c_str());
      } else if (it.Type == DI_CHECKBOX) {
        it.Selected = !it.Selected;
      } else if (it.Type == DI_BUTTON) {
        return n;
      }
    }
  }

  AnswerMode mode_;
  std::istream* answers_;
  ProgressLine& progress_;
  int lineNumber_ = 0;
};

std::string DefaultPluginPath(const char* argv0) {
  if (const char* env = std::getenv("PANOPLY_PLUGIN"); env && *env) return env;
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(argv0, ec);
  const fs::path dir = exe.parent_path();
  for (const fs::path& p : {dir / "Panoply.so", dir / "../panoply/plugin/Panoply.so"})
    if (fs::exists(p, ec)) return fs::weakly_canonical(p, ec).string();
  return (dir / "Panoply.so").string();
}

// Why the plug-in could not open the file as an image whatever its format: it opens
// images for reading and writing. Empty when the file can be opened so.
std::string UnopenableReason(const std::string& path) {
  const common::Result<common::FileHandle> file = common::OpenRegularFile(path, {.access = common::Access::ReadWrite});
  return file ? std::string() : file.reason();
}

bool IsPutCommand(const std::string& word) { return word == "put"; }

// Commands on items of the image: cp, mv, cat, rm.
bool IsItemCommand(const std::string& word) { return word == "cp" || word == "mv" || word == "cat" || word == "rm"; }

bool IsCommand(const std::string& word) {
  return word == "ls" || word == "cd" || word == "info" || word == "config" || IsPutCommand(word) ||
         IsItemCommand(word);
}

// Counts the questions answered with Esc, whoever answers them: a command whose question
// was answered so was cancelled.
class EscapeCounter : public host::Responder {
 public:
  explicit EscapeCounter(host::Responder& inner) : inner_(inner) {}
  int escapes = 0;
  int OnMessage(const host::MessageCall& call) override { return Count(inner_.OnMessage(call)); }
  void OnNotice(const host::MessageCall& call) override { inner_.OnNotice(call); }
  void OnScreenRestored() override { inner_.OnScreenRestored(); }
  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override {
    return Count(inner_.OnDialog(call, items, count));
  }
  int OnMenu(const host::MenuCall& call) override { return Count(inner_.OnMenu(call)); }

 private:
  int Count(int answer) {
    escapes += answer < 0;
    return answer;
  }
  host::Responder& inner_;
};

std::string Field(const char* text) { return host::DisplayText(text ? text : ""); }

class Session {
 public:
  Session(host::Host& h, ProgressLine& progress) : h_(h), progress_(progress) {}

  bool List(const std::string& dir) {
    std::string back;
    if (!dir.empty()) {
      OpenPluginInfo info;
      h_.GetInfo(info);
      back = info.CurDir ? info.CurDir : "";
      if (!ChangeDirectory(dir)) return Fail("no folder " + dir);
    } else if (!h_.ReadPanel()) {
      return Fail("the image cannot be read");
    }
    progress_.Clear();
    for (const auto& item : h_.panelItems) {
      const auto& fd = item.FindData;
      const std::string name(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
      char size[32];
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        std::snprintf(size, sizeof size, "%12s", "<DIR>");
      else
        std::snprintf(size, sizeof size, "%12llu",
                      (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
      std::cout << size << "  " << host::DisplayText(name) << "\n";
    }
    if (!dir.empty()) {
      h_.ChangeDirectory("\\");
      if (!back.empty()) h_.ChangeDirectory(back);
    }
    return true;
  }

  bool Cd(const std::string& dir) {
    if (dir.empty()) return Fail("cd needs a folder");
    return ChangeDirectory(dir) || Fail("no folder " + dir);
  }

  bool Info() {
    OpenPluginInfo info;
    if (!h_.GetInfo(info)) return Fail("no panel");
    progress_.Clear();
    std::cout << "Title:   " << Field(info.PanelTitle) << "\n"
              << "Format:  " << Field(info.Format) << "\n"
              << "Folder:  \\" << Field(info.CurDir) << "\n"
              << "File:    " << Field(info.HostFile) << "\n";
    return true;
  }

  bool Config() {
    if (!h_.plugin().Configure) return false;
    return h_.plugin().Configure(0) != 0 || true;
  }

  // PutFiles of PC files; false when the plug-in did nothing or stopped.
  bool Put(const std::vector<std::string>& files) {
    if (files.empty()) return Fail("put needs files");
    std::string error;
    const int result = h_.Put(files, false, 0, &error);
    if (result < 0) return Fail(error);
    return result != 0 || Fail("put: nothing was copied, or the copy stopped");
  }

  // A command with its words: put takes them all; the others one word at most.
  bool Run(const std::string& cmd, const std::vector<std::string>& args) {
    if (IsPutCommand(cmd)) {
      const bool ok = Put(args);
      progress_.Clear();
      return ok;
    }
    if (IsItemCommand(cmd)) {
      const bool ok = ItemCommand(cmd, args);
      progress_.Clear();
      return ok;
    }
    return Run(cmd, args.empty() ? std::string() : args[0]);
  }

  bool Run(const std::string& cmd, const std::string& arg) {
    bool ok;
    if (cmd == "ls") {
      ok = List(arg);
    } else if (cmd == "cd") {
      ok = Cd(arg);
    } else if (cmd == "info") {
      ok = Info();
    } else if (cmd == "config") {
      ok = Config();
    } else {
      ok = Fail("unknown command " + cmd);
    }
    progress_.Clear();
    return ok;
  }

  // Commands from standard input until its end or quit. False when a command failed.
  bool Shell() {
    bool ok = true;
    std::string line;
    for (;;) {
      OpenPluginInfo info;
      h_.GetInfo(info);
      std::cout << "panoply:\\" << Field(info.CurDir) << "> ";
      if (!ReadLine(line)) break;
      std::istringstream in(line);
      std::string cmd, arg;
      in >> cmd;
      std::getline(in >> std::ws, arg);
      if (cmd.empty()) continue;
      if (cmd == "quit" || cmd == "exit" || cmd == "q") {
        std::cout << "\n";
        break;
      }
      if (cmd == "help") {
        std::cout << "ls [DIR], cd DIR, info, config, put FILE..., cp ITEM... DEST, mv ITEM... DEST, cat ITEM, "
                     "rm ITEM..., quit\n";
        continue;
      }
      if (IsPutCommand(cmd) || IsItemCommand(cmd)) {
        std::istringstream words(arg);
        std::vector<std::string> files;
        for (std::string w; words >> w;) files.push_back(w);
        ok = Run(cmd, files) && ok;
        continue;
      }
      ok = Run(cmd, arg) && ok;
    }
    return ok;
  }

  static constexpr int kRefused = -2;  // a command refused before the plug-in was called

  // The questions answered with Esc so far, to tell a cancelled command.
  void WatchEscapes(const int* escapes) { escapes_ = escapes; }

  // cp, mv, cat and rm: false when the plug-in did nothing, failed, or a question was
  // answered with Esc.
  bool ItemCommand(const std::string& cmd, const std::vector<std::string>& words) {
    const bool copy = cmd == "cp" || cmd == "mv";
    if (copy ? words.size() < 2 : cmd == "cat" ? words.size() != 1 : words.empty())
      return Fail(cmd + (copy ? " needs items and a destination" : cmd == "cat" ? " needs one item" : " needs items"));
    std::vector<int> items;
    for (size_t i = 0; i < words.size() - (copy ? 1 : 0); ++i)
      if (!Resolve(words[i], items)) return false;
    const int escapesBefore = escapes_ ? *escapes_ : 0;
    int result;
    if (copy) {
      result = h_.Copy(items, words.back(), cmd == "mv", 0);
    } else if (cmd == "cat") {
      result = View(items);
    } else {
      result = h_.Remove(items, 0);
    }
    for (const auto& e : h_.callErrors)
      std::cerr << "panoply-host: the plug-in broke a rule of the host: " << e << "\n";
    const bool checked = h_.callErrors.empty();
    h_.callErrors.clear();
    if (result == kRefused) return false;
    if (result < 0) return Fail(cmd + ": the plug-in cannot do this");
    if (result == 0) return Fail(cmd + ": nothing was done");
    if (escapes_ && *escapes_ != escapesBefore) return Fail(cmd + ": cancelled");
    return checked;
  }

 private:
  // The items a typed word names, appended in panel order (each once): a name as shown,
  // "#N" for the N-th item, or a pattern with "*" and "?".
  bool Resolve(const std::string& word, std::vector<int>& items) {
    const auto& all = h_.panelItems;
    std::vector<int> found;
    if (word.size() > 1 && word[0] == '#' && word.find_first_not_of("0123456789", 1) == std::string::npos) {
      const size_t n = std::strtoul(word.c_str() + 1, nullptr, 10);
      if (n >= 1 && n <= all.size()) found.push_back(static_cast<int>(n - 1));
    } else {
      const bool pattern = word.find_first_of("*?") != std::string::npos;
      for (size_t i = 0; i < all.size(); ++i) {
        const auto& fd = all[i].FindData;
        const std::string raw(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
        const std::string shown = host::DisplayText(raw);
        const bool match =
            pattern ? fnmatch(word.c_str(), shown.c_str(), FNM_NOESCAPE) == 0 : word == shown || word == raw;
        if (match) found.push_back(static_cast<int>(i));
      }
    }
    if (found.empty()) return Fail("no item " + word);
    for (int i : found)
      if (std::find(items.begin(), items.end(), i) == items.end()) items.push_back(i);
    return true;
  }

  // The file viewed into a private folder, written to standard output; the folder removed.
  int View(const std::vector<int>& items) {
    const auto& fd = h_.panelItems[static_cast<size_t>(items.front())].FindData;
    if (items.size() != 1 || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      Fail("cat shows one file");
      return kRefused;
    }
    std::string folder;
    const int result = h_.View(items.front(), &folder);
    if (!folder.empty()) {
      namespace fs = std::filesystem;
      std::error_code ec;
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
      if (result == 1) {
        progress_.Clear();
        for (const auto& f : files) std::cout << std::ifstream(f, std::ios::binary).rdbuf();
        std::cout.flush();
      }
      fs::remove_all(folder, ec);
    }
    return result;
  }

  // A typed name as shown: its own bytes first (names that are UTF-8 in the image), then
  // its code page 866 form (names shown from code page 866 bytes).
  bool ChangeDirectory(const std::string& typed) {
    if (h_.ChangeDirectory(typed)) return true;
    const auto oem = host::Utf8ToCp866(typed);
    return oem && *oem != typed && h_.ChangeDirectory(*oem);
  }
  bool Fail(const std::string& what) {
    progress_.Clear();
    std::cerr << "panoply-host: " << what << "\n";
    return false;
  }
  host::Host& h_;
  ProgressLine& progress_;
  const int* escapes_ = nullptr;
};

// The languages whose files lie beside the plug-in ("Panoply.ru.lng" gives "ru").
std::vector<std::string> LanguagesBeside(const std::string& plugin) {
  namespace fs = std::filesystem;
  const fs::path p(plugin);
  const std::string prefix = p.stem().string() + ".";
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::directory_iterator(p.parent_path().empty() ? fs::path(".") : p.parent_path(), ec);
       !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > prefix.size() + 4 && name.starts_with(prefix) && name.ends_with(".lng"))
      out.push_back(name.substr(prefix.size(), name.size() - prefix.size() - 4));
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Answers the plug-in's menu on the way to one new image: the format chooser with the
// format wanted (the first without one), the menu with its new-image item (with a format
// wanted, its default-format item first, once), the name dialog with the file name.
// Every other box, or one of these coming back, goes to `others` (which shows it and
// answers Esc) and counts as a failure.
class NewImageResponder : public host::Responder {
 public:
  NewImageResponder(const host::Host& h, std::string file, std::string format, host::Responder& others)
      : h_(h), file_(std::move(file)), format_(std::move(format)), others_(others) {}

  bool failed = false;
  bool named = false;  // the name dialog was answered with the file

  int OnMenu(const host::MenuCall& call) override {
    if (failed) return others_.OnMenu(call);  // after a failure nothing goes on
    if (call.title == h_.language().Text(kChooserTitle) && !chosen_) {
      chosen_ = true;
      for (size_t i = 0; i < call.items.size(); ++i) {
        const std::string& text = call.items[i].text;
        const std::string name = text.size() > 2 ? text.substr(2) : std::string();  // after the hot-key prefix
        if (format_.empty() || SameText(name, format_)) return static_cast<int>(i);
      }
      std::cerr << "panoply-host: no format module has the format \"" << format_ << "\"\n";
      failed = true;
      return -1;
    }
    if (call.helpTopic == kMenuHelpTopic && menus_ < 2) {
      ++menus_;
      // A wanted format replaces the stored default through the menu's chooser item.
      if (!format_.empty() && !chosen_) return kChooserItem;
      return kNewImageItem;
    }
    failed = true;
    return others_.OnMenu(call);
  }

  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override {
    for (int i = 0; i < count && !named && !failed; ++i) {
      if (items[i].Type != DI_EDIT || host::RecordOf(items[i]).history != kNameHistory) continue;
      if (file_.size() >= sizeof items[i].Data) break;
      std::memcpy(items[i].Data, file_.c_str(), file_.size() + 1);
      named = true;
      return i;
    }
    failed = true;
    return others_.OnDialog(call, items, count);
  }

  int OnMessage(const host::MessageCall& call) override {
    failed = true;
    return others_.OnMessage(call);
  }
  void OnNotice(const host::MessageCall& call) override { others_.OnNotice(call); }
  void OnScreenRestored() override { others_.OnScreenRestored(); }

 private:
  static constexpr int kChooserTitle = 21;
  static constexpr const char* kMenuHelpTopic = "ImageGlobalFunc";
  static constexpr const char* kNameHistory = "NewEdit";
  static constexpr int kNewImageItem = 0, kChooserItem = 3;
  const host::Host& h_;
  std::string file_, format_;
  host::Responder& others_;
  bool chosen_ = false;
  int menus_ = 0;
};

// --new: one new image through the plug-in's menu. 0 when it was made without a box.
int RunNew(host::Host& h, host::Responder& others, const std::string& file, const std::string& format) {
  NewImageResponder answers(h, file, format, others);
  h.SetResponder(&answers);
  h.OpenFromMenu();
  h.ClosePanel();
  h.SetResponder(&others);
  if (!answers.named) std::cerr << "panoply-host: no new image was made\n";
  return answers.named && !answers.failed ? kExitOk : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  host::HostOptions options;
  options.keepLog = false;  // nothing here reads the log
  std::string plugin, answersFile, newFile, format;
  bool configure = false, yes = false, progressLines = false, menu = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "-h" || a == "--help") {
      std::cout << kUsage;
      return kExitOk;
    } else if (a == "--plugin") {
      if (!value(plugin)) return std::cerr << kUsage, kExitUsage;
    } else if (a == "--lang") {
      if (!value(options.language)) return std::cerr << kUsage, kExitUsage;
    } else if (a == "--registry") {
      if (!value(options.registryFile)) return std::cerr << kUsage, kExitUsage;
    } else if (a == "--answers") {
      if (!value(answersFile)) return std::cerr << kUsage, kExitUsage;
    } else if (a == "--yes") {
      yes = true;
    } else if (a == "--progress") {
      progressLines = true;
    } else if (a == "--configure") {
      configure = true;
    } else if (a == "--menu") {
      menu = true;
    } else if (a == "--new") {
      if (!value(newFile) || newFile.empty()) return std::cerr << kUsage, kExitUsage;
    } else if (a == "--format") {
      if (!value(format) || format.empty()) return std::cerr << kUsage, kExitUsage;
    } else if (a.size() > 1 && a[0] == '-' && args.empty()) {
      std::cerr << "panoply-host: unknown option " << a << "\n" << kUsage;
      return kExitUsage;
    } else {
      args.push_back(a);
    }
  }
  if (yes && !answersFile.empty()) {
    std::cerr << "panoply-host: --yes and --answers exclude each other\n";
    return kExitUsage;
  }
  if ((menu || !newFile.empty()) && (!args.empty() || configure || (menu && !newFile.empty()))) {
    std::cerr << "panoply-host: --menu and --new take no IMAGE and exclude each other and --configure\n";
    return kExitUsage;
  }
  if (!format.empty() && newFile.empty()) {
    std::cerr << "panoply-host: --format goes with --new\n";
    return kExitUsage;
  }
  if (plugin.empty()) plugin = DefaultPluginPath(argv[0]);

  // A language without its file would fall back to English without a word: refuse it.
  if (const auto languages = LanguagesBeside(plugin);
      std::find(languages.begin(), languages.end(), options.language) == languages.end()) {
    std::cerr << "panoply-host: no texts in the language \"" << options.language << "\" beside " << plugin;
    if (!languages.empty()) {
      std::cerr << " (there are:";
      for (const auto& l : languages) std::cerr << " " << l;
      std::cerr << ")";
    }
    std::cerr << "\n";
    return kExitUsage;
  }

  std::ifstream answers;
  AnswerMode mode = isatty(STDIN_FILENO) ? AnswerMode::kTerminal : AnswerMode::kEscape;
  if (yes) mode = AnswerMode::kYes;
  if (!answersFile.empty()) {
    answers.open(answersFile);
    if (!answers) {
      std::cerr << "panoply-host: cannot read the answers file " << answersFile << ": " << std::strerror(errno) << "\n";
      return kExitUsage;
    }
    mode = AnswerMode::kFile;
  }
  ProgressLine progress(isatty(STDERR_FILENO) ? ProgressLine::kInPlace
                        : progressLines       ? ProgressLine::kLines
                                              : ProgressLine::kOff);

  host::Host h(options);
  ConsoleResponder console(mode, &answers, progress);
  EscapeCounter counter(console);
  h.SetResponder(&counter);
  std::string error;
  if (!h.Load(plugin, &error)) {
    std::cerr << "panoply-host: " << error << "\n";
    return kExitUsage;
  }
  h.Start();
  Session session(h, progress);
  session.WatchEscapes(&counter.escapes);
  // Exit code 1 also when the plug-in reported an error in a box or an answer was missing.
  auto result = [&](bool ok) { return ok && !console.errorShown && !console.answersFailed ? kExitOk : kExitFailed; };

  if (configure) {
    const int stored = h.plugin().Configure(0);
    std::cout << (stored ? "Settings stored.\n" : "Settings unchanged.\n");
    return result(true);
  }
  if (menu) {
    h.OpenFromMenu();
    h.ClosePanel();
    return result(true);
  }
  if (!newFile.empty()) {
    ConsoleResponder others(AnswerMode::kEscape, nullptr, progress);
    return RunNew(h, others, newFile, format);
  }
  if (args.empty()) {
    PluginInfo info{};
    h.plugin().GetPluginInfo(&info);
    for (int i = 0; i < info.PluginMenuStringsNumber; ++i)
      std::cout << "Plug-in menu:   " << Field(info.PluginMenuStrings[i]) << "\n";
    for (int i = 0; i < info.PluginConfigStringsNumber; ++i)
      std::cout << "Configuration:  " << Field(info.PluginConfigStrings[i]) << "\n";
    return kExitOk;
  }

  const std::string image = args[0];
  if (const std::string why = UnopenableReason(image); !why.empty()) {
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
  if (args.size() == 1) return result(session.Shell() && ok);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string cmd = args[i];
    std::vector<std::string> words;
    if ((cmd == "cd" || cmd == "ls") && i + 1 < args.size() && !IsCommand(args[i + 1])) words.push_back(args[++i]);
    if (IsPutCommand(cmd) || IsItemCommand(cmd))
      while (i + 1 < args.size() && !IsCommand(args[i + 1])) words.push_back(args[++i]);
    if (!session.Run(cmd, words)) {
      ok = false;
      break;
    }
  }
  return result(ok);
}
