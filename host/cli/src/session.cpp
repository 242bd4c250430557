#include "cli/session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/item_names.h"
#include "common/open_file.h"
#include "host/display.h"
#include "host/words.h"
#include "platform/registry.h"

namespace cli {

namespace {

// A command of the plug-in that was refused before the plug-in was called.
constexpr int kRefused = -2;

std::string Field(const char* text) { return host::DisplayText(text ? text : ""); }

std::string NameOf(const PluginPanelItem& item) {
  const auto& fd = item.FindData;
  return std::string(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
}

}  // namespace

Session::Session(host::Host& h, ProgressLine& progress, const QuestionWatch& questions, std::ostream& out,
                 std::ostream& err)
    : h_(h), progress_(progress), questions_(questions), out_(out), err_(err) {}

bool Session::Run(const Command& command) {
  const std::vector<std::string>& w = command.words;
  bool ok = true;
  switch (command.spec->id) {
    case CommandId::kLs: ok = List(w.empty() ? std::string() : w[0]); break;
    case CommandId::kCd: ok = Cd(w[0]); break;
    case CommandId::kInfo: ok = Info(); break;
    case CommandId::kConfig: ok = Config(); break;
    case CommandId::kPut: ok = Put(w); break;
    case CommandId::kCp:
    case CommandId::kMv:
    case CommandId::kCat:
    case CommandId::kRm: ok = Items(command.spec->id, w); break;
    case CommandId::kHelp: out_ << CommandsHelp(true); break;
    case CommandId::kQuit: break;
  }
  progress_.Clear();
  return ok;
}

bool Session::RunAll(const std::vector<Command>& commands) {
  for (const Command& c : commands)
    if (!Run(c)) return false;
  return true;
}

bool Session::Shell(const LineReader& read) {
  bool ok = true;
  for (;;) {
    OpenPluginInfo info;
    h_.GetInfo(info);
    out_ << "panoply:\\" << Field(info.CurDir) << "> " << std::flush;
    std::string line;
    const LineEnd end = read(line);
    if (end == LineEnd::kEnd) {
      out_ << "\n";  // what follows starts on a line of its own
      break;
    }
    if (end == LineEnd::kEscape) continue;
    std::string why;
    const auto words = host::SplitWords(line, &why);
    const auto commands = words ? ParseCommands(*words, true, why) : std::nullopt;
    if (!commands) {
      ok = Fail(why);
      continue;
    }
    for (const Command& c : *commands) {
      if (c.spec->id == CommandId::kQuit) {
        out_ << "\n";
        return ok;
      }
      if (!Run(c)) {
        ok = false;
        break;  // the rest of the line builds on what failed
      }
    }
  }
  return ok;
}

bool Session::List(const std::string& dir) {
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
    char size[32];
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      std::snprintf(size, sizeof size, "%12s", "<DIR>");
    else
      std::snprintf(size, sizeof size, "%12llu",
                    (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow);
    out_ << size << "  " << host::DisplayText(NameOf(item)) << "\n";
  }
  if (!dir.empty()) {
    h_.ChangeDirectory("\\");
    if (!back.empty()) h_.ChangeDirectory(back);
  }
  return true;
}

bool Session::Cd(const std::string& dir) { return ChangeDirectory(dir) || Fail("no folder " + dir); }

bool Session::Info() {
  OpenPluginInfo info;
  if (!h_.GetInfo(info)) return Fail("no panel");
  progress_.Clear();
  out_ << "Title:   " << Field(info.PanelTitle) << "\n"
       << "Format:  " << Field(info.Format) << "\n"
       << "Folder:  \\" << Field(info.CurDir) << "\n"
       << "File:    " << Field(info.HostFile) << "\n";
  return true;
}

bool Session::Config() {
  if (!h_.plugin().Configure) return Fail("the plug-in has no settings dialog");
  const bool stored = h_.plugin().Configure(0) != 0;
  // The plug-in says 0 both when the dialog was left and when OK could not store.
  if (!stored && questions_.dialogConfirmed)
    return Fail("the settings could not be stored in " + platform::RegistryStorePath());
  out_ << (stored ? "Settings stored.\n" : "Settings unchanged.\n");
  return true;
}

bool Session::Put(const std::vector<std::string>& files) {
  const int cancelsBefore = questions_.cancels;
  std::string error;
  const int result = h_.Put(files, false, 0, &error);
  if (result < 0) return Fail(error);
  if (result == 0) return Fail("put: nothing was copied, or the copy stopped");
  return questions_.cancels == cancelsBefore || Fail("put: cancelled");
}

// cp, mv, cat and rm: false when the plug-in did nothing, failed, or a question was
// answered with Esc or Cancel (the plug-in reports that as done).
bool Session::Items(CommandId id, const std::vector<std::string>& words) {
  const bool copy = id == CommandId::kCp || id == CommandId::kMv;
  const std::string name = id == CommandId::kCp    ? "cp"
                           : id == CommandId::kMv  ? "mv"
                           : id == CommandId::kCat ? "cat"
                                                   : "rm";
  std::vector<int> items;
  for (size_t i = 0; i < words.size() - (copy ? 1 : 0); ++i)
    if (!Resolve(words[i], items)) return false;
  const int cancelsBefore = questions_.cancels;
  int result;
  if (copy) {
    result = h_.Copy(items, words.back(), id == CommandId::kMv, 0);
  } else if (id == CommandId::kCat) {
    result = View(items);
  } else {
    result = h_.Remove(items, 0);
  }
  const std::vector<std::string> broken = h_.TakeCallErrors();
  for (const auto& e : broken) err_ << "panoply-host: the plug-in broke a rule of the host: " << e << "\n";
  if (result == kRefused) return false;
  if (result < 0) return Fail(name + ": the plug-in cannot do this");
  if (result == 0) return Fail(name + ": nothing was done");
  if (questions_.cancels != cancelsBefore) return Fail(name + ": cancelled");
  return broken.empty();
}

// The items a typed word names, appended in panel order (each once).
bool Session::Resolve(const std::string& word, std::vector<int>& items) {
  std::vector<NamedItem> names;
  for (const auto& item : h_.panelItems) {
    const std::string raw = NameOf(item);
    names.push_back({raw, host::DisplayText(raw)});
  }
  const auto found = ResolveItemWord(word, names);
  if (!found) return Fail("no item " + word);
  if (!found->note.empty()) err_ << "panoply-host: " << found->note << "\n";
  for (int i : found->items)
    if (std::find(items.begin(), items.end(), i) == items.end()) items.push_back(i);
  return true;
}

// The file viewed into a private folder, written to standard output; the folder removed.
int Session::View(const std::vector<int>& items) {
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
      for (const auto& f : files) out_ << std::ifstream(f, std::ios::binary).rdbuf();
      out_.flush();
    }
    fs::remove_all(folder, ec);
  }
  return result;
}

// A typed name as shown: its own bytes first (names that are UTF-8 in the image), then
// its code page 866 form (names shown from code page 866 bytes).
bool Session::ChangeDirectory(const std::string& typed) {
  if (h_.ChangeDirectory(typed)) return true;
  const auto oem = host::Utf8ToCp866(typed);
  return oem && *oem != typed && h_.ChangeDirectory(*oem);
}

bool Session::Fail(const std::string& what) {
  progress_.Clear();
  err_ << "panoply-host: " << what << "\n";
  return false;
}

std::string UnopenableReason(const std::string& path) {
  const common::Result<common::FileHandle> file = common::OpenRegularFile(path, {.access = common::Access::ReadWrite});
  return file ? std::string() : file.reason();
}

}  // namespace cli
