#include "panoply/panel.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "panoply/messages.h"
#include "panoply/modules.h"
#include "panoply/names.h"
#include "panoply/state.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/find_data.h"
#include "platform/tick.h"

namespace panoply {

namespace {

constexpr uint32_t kProgressDelayMs = 500;
constexpr int kProgressEvery = 32;

size_t NameLength(const PluginPanelItem& item) {
  return strnlen(item.FindData.cFileName, sizeof item.FindData.cFileName);
}

// The image file's time and size, read straight from the file system (a name holding
// "*" or "?" is a name here, not a pattern).
bool StatImage(const std::string& name, WIN32_FIND_DATA& fd) {
  return static_cast<bool>(platform::FillFindData(name, PointToName(name.c_str()), fd));
}

// A name as compared without regard to case: OEM to ANSI, lower-cased.
std::string FoldedName(const char* name, size_t n) {
  std::string out(name, n);
  for (char& c : out)
    c = static_cast<char>(platform::AnsiLowerByte(platform::OemToAnsiByte(static_cast<unsigned char>(c))));
  return out;
}

bool IsDirectoryItem(const PluginPanelItem& item) {
  return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True when the item lies below the folder `dir` (length L): a longer name whose first L
// characters equal dir and continue with "\" (every name at the root).
bool Below(const PluginPanelItem& item, const std::string& dir) {
  const size_t len = NameLength(item), l = dir.size();
  if (l == 0) return len > 0;
  return len > l + 1 && CompareOemNames(item.FindData.cFileName, dir.c_str(), static_cast<int>(l)) == 0 &&
         item.FindData.cFileName[l] == '\\';
}

// One component below `from`: a folder of the list called `name`.
bool HasFolder(const ImagePanel& panel, const std::string& from, const std::string& name) {
  const size_t d = from.empty() ? 0 : from.size() + 1, n = name.size();
  if (n == 0) return false;
  for (const auto& item : panel.items) {
    const size_t len = NameLength(item);
    if (len < d + n || (d && !Below(item, from))) continue;
    if (CompareOemNames(item.FindData.cFileName + d, name.c_str(), static_cast<int>(n)) != 0) continue;
    const char next = d + n < len ? item.FindData.cFileName[d + n] : 0;
    if (next == '\\' || next == '/' || (next == 0 && IsDirectoryItem(item))) return true;
  }
  return false;
}

std::string Parent(const std::string& dir) {
  const size_t cut = dir.rfind('\\');
  return cut == std::string::npos ? std::string() : dir.substr(0, cut);
}

}  // namespace

ImagePanel* NewImagePanel(int module) {
  ImagePanel* panel = new (std::nothrow) ImagePanel;
  if (panel) panel->module = module;
  return panel;
}

void FreeImagePanel(ImagePanel* panel) {
  // Items carry no pointers of the module's (cleared when read), so the list is all.
  delete panel;
}

HANDLE OpenImageFile(const std::string& name) {
  return CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

void CloseImageFile(HANDLE handle) {
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

void FixImageItem(PluginPanelItem& item) {
  item.Flags = 0;
  item.FindData.cAlternateFileName[0] = 0;  // also ends a name of 260 characters
  // A module leaves the pointers null; whatever it left is not ours to free or follow.
  item.Description = nullptr;
  std::memset(item.Reserved3, 0, sizeof item.Reserved3);
  char* name = item.FindData.cFileName;
  size_t len = strnlen(name, sizeof item.FindData.cFileName);
  for (size_t i = 0; i < len; ++i)
    if (name[i] == '/') name[i] = '\\';
  size_t skip = 0;
  while (skip < len && name[skip] == '\\') ++skip;
  if (len - skip >= 2 && name[skip] == '.' && name[skip + 1] == '\\') {
    skip += 2;
  } else if (len - skip >= 3 && name[skip] == '.' && name[skip + 1] == '.' && name[skip + 2] == '\\') {
    skip += 3;
  }
  if (skip) {
    std::memmove(name, name + skip, len - skip);
    len -= skip;
    name[len] = 0;
  }
  if (len > 0 && name[len - 1] == '\\') {
    name[--len] = 0;
    item.FindData.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
  }
}

int ReadImageItems(ImagePanel& panel, const std::string& name) {
  const PluginState& s = State();
  WIN32_FIND_DATA fd;
  const bool found = StatImage(name, fd);
  panel.image = OpenImageFile(name);
  if (panel.image != INVALID_HANDLE_VALUE && !ModuleImgPrepare(panel.module, panel.image)) {
    CloseImageFile(panel.image);
    panel.image = INVALID_HANDLE_VALUE;
  }
  if (panel.image == INVALID_HANDLE_VALUE) {
    // A list shown before stays, but it no longer describes the file (for instance an image
    // replaced by a file of no disks): say so once, not at every later reading that fails.
    if (panel.listed && !panel.staleReported) {
      panel.staleReported = true;
      ShowListError(MListReadError);
    }
    return 0;
  }
  panel.staleReported = false;
  // Only a list that can be read replaces the old one. A failed reading keeps the old list
  // and the old find data, so that the next GetFindData tries again instead of taking the
  // image for unchanged.
  panel.items.clear();
  if (found) panel.findData = fd;
  panel.fileName = name;
  panel.hostFile = name;
  if (!std::strchr(PointToName(name.c_str()), '.')) panel.hostFile += '.';

  const uint32_t start = GetTickCount();
  void* screen = s.info.SaveScreen ? s.info.SaveScreen(0, 0, -1, -1) : nullptr;
  bool progressShown = false;
  int result;
  // Items delivered so far (result 1), stored or not: the progress box counts these.
  int delivered = 0;
  for (;;) {
    PluginPanelItem item;
    std::memset(&item, 0, sizeof item);
    result = ModuleGetImgItem(panel.module, panel.image, &item);
    if (result != FM_DONE) break;
    if (delivered % kProgressEvery == 0 && GetTickCount() - start > kProgressDelayMs) {
      const std::string counted = FormatCount(MReadCount, delivered);
      const char* lines[] = {MsgText(MReadTitle), MsgText(MReadLine), name.c_str(), counted.c_str()};
      ShowMessage(progressShown ? FMSG_KEEPBACKGROUND : 0, lines, 4, 0);
      progressShown = true;
    }
    ++delivered;
    FixImageItem(item);
    // An item of empty name (a free directory slot) is never shown, never a folder and
    // never matched by a command, so it is not stored: memory and time then follow the
    // files of an image, not its free slots.
    if (item.FindData.cFileName[0] == 0) continue;
    try {
      panel.items.push_back(item);  // grows geometrically: long lists stay linear
    } catch (const std::bad_alloc&) {
      break;  // no memory: the items so far stay
    }
  }
  CloseImageFile(panel.image);
  panel.image = INVALID_HANDLE_VALUE;
  panel.listed = true;
  panel.changed = false;
  if (result == FM_NOT_SUPPORTED) ShowListError(MListError);
  if (result == FM_READ_ERROR) ShowListError(MListReadError);
  if (s.info.RestoreScreen && screen) s.info.RestoreScreen(screen);
  return 1;
}

int BuildFindData(ImagePanel& panel, PluginPanelItem** items, int* count) {
  if (!items || !count) return FALSE;
  *items = nullptr;
  *count = 0;
  WIN32_FIND_DATA now;
  if (!StatImage(panel.fileName, now)) return FALSE;
  // Copies: the packed records do not keep their times aligned.
  const FILETIME nowTime = now.ftLastWriteTime, lastTime = panel.findData.ftLastWriteTime;
  const bool touched = CompareFileTime(&nowTime, &lastTime) != 0 || now.nFileSizeLow != panel.findData.nFileSizeLow ||
                       now.nFileSizeHigh != panel.findData.nFileSizeHigh;
  if (touched || !panel.listed || panel.changed) {
    if (ReadImageItems(panel, panel.fileName) != 1) return FALSE;
  }
  const std::string& dir = panel.curDir;
  const size_t l = dir.size();
  std::vector<PluginPanelItem> out;
  std::unordered_set<std::string> folders;
  for (const auto& item : panel.items) {
    if (!Below(item, dir)) continue;
    const size_t len = NameLength(item);
    const size_t from = l ? l + 1 : 0;
    const char* rest = item.FindData.cFileName + from;
    size_t restLen = len - from;
    PluginPanelItem copy = item;
    if (const void* cut = std::memchr(rest, '\\', restLen)) {
      restLen = static_cast<size_t>(static_cast<const char*>(cut) - rest);
      copy.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      copy.FindData.nFileSizeLow = 0;
      copy.FindData.nFileSizeHigh = 0;
      copy.PackSize = 0;
    }
    if (restLen == 0) continue;  // "a\\b" has no name between its separators
    std::memmove(copy.FindData.cFileName, rest, restLen);
    std::memset(copy.FindData.cFileName + restLen, 0, sizeof copy.FindData.cFileName - restLen);
    if (IsDirectoryItem(copy) && !folders.insert(FoldedName(copy.FindData.cFileName, restLen)).second) continue;
    try {
      out.push_back(copy);
    } catch (const std::bad_alloc&) {
      break;
    }
  }
  if (out.empty()) return TRUE;
  auto* array = static_cast<PluginPanelItem*>(std::malloc(out.size() * sizeof(PluginPanelItem)));
  if (!array) return TRUE;
  std::memcpy(array, out.data(), out.size() * sizeof(PluginPanelItem));
  *items = array;
  *count = static_cast<int>(out.size());
  return TRUE;
}

void FreeFindDataArray(PluginPanelItem* items) { std::free(items); }

int ChangeImageDirectory(ImagePanel& panel, const char* dirText) {
  if (!dirText) return FALSE;
  std::string dir = dirText;
  if (dir == "\\") {
    panel.curDir.clear();
    return TRUE;
  }
  const bool fromRoot = !dir.empty() && dir[0] == '\\';
  if (fromRoot) dir.erase(0, 1);
  if (dir == ".." && !fromRoot) {
    if (panel.curDir.empty()) return FALSE;
    panel.curDir = Parent(panel.curDir);
    return TRUE;
  }
  // Resolve component by component; the current folder changes only when all match.
  std::string target = fromRoot ? std::string() : panel.curDir;
  size_t pos = 0;
  for (;;) {
    const size_t cut = dir.find('\\', pos);
    const std::string part = dir.substr(pos, cut == std::string::npos ? std::string::npos : cut - pos);
    if (part == "..") {
      if (target.empty()) return FALSE;
      target = Parent(target);
    } else if (!part.empty()) {
      if (!HasFolder(panel, target, part)) return FALSE;
      target = target.empty() ? part : target + "\\" + part;
    } else if (cut == std::string::npos && pos == 0) {
      return FALSE;  // an empty name
    }
    if (cut == std::string::npos) break;
    pos = cut + 1;
  }
  panel.curDir = target;
  return TRUE;
}

void FillOpenPluginInfo(ImagePanel& panel, OpenPluginInfo* info) {
  static char format[100];
  static char title[100];
  static InfoPanelLine infoLines[14];
  static KeyBarTitles keyBar;
  if (!info) return;
  char longName[100];
  ModuleGetFormatName(panel.module, longName, sizeof longName, nullptr, 0);

  info->StructSize = sizeof *info;
  info->Flags = OPIF_USEFILTER | OPIF_USESORTGROUPS | OPIF_USEHIGHLIGHTING | OPIF_ADDDOTS;
  info->HostFile = panel.hostFile.c_str();
  info->CurDir = panel.curDir.c_str();
  CopyText(format, sizeof format, FormatMsg(MPanelFormat, longName).c_str());
  info->Format = format;
  std::string t = std::string(" ") + longName + ":" + PointToName(panel.hostFile.c_str());
  if (!panel.curDir.empty()) t += "\\" + panel.curDir;
  t += " ";
  CopyText(title, sizeof title, t.c_str());
  info->PanelTitle = title;
  std::memset(infoLines, 0, sizeof infoLines);
  info->InfoLines = infoLines;
  info->InfoLinesNumber = 14;
  std::memset(&keyBar, 0, sizeof keyBar);
  char* label = const_cast<char*>(MsgText(MKeyBarLabel));
  for (int f : {4, 7}) keyBar.Titles[f - 1] = label;
  for (int f : {4, 5, 6, 10}) keyBar.AltTitles[f - 1] = label;
  for (int f : {1, 3, 4, 5, 6, 7, 8}) keyBar.ShiftTitles[f - 1] = label;
  info->KeyBar = &keyBar;
}

}  // namespace panoply
