#include "panoply/global_menu.h"

#include <cstring>
#include <string>
#include <vector>

#include "panoply/messages.h"
#include "panoply/modules.h"
#include "panoply/names.h"
#include "panoply/settings.h"
#include "panoply/state.h"
#include "platform/files.h"

namespace panoply {

namespace {

int ShowMenu(unsigned flags, const char* title, const char* helpTopic, const std::vector<FarMenuItem>& items) {
  const PluginState& s = State();
  if (!s.started || !s.info.Menu || items.empty()) return -1;
  return s.info.Menu(s.info.ModuleNumber, -1, -1, 0, flags, title, nullptr, helpTopic, nullptr, nullptr, items.data(),
                     static_cast<int>(items.size()));
}

FarMenuItem MenuItem(const char* text, int selected = 0, int separator = 0) {
  FarMenuItem item{};
  CopyText(item.Text, sizeof item.Text, text);  // cut to 127 characters
  item.Selected = selected;
  item.Separator = separator;
  return item;
}

void ActivePanelControl(int command, void* param) {
  const PluginState& s = State();
  if (s.started && s.info.Control) s.info.Control(kNoPanel, command, param);
}

// Creates the new image and has the module fill it. The file stays whatever the module
// answers: it is the user's, named by the user, and may hold what the module wrote.
void MakeNewImageFile(ImagePanel& panel, const char* fileName) {
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_ARCHIVE | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ShowCreateFailed(fileName);
    return;
  }
  const int result = ModuleMakeNewImage(panel.module, file);
  CloseHandle(file);
  if (result == FM_FAILED) {
    ShowCreateFailed(fileName);
    return;
  }
  ActivePanelControl(FCTL_UPDATEPANEL, reinterpret_cast<void*>(intptr_t{1}));
  ActivePanelControl(FCTL_REDRAWPANEL, nullptr);
  if (result == FM_NOT_SUPPORTED) ShowModuleUnsupported();
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

int ChooseFormatMenu(ImagePanel&, char* name) {
  char prefix[] = "1 ";
  std::vector<FarMenuItem> items;
  char longName[MAX_PATH], shortName[MAX_PATH];
  for (int i = 0; ModuleGetFormatName(i, longName, sizeof longName, shortName, sizeof shortName); ++i) {
    const std::string text = std::string(prefix) + longName;
    const bool selected = std::strcmp(longName, name) == 0 || (i == 0 && name[0] == 0);
    items.push_back(MenuItem(text.c_str(), selected ? 1 : 0));
    if (prefix[0] == '9') {
      prefix[0] = 'A';
    } else {
      ++prefix[0];
    }
  }
  if (items.empty()) return 0;
  const int chosen = ShowMenu(FMENU_AUTOHIGHLIGHT, MsgText(MFormatChooserTitle), nullptr, items);
  if (chosen < 0 || chosen >= static_cast<int>(items.size())) return 0;
  CopyText(name, kMenuNameSize, items[static_cast<size_t>(chosen)].Text);
  return 1;
}

int FindFormatByName(ImagePanel& panel, const char* longName, int* index, char* shortName) {
  char name[MAX_PATH], shortBuf[kMenuNameSize];
  for (int i = 0; ModuleGetFormatName(i, name, sizeof name, shortBuf, sizeof shortBuf); ++i) {
    if (CompareOemNames(name, longName, MAX_PATH) != 0) continue;
    panel.module = i;
    if (index) *index = i;
    if (shortName) CopyText(shortName, kMenuNameSize, shortBuf);
    return 1;
  }
  return 0;
}

int AskNewImageName(char* fileName, const char* shortName, const char* longName, int addExtension) {
  fileName[0] = 0;
  const PluginState& s = State();
  if (!s.started || !s.info.Dialog) return 0;
  const std::string title = FormatMsg(MNewImageTitle, longName);
  const DialogItemInit inits[] = {
      {DI_DOUBLEBOX, 3, 1, 72, 4, 0, 0, 0, 0, TextData(title.c_str())},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, MNewImagePrompt},
      {DI_EDIT, 5, 3, 70, 3, 1, TextData("NewEdit"), DIF_HISTORY, 1, TextData("")},
  };
  constexpr int kCount = sizeof inits / sizeof inits[0];
  constexpr int kEdit = 2;
  FarDialogItem items[kCount] = {};
  InitDialogItems(inits, items, kCount);
  if (s.info.Dialog(s.info.ModuleNumber, -1, -1, 76, 6, nullptr, items, kCount) < 0) return 0;
  const std::string typed(items[kEdit].Data, strnlen(items[kEdit].Data, sizeof items[kEdit].Data));
  if (typed.empty()) return 0;
  std::string name = typed;
  // Only the last component gets the extension and the capitals: a folder part names a
  // folder that exists as written.
  const size_t last = static_cast<size_t>(PointToName(name.c_str()) - name.c_str());
  if (addExtension && name.find('.', last) == std::string::npos) {
    if (!HasMixedCase(name.c_str() + last))
      for (size_t i = last; i < name.size(); ++i) name[i] = AsciiUpper(name[i]);
    name += '.';
    name += shortName;
  }
  // A cut name would create a file the user did not name.
  if (!CopyText(fileName, kMenuNameSize, name.c_str())) {
    fileName[0] = 0;
    ShowCreateFailed(typed.c_str());
    return 0;
  }
  return 1;
}

void ImageGlobalMenu(ImagePanel& panel) {
  char name[kMenuNameSize] = "", shortName[kMenuNameSize] = "";
  bool firstTime = !ReadRegistryString(HKEY_CURRENT_USER, "", kValueDefaultFormat, name, "", sizeof name);
  bool choose = firstTime;
  // A stored default that no module matches: the chooser is the only way on, so leaving
  // it ends the command (else the chooser would come back without end).
  bool stale = false;
  for (;;) {
    if (choose) {
      char chosen[kMenuNameSize] = "";
      CopyText(chosen, sizeof chosen, name);
      if (ChooseFormatMenu(panel, chosen)) {
        CopyText(name, sizeof name, std::strlen(chosen) > 2 ? chosen + 2 : "");  // without the hot-key prefix
        WriteRegistryString(HKEY_CURRENT_USER, "", kValueDefaultFormat, name);
      } else if (firstTime || stale) {
        return;
      }
      choose = false;
    }
    int index = -1;
    if (!FindFormatByName(panel, name, &index, shortName)) {
      choose = stale = true;
      continue;
    }
    stale = false;
    const std::string title = FormatMsg(MGlobalMenuTitle, name);
    const std::vector<FarMenuItem> items = {MenuItem(MsgText(MNewImage), 1), MenuItem(MsgText(MUnsupportedFunction)),
                                            MenuItem("", 0, 1), MenuItem(MsgText(MDefaultFormat))};
    switch (ShowMenu(0, title.c_str(), "ImageGlobalFunc", items)) {
      case 0: {
        char fileName[kMenuNameSize];
        if (AskNewImageName(fileName, shortName, name, 1)) MakeNewImageFile(panel, fileName);
        return;
      }
      case 1: ShowModuleUnsupported(); return;
      case 3:  // the chooser in normal mode: leaving it comes back here
        choose = true;
        firstTime = false;
        break;
      default: return;
    }
  }
}

}  // namespace panoply
