#include "panoply/put.h"

#include <cstring>
#include <string>

#include "panoply/messages.h"
#include "panoply/modules.h"
#include "panoply/names.h"
#include "panoply/state.h"

namespace panoply {

namespace {

// The put dialog: the target folder (starting at the current folder) and the module's
// option. False when it is cancelled.
bool AskPutTarget(const ImagePanel& panel, int move, std::string& target, int& option) {
  const PluginState& s = State();
  if (!s.started || !s.info.Dialog) return false;
  constexpr unsigned separator = DIF_BOXCOLOR | DIF_SEPARATOR;
  const DialogItemInit inits[] = {
      {DI_DOUBLEBOX, 3, 1, 72, 8, 0, 0, 0, 0, static_cast<uintptr_t>(move ? MPutMoveTitle : MPutCopyTitle)},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, MPutPrompt},
      {DI_EDIT, 5, 3, 70, 3, 1, 0, 0, 0, TextData(panel.curDir.c_str())},
      {DI_TEXT, 3, 4, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_CHECKBOX, 5, 5, 0, 0, 0, 0, 0, 0, MPutCheck},
      {DI_TEXT, 3, 6, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, DIF_CENTERGROUP, 1, MPutButton},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, DIF_CENTERGROUP, 0, MCancel2},
  };
  constexpr int kCount = sizeof inits / sizeof inits[0];
  constexpr int kEdit = 2, kCheck = 4, kCancel = 7;
  FarDialogItem items[kCount] = {};
  InitDialogItems(inits, items, kCount);
  const int closedBy = s.info.Dialog(s.info.ModuleNumber, -1, -1, 76, 10, "ExtractFiles", items, kCount);
  if (closedBy < 0 || closedBy == kCancel) return false;
  target.assign(items[kEdit].Data, strnlen(items[kEdit].Data, sizeof items[kEdit].Data));
  option = items[kCheck].Selected ? 1 : 0;
  return true;
}

// The query after CopyFromPC answered 3 or 4: true to go on with the next file.
bool AskGoOn(int result, const char* pcName) {
  const char* lines[] = {MsgText(MError), MsgText(result == FM_ASK_REPLACE ? MPutAsk3 : MPutAsk4), pcName,
                         MsgText(MContinue), MsgText(MCancel)};
  return ShowMessage(FMSG_WARNING | FMSG_DOWN, lines, 5, 2) != 1;
}

}  // namespace

int PutPcFiles(ImagePanel& panel, const PluginPanelItem* items, int count, int move, int /*opMode*/) {
  if (count <= 0 || !items || panel.module < 0) return 0;
  std::string target;
  int option = 0;
  if (!AskPutTarget(panel, move, target, option)) return 0;
  // A target the module's buffer cannot hold is refused whole: a cut one names another folder.
  if (target.size() >= kPutTargetSize) {
    ShowCopyFailed(target.c_str(), 0);
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    const PluginPanelItem& item = items[i];
    const WIN32_FIND_DATA& fd = item.FindData;
    const std::string pcName(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
    panel.image = OpenImageFile(panel.fileName);
    if (panel.image == INVALID_HANDLE_VALUE) {
      ShowOpenFailed(pcName.c_str());
      continue;
    }
    const int exists = ModuleFileExistOnImage(panel.module, panel.image, fd, target.c_str());
    if (exists == FM_DONE || exists == FM_STOP || exists == FM_NOT_SUPPORTED) {
      CloseImageFile(panel.image);
      panel.image = INVALID_HANDLE_VALUE;
      if (exists == FM_DONE) {
        ShowCopyFailed(pcName.c_str(), fd.dwFileAttributes);
        continue;
      }
      if (exists == FM_STOP) {
        ShowFileExist("FileExist");
      } else {
        ShowModuleUnsupported();
      }
      return 0;
    }
    const int result = ModuleCopyFromPC(panel.module, pcName.c_str(), panel.image, item, target.c_str(), option);
    // The module may have written before it answered, whatever it answered.
    panel.changed = true;
    CloseImageFile(panel.image);
    panel.image = INVALID_HANDLE_VALUE;
    switch (result) {
      case FM_DONE: break;
      case FM_NOT_SUPPORTED: ShowModuleUnsupported(); return 0;
      case FM_ASK_REPLACE:
      case FM_ASK_OTHER:
        if (!AskGoOn(result, pcName.c_str())) return 0;
        break;
      default:  // 0, and answers the interface does not know, are failures of this file
        ShowCopyFailed(pcName.c_str(), fd.dwFileAttributes);
        break;
    }
  }
  return 1;
}

}  // namespace panoply
