#include "panoply/extract.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "panoply/messages.h"
#include "panoply/modules.h"
#include "panoply/names.h"
#include "panoply/state.h"
#include "platform/files.h"
#include "platform/workdir.h"

namespace panoply {

namespace {

std::string NameOf(const PluginPanelItem& item) {
  const WIN32_FIND_DATA& fd = item.FindData;
  return std::string(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
}

bool IsFolder(const PluginPanelItem& item) { return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// The panel state as the host reports it; false when the host gives none.
bool ReadPanelInfo(PanelInfo& info) {
  const PluginState& s = State();
  std::memset(&info, 0, sizeof info);
  return s.started && s.info.Control && s.info.Control(nullptr, FCTL_GETPANELINFO, &info) != 0;
}

// The selected items of the panel state, copied: later host calls may move the array.
std::vector<PluginPanelItem> SelectedOf(const PanelInfo& info) {
  std::vector<PluginPanelItem> out;
  if (info.SelectedItems && info.SelectedItemsNumber > 0)
    out.assign(info.SelectedItems, info.SelectedItems + info.SelectedItemsNumber);
  return out;
}

// The item's path in the image for the module's 260-byte buffer. False (and the shown
// path as far as it goes) for a name no module call may get: empty, "." or "..", or a
// path that does not fit the buffer.
bool ItemPath(const ImagePanel& panel, const PluginPanelItem& item, char (&path)[MAX_PATH], std::string& shown) {
  const std::string name = NameOf(item);
  shown = panel.curDir.empty() ? name : panel.curDir + "\\" + name;
  if (name.empty() || name == "." || name == "..") return false;
  return JoinImagePath(path, sizeof path, panel.curDir.c_str(), name.c_str());
}

// A text of blanks only (or empty) names no folder: the current directory is used.
bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// Creates the destination level by level (failures ignored: folders that exist, the
// root) and makes it current. False when it cannot be made current.
bool EnterDestination(const std::string& dest) {
  for (size_t cut = dest.find('/', 1); cut != std::string::npos; cut = dest.find('/', cut + 1))
    CreateDirectoryA(dest.substr(0, cut).c_str(), nullptr);
  CreateDirectoryA(dest.c_str(), nullptr);
  return SetCurrentDirectoryA(dest.c_str()) != 0;
}

// What the current directory holds of an item after CopyToPC said 1.
enum class OnPc { kNothing, kIncomplete, kWhole };

// A regular file (never a link) at `path` with `size` bytes.
OnPc FileOnPc(const std::string& path, uint64_t size) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return OnPc::kNothing;
  return S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) == size ? OnPc::kWhole : OnPc::kIncomplete;
}

uint64_t ListedSize(const PluginPanelItem& item) {
  return (static_cast<uint64_t>(item.FindData.nFileSizeHigh) << 32) | item.FindData.nFileSizeLow;
}

// A file item: a file of its name with exactly its listed size. A folder item: a folder
// of its name (not a link), and below it every file the list holds below the folder, as
// a file of its listed size: the module's deletion of the folder takes out all of it,
// so only what the PC holds whole may go.
OnPc WhatThePcHolds(const ImagePanel& panel, const PluginPanelItem& item, const char* imagePath) {
  const std::string name = PointToName(NameOf(item).c_str());
  if (name.empty()) return OnPc::kNothing;
  if (!IsFolder(item)) return FileOnPc(name, ListedSize(item));
  struct stat st;
  if (::lstat(name.c_str(), &st) != 0) return OnPc::kNothing;
  if (!S_ISDIR(st.st_mode)) return OnPc::kIncomplete;
  const size_t prefix = std::strlen(imagePath);
  for (const PluginPanelItem& below : panel.items) {
    const std::string full = NameOf(below);
    if (IsFolder(below) || full.size() <= prefix + 1 || full[prefix] != '\\' ||
        CompareOemNames(full.c_str(), imagePath, static_cast<int>(prefix)) != 0)
      continue;
    std::string pcPath = name + "/" + full.substr(prefix + 1);
    std::replace(pcPath.begin(), pcPath.end(), '\\', '/');
    if (FileOnPc(pcPath, ListedSize(below)) != OnPc::kWhole) return OnPc::kIncomplete;
  }
  return OnPc::kWhole;
}

// The prompt line of the copy dialog.
std::string ExtractPrompt(const PanelInfo& info, bool topLevel, int move) {
  if (topLevel) return MsgText(MExtractHostList);
  if (info.SelectedItemsNumber > 1) return FormatCount(move ? MMoveMany : MExtractMany, info.SelectedItemsNumber);
  // Names go to the host as the image holds them, without a code-page conversion.
  const std::string name = info.SelectedItems ? NameOf(info.SelectedItems[0]) : std::string();
  return FormatMsg(move ? MMoveOne : MExtractOne, name);
}

// The copy dialog; false when it is cancelled. dest is the edit line's text on return.
bool AskDestination(int move, const std::string& prompt, std::string& dest) {
  bool checked = false;  // shown, not read
  return CopyDialog(move ? MExtractMoveTitle : MExtractCopyTitle, TextData(prompt.c_str()), std::string(dest), "Copy",
                    MExtractCheck, MCopyButton, dest, checked);
}

// A destination that fits the host's buffer with its terminator.
bool Fits(const std::string& dest) { return dest.size() < kDestPathSize; }

void WriteBack(char* destPath, const std::string& dest) {
  if (destPath && Fits(dest)) std::memcpy(destPath, dest.c_str(), dest.size() + 1);
}

class ImageOpen {
 public:
  explicit ImageOpen(ImagePanel& panel) : panel_(panel) { panel_.image = OpenImageFile(panel_.fileName); }
  ~ImageOpen() {
    CloseImageFile(panel_.image);
    panel_.image = INVALID_HANDLE_VALUE;
  }
  ImageOpen(const ImageOpen&) = delete;
  ImageOpen& operator=(const ImageOpen&) = delete;
  bool ok() const { return panel_.image != INVALID_HANDLE_VALUE; }

 private:
  ImagePanel& panel_;
};

enum class Next { kGoOn, kEnd };

// One item of a plain copy or move (neither view nor top-level mode).
Next CopyOrMoveItem(ImagePanel& panel, const PluginPanelItem& item, int move) {
  char path[MAX_PATH];
  std::string shown;
  const uint32_t attributes = item.FindData.dwFileAttributes;
  if (!ItemPath(panel, item, path, shown)) {
    ShowCopyFailed(shown.c_str(), attributes);
    return Next::kGoOn;
  }
  ImageOpen image(panel);
  if (!image.ok()) {
    ShowOpenFailed(path);
    return Next::kGoOn;
  }
  const int copied = ModuleCopyToPC(panel.module, panel.image, path, item);
  if (copied == FM_FAILED) {
    ShowCopyFailed(shown.c_str(), attributes);
    return Next::kGoOn;
  }
  if (copied == FM_NOT_SUPPORTED) {
    ShowModuleUnsupported();
    return Next::kEnd;
  }
  if (copied != FM_DONE || !move) return Next::kGoOn;
  // The module may have changed the buffer: the path is built anew.
  JoinImagePath(path, sizeof path, panel.curDir.c_str(), NameOf(item).c_str());
  // Only what is on the PC whole is deleted in the image.
  switch (WhatThePcHolds(panel, item, path)) {
    case OnPc::kNothing: ShowCopyFailed(shown.c_str(), attributes); return Next::kGoOn;
    case OnPc::kIncomplete: ShowCopiedNotDeleted(shown.c_str()); return Next::kGoOn;
    case OnPc::kWhole: break;
  }
  const int deleted = ModuleDelFile(panel.module, panel.image, path, item);
  panel.changed = true;
  if (deleted == FM_FAILED) {
    ShowDeleteFailed(shown.c_str(), attributes);
  } else if (deleted == FM_NOT_SUPPORTED) {
    ShowModuleUnsupported();
    return Next::kEnd;
  }
  return Next::kGoOn;
}

// One item in view or top-level mode: a copy without move, result 2 not reported. The
// module's result, or 0 when no module call was made.
int CopyItemOnly(ImagePanel& panel, const PluginPanelItem& item) {
  char path[MAX_PATH];
  std::string shown;
  if (!ItemPath(panel, item, path, shown)) {
    ShowCopyFailed(shown.c_str(), item.FindData.dwFileAttributes);
    return FM_FAILED;
  }
  ImageOpen image(panel);
  if (!image.ok()) {
    ShowOpenFailed(path);
    return FM_FAILED;
  }
  const int copied = ModuleCopyToPC(panel.module, panel.image, path, item);
  if (copied == FM_FAILED) ShowCopyFailed(shown.c_str(), item.FindData.dwFileAttributes);
  return copied;
}

}  // namespace

int ExtractImageItems(ImagePanel& panel, const PluginPanelItem* items, int count, int move, char* destPath,
                      int opMode) {
  if (count <= 0 || (opMode & OPM_EDIT)) return 0;
  const bool view = (opMode & OPM_VIEW) != 0, topLevel = (opMode & OPM_TOPLEVEL) != 0;
  if (topLevel && !items) return 0;
  // The items to work on, fixed before any question.
  PanelInfo info;
  std::vector<PluginPanelItem> work;
  if (!topLevel || view) {
    if (!ReadPanelInfo(info)) return 0;
    if (view) {
      if (!info.PanelItems || info.CurrentItem < 0 || info.CurrentItem >= info.ItemsNumber) return 0;
      work.push_back(info.PanelItems[info.CurrentItem]);
    } else {
      work = SelectedOf(info);
      if (work.empty()) return 0;
    }
  } else {
    work.assign(items, items + count);
    std::memset(&info, 0, sizeof info);
  }

  // The destination is our own string; the host's buffer only gets what fits it. One
  // that does not fit the buffer (a buffer without terminator, or a longer text from the
  // dialog) is refused: cut, it would name a folder the user did not name.
  std::string dest = destPath ? std::string(destPath, strnlen(destPath, kDestPathSize)) : std::string();
  AddSlash(dest);
  if (!Fits(dest)) {
    ShowCopyFailed(dest.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    return 0;
  }
  WriteBack(destPath, dest);
  if (!(opMode & OPM_SILENT)) {
    if (!AskDestination(move, ExtractPrompt(info, topLevel, move), dest)) return 0;
    if (!Fits(dest)) {
      ShowCopyFailed(dest.c_str(), FILE_ATTRIBUTE_DIRECTORY);
      return 0;
    }
    WriteBack(destPath, dest);
  }

  // The folder current now is made current again on every path from here.
  const platform::SavedWorkingDirectory saved;
  if (!IsBlank(dest) && !EnterDestination(dest)) {
    ShowCopyFailed(dest.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    return 0;
  }
  if (view) return CopyItemOnly(panel, work.front()) == FM_DONE ? 1 : 0;
  for (const PluginPanelItem& item : work) {
    if (topLevel) {
      CopyItemOnly(panel, item);
    } else if (CopyOrMoveItem(panel, item, move) == Next::kEnd) {
      break;
    }
  }
  return 1;
}

int DeleteImageItems(ImagePanel& panel, int count, int /*opMode*/) {
  if (count <= 0) return FALSE;
  PanelInfo info;
  if (!ReadPanelInfo(info)) return FALSE;
  const std::vector<PluginPanelItem> work = SelectedOf(info);
  if (work.empty()) return FALSE;
  ImageOpen image(panel);
  if (!image.ok()) {
    ShowOpenFailed(panel.fileName.c_str());
    return FALSE;
  }
  PanelInfo shown = info;
  shown.SelectedItems = const_cast<PluginPanelItem*>(work.data());
  shown.SelectedItemsNumber = static_cast<int>(work.size());
  if (!ConfirmDelete(shown)) return FALSE;

  const int n = shown.SelectedItemsNumber;
  bool askFolder = true, askArchive = n > 1;
  for (const PluginPanelItem& item : work) {
    char path[MAX_PATH];
    std::string name;
    const uint32_t attributes = item.FindData.dwFileAttributes;
    if (!ItemPath(panel, item, path, name)) {
      ShowDeleteFailed(name.c_str(), attributes);
      return FALSE;
    }
    ShowDeleting(path);
    if (askFolder && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      const int answer = AskDeleteFolder(path);
      if (answer == 1) askFolder = false;
      if (answer == 2) continue;
      if (answer != 0 && answer != 1) return TRUE;
    }
    if (askArchive && (attributes & FILE_ATTRIBUTE_ARCHIVE)) {
      if (AskDeleteArchived(n) != 0) return TRUE;
      askArchive = false;
    }
    const int deleted = ModuleDelFile(panel.module, panel.image, path, item);
    panel.changed = true;
    if (deleted == FM_FAILED) {
      ShowDeleteFailed(name.c_str(), attributes);
      return FALSE;
    }
    if (deleted == FM_NOT_SUPPORTED) {
      ShowModuleUnsupported();
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace panoply
