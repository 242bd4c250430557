#include "cli/options.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cli/commands.h"

namespace cli {

namespace {

const char* kHead = R"(Usage: panoply-host [OPTIONS] [IMAGE [COMMAND [ARG]]...]
       panoply-host [OPTIONS] --menu
       panoply-host [OPTIONS] --new FILE [--format LONGNAME]

Loads the disk-image panel plug-in and drives it like a file manager.

Without IMAGE it shows the plug-in's menu and configuration strings.
With IMAGE it offers that file to the plug-in; when a format module accepts it, the
commands given after it run in order, or, without commands, a shell reads commands
from standard input.

)";

const char* kTail = R"(ITEM is a name in the current folder as ls shows it, #N for the N-th line of ls, or a
pattern with * and ?; when no item has the name exactly (or no name fits the pattern),
it is matched without regard to ASCII case (ed.com for ED.COM), and when several items
differ only in case the first is taken and named. The words up to the next command word
belong to the command, so several commands may stand on one line of the shell too. The
shell splits its lines into words as a POSIX shell does: "..." and '...' keep blanks,
a backslash takes the next character as it stands. Without a terminal, --yes or
--answers, every question is answered with Esc, so nothing is copied or deleted unasked.

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
                    letters are all of one case); the menus are found by the texts of
                    the plug-in's language file; any other box is shown, answered
                    with Esc, and makes the exit code 1
  --format LONGNAME with --new: the format's long name, in any case; it becomes the
                    stored default
  --yes             answer every box, dialog and menu with Enter
  --answers FILE    answer them from FILE, one line each (see Answers)
  --progress        show progress boxes also when the error stream is no terminal
                    (at most one line a second, and the last state)
  -h, --help        this text

Answers: the plug-in's boxes, dialogs and menus are answered at the terminal when
standard input is one (Esc, or q, closes any of them). Otherwise they are answered by
--yes or --answers FILE, and without either each is answered with Esc and the plug-in
goes on as after Esc; commands piped into the shell are never taken as answers. Boxes
without buttons (progress) take no answer; they show as one line on a terminal's error
stream, updated in place, and not at all when the error stream is redirected. A line of
FILE answers
  a box       Enter or an empty line (first button), Esc, or N: button N (1 first)
  a menu      Enter or an empty line (selected item), Esc, or N: item N (1 first)
  a dialog    Enter or an empty line (default button), Esc, or N: the closing button,
              item N as listed (0 first); after Enter or N, settings ITEM=TEXT for an
              edit line and ITEM=on or ITEM=off for a check box, the words split as the
              shell splits them; for example 7 1=off 5="*.bas *.txt" closes the
              settings dialog with OK, UseHotKeys off and two masks
Lines starting with "#" are skipped. Boxes answered without a terminal are shown on the
error stream with the answer taken. When FILE runs out, or a line fits no answer of its
box, that box gets Esc and the exit code is 1.

Names inside images are shown as UTF-8; bytes that are not UTF-8 are read as code page 866.

The plug-in opens an image for reading and writing, so IMAGE must be a file you may
change.

Exit codes: 0 done; 1 a command failed, the plug-in reported an error in a box (a
listing that could not read the whole image, for one), a question of cp, mv, rm or put
was answered with Esc or Cancel, the answers ran out, the settings could not be stored,
or IMAGE cannot be opened for reading and writing; 2 bad usage (an unknown option or
command word, a command with too few or too many words), an unknown language or the
plug-in did not load; 3 no format module accepts IMAGE.
)";

}  // namespace

Parsed ParseOptions(int argc, const char* const* argv, Options& out, std::string& error, bool& showUsage) {
  showUsage = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= argc || (argv[i + 1][0] == '\0' && (a == "--new" || a == "--format"))) {
        error = a + " needs a value";
        showUsage = true;
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (a == "-h" || a == "--help") {
      return Parsed::kHelp;
    } else if (a == "--plugin" || a == "--lang" || a == "--registry" || a == "--answers" || a == "--new" ||
               a == "--format") {
      std::string& into = a == "--plugin"     ? out.plugin
                          : a == "--lang"     ? out.language
                          : a == "--registry" ? out.registryFile
                          : a == "--answers"  ? out.answersFile
                          : a == "--new"      ? out.newFile
                                              : out.format;
      if (!value(into)) return Parsed::kBadUsage;
    } else if (a == "--yes") {
      out.yes = true;
    } else if (a == "--progress") {
      out.progress = true;
    } else if (a == "--configure") {
      out.configure = true;
    } else if (a == "--menu") {
      out.menu = true;
    } else if (a.size() > 1 && a[0] == '-' && out.args.empty()) {
      error = "unknown option " + a;
      showUsage = true;
      return Parsed::kBadUsage;
    } else {
      out.args.push_back(a);
    }
  }
  if (out.yes && !out.answersFile.empty()) {
    error = "--yes and --answers exclude each other";
    return Parsed::kBadUsage;
  }
  if ((out.menu || !out.newFile.empty()) &&
      (!out.args.empty() || out.configure || (out.menu && !out.newFile.empty()))) {
    error = "--menu and --new take no IMAGE and exclude each other and --configure";
    return Parsed::kBadUsage;
  }
  if (!out.format.empty() && out.newFile.empty()) {
    error = "--format goes with --new";
    return Parsed::kBadUsage;
  }
  return Parsed::kRun;
}

std::string UsageText() { return std::string(kHead) + "Commands:\n" + CommandsHelp(true) + "\n" + kTail; }

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

}  // namespace cli
