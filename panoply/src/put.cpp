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
  bool checked = false;
  if (!CopyDialog(move ? MPutMoveTitle : MPutCopyTitle, MPutPrompt, panel.curDir, nullptr, MPutCheck, MPutButton,
                  target, checked))
    return false;
  option = checked ? 1 : 0;
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
