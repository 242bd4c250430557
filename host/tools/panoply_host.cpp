// panoply-host: runs the disk-image panel plug-in from a terminal, as a file manager would.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/display.h"
#include "host/host.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNotAccepted = 3;

const char* kUsage = R"(Usage: panoply-host [OPTIONS] [IMAGE [COMMAND [ARG]]...]

Loads the disk-image panel plug-in and drives it like a file manager.

Without IMAGE it shows the plug-in's menu and configuration strings.
With IMAGE it offers that file to the plug-in; when a format module accepts it, the
commands given after it run in order, or, without commands, an interactive shell starts.

Commands:
  ls [DIR]     list the current folder of the image, or DIR (the folder stays)
  cd DIR       change the folder: a name, a path with "\", "..", or "\" for the root
  info         panel title, format, current folder and host file
  config       the plug-in's settings dialog
  help         this list (shell only)
  quit         leave the shell

Options:
  --plugin PATH     the plug-in library (default: $PANOPLY_PLUGIN, else Panoply.so beside
                    this program, else the build tree's panoply/plugin/Panoply.so)
  --lang LANG       language of the plug-in's texts: en (default) or ru
  --registry FILE   the settings store (default: $DESKTOOLS_REGISTRY_FILE, else
                    ~/.config/desktools/registry.txt)
  --configure       run the settings dialog and exit
  -h, --help        this text

Names inside images are shown as UTF-8; bytes that are not UTF-8 are read as code page 866.

The plug-in opens an image for reading and writing, so IMAGE must be a file you may
change.

Exit codes: 0 done, 1 a command failed or IMAGE cannot be opened for reading and
writing, 2 bad usage or the plug-in did not load, 3 no format module accepts IMAGE.
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

// Shows the plug-in's boxes on the terminal and reads the answers.
class TerminalResponder : public host::Responder {
 public:
  int OnMessage(const host::MessageCall& call) override {
    const size_t buttons = std::min(call.lines.size(), static_cast<size_t>(std::max(call.buttons, 0)));
    const size_t texts = call.lines.size() - buttons;
    std::cout << "\n== " << host::DisplayText(call.lines.empty() ? "" : call.lines[0]) << " ==\n";
    for (size_t i = 1; i < texts; ++i) std::cout << "   " << host::DisplayText(call.lines[i]) << "\n";
    for (size_t b = 0; b < buttons; ++b)
      std::cout << "  [" << b + 1 << "] " << host::DisplayText(call.lines[texts + b]) << "\n";
    std::cout << "Choose a button (Enter: 1, q: Esc): ";
    std::string line;
    if (!ReadLine(line) || line == "q") return -1;
    if (line.empty()) return 0;
    const int b = std::atoi(line.c_str()) - 1;
    return b >= 0 && b < static_cast<int>(buttons) ? b : -1;
  }

  // Progress boxes: one line on the error stream, so that listings stay clean.
  void OnNotice(const host::MessageCall& call) override {
    std::string text;
    for (size_t i = 0; i < call.lines.size(); ++i)
      text += (i == 0 ? "[" : i == 1 ? "] " : " ") + host::DisplayText(call.lines[i]);
    std::cerr << text << (call.lines.size() == 1 ? "]\n" : "\n");
  }

  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override {
    for (;;) {
      std::cout << "\n";
      for (int i = 0; i < count; ++i) {
        const FarDialogItem& it = items[i];
        const std::string text = host::DisplayText(it.Data);
        switch (it.Type) {
          case DI_DOUBLEBOX: std::cout << "== " << text << " ==\n"; break;
          case DI_CHECKBOX: std::cout << "  " << i << ": [" << (it.Selected ? 'x' : ' ') << "] " << text << "\n"; break;
          case DI_EDIT: std::cout << "  " << i << ": " << text << "_\n"; break;
          case DI_BUTTON:
            std::cout << "  " << i << ": < " << text << (it.DefaultButton ? " > (Enter)" : " >") << "\n";
            break;
          case DI_TEXT:
            if (it.Flags & DIF_SEPARATOR)
              std::cout << "  ----\n";
            else
              std::cout << "     " << text << "\n";
            break;
          default: break;
        }
      }
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

  int OnMenu(const host::MenuCall& call) override {
    std::cout << "\n== " << host::DisplayText(call.title) << " ==\n";
    for (size_t i = 0; i < call.items.size(); ++i)
      std::cout << "  [" << i + 1 << "] " << host::DisplayText(call.items[i].text) << "\n";
    std::cout << "Choose (q: Esc): ";
    std::string line;
    if (!ReadLine(line) || line == "q" || line.empty()) return -1;
    const int n = std::atoi(line.c_str()) - 1;
    return n >= 0 && n < static_cast<int>(call.items.size()) ? n : -1;
  }
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
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat st;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  return regular ? std::string() : "not a regular file";
}

bool IsCommand(const std::string& word) { return word == "ls" || word == "cd" || word == "info" || word == "config"; }

std::string Field(const char* text) { return host::DisplayText(text ? text : ""); }

class Session {
 public:
  explicit Session(host::Host& h) : h_(h) {}

  bool List(const std::string& dir) {
    std::string back;
    if (!dir.empty()) {
      OpenPluginInfo info;
      h_.GetInfo(info);
      back = info.CurDir ? info.CurDir : "";
      if (!h_.ChangeDirectory(dir)) return Fail("no folder " + dir);
    } else if (!h_.ReadPanel()) {
      return Fail("the image cannot be read");
    }
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
    return h_.ChangeDirectory(dir) || Fail("no folder " + dir);
  }

  bool Info() {
    OpenPluginInfo info;
    if (!h_.GetInfo(info)) return Fail("no panel");
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

  bool Run(const std::string& cmd, const std::string& arg) {
    if (cmd == "ls") return List(arg);
    if (cmd == "cd") return Cd(arg);
    if (cmd == "info") return Info();
    if (cmd == "config") return Config();
    return Fail("unknown command " + cmd);
  }

  void Shell() {
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
        std::cout << "ls [DIR], cd DIR, info, config, quit\n";
        continue;
      }
      Run(cmd, arg);
    }
  }

 private:
  bool Fail(const std::string& what) {
    std::cerr << "panoply-host: " << what << "\n";
    return false;
  }
  host::Host& h_;
};

}  // namespace

int main(int argc, char** argv) {
  host::HostOptions options;
  std::string plugin;
  bool configure = false;
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
    } else if (a == "--configure") {
      configure = true;
    } else if (a.size() > 1 && a[0] == '-' && args.empty()) {
      std::cerr << "panoply-host: unknown option " << a << "\n" << kUsage;
      return kExitUsage;
    } else {
      args.push_back(a);
    }
  }
  if (plugin.empty()) plugin = DefaultPluginPath(argv[0]);

  host::Host h(options);
  TerminalResponder terminal;
  h.SetResponder(&terminal);
  std::string error;
  if (!h.Load(plugin, &error)) {
    std::cerr << "panoply-host: " << error << "\n";
    return kExitUsage;
  }
  h.Start();
  Session session(h);

  if (configure) {
    const int stored = h.plugin().Configure(0);
    std::cout << (stored ? "Settings stored.\n" : "Settings unchanged.\n");
    return kExitOk;
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
  if (!h.OpenFile(image)) {
    std::cerr << "panoply-host: no format module accepts " << image << "\n";
    return kExitNotAccepted;
  }
  if (args.size() == 1) {
    if (!h.ReadPanel()) std::cerr << "panoply-host: the image cannot be read\n";
    session.Shell();
    return kExitOk;
  }
  int rc = kExitOk;
  h.ReadPanel();
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string cmd = args[i];
    std::string arg;
    if ((cmd == "cd" || cmd == "ls") && i + 1 < args.size() && !IsCommand(args[i + 1])) arg = args[++i];
    if (!session.Run(cmd, arg)) {
      rc = kExitFailed;
      break;
    }
  }
  return rc;
}
