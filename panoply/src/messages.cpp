#include "panoply/messages.h"

#include <cstring>
#include <string>
#include <vector>

#include "panoply/names.h"
#include "panoply/state.h"

namespace panoply {

const char* MsgText(int number) {
  const PluginState& s = State();
  if (!s.started || !s.info.GetMsg) return "";
  const char* text = s.info.GetMsg(s.info.ModuleNumber, number);
  return text ? text : "";
}

void InitDialogItems(const DialogItemInit* inits, FarDialogItem* items, int count) {
  for (int i = 0; i < count; ++i) {
    const DialogItemInit& in = inits[i];
    FarDialogItem& out = items[i];
    out.Type = in.Type;
    out.X1 = in.X1;
    out.Y1 = in.Y1;
    out.X2 = in.X2;
    out.Y2 = in.Y2;
    out.Focus = in.Focus;
    out.Selected = static_cast<intptr_t>(in.Selected);
    out.Flags = in.Flags;
    out.DefaultButton = in.DefaultButton;
    const char* text =
        in.Data < kFirstTextAddress ? MsgText(static_cast<int>(in.Data)) : reinterpret_cast<const char*>(in.Data);
    CopyText(out.Data, sizeof out.Data, text);
  }
}

int ShowMessage(unsigned flags, const char* const* lines, int count, int buttons) {
  const PluginState& s = State();
  if (!s.started || !s.info.Message) return -1;
  return s.info.Message(s.info.ModuleNumber, flags, nullptr, lines, count, buttons);
}

namespace {

constexpr unsigned kWarningDown = FMSG_WARNING | FMSG_DOWN;                  // 9
constexpr unsigned kQuery = FMSG_WARNING | FMSG_DOWN | FMSG_KEEPBACKGROUND;  // 13

// Title 15, one message line, the name, one button 5.
void ShowFailure(int line, const char* name) {
  const char* lines[] = {MsgText(MError), MsgText(line), name ? name : "", MsgText(MOkFailed)};
  ShowMessage(kWarningDown, lines, 4, 1);
}

// The form a count takes among `forms` alternatives: two as in English (one, other),
// three as in Russian (1 and 21 элемент, 2 to 4 элемента, 5 to 20 and 11 to 14 элементов).
size_t PluralForm(int count, size_t forms) {
  const unsigned n = count < 0 ? 0u - static_cast<unsigned>(count) : static_cast<unsigned>(count);
  if (forms == 2) return n == 1 ? 0 : 1;
  if (n % 10 == 1 && n % 100 != 11) return 0;
  if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14)) return 1;
  return 2;
}

}  // namespace

std::string FormatCount(int number, int count) {
  const std::string text = FormatMsg(number, std::to_string(count));
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
    if (close == std::string::npos) {
      out += text[i];
      continue;
    }
    std::vector<std::string> forms(1);
    for (size_t k = i + 1; k < close; ++k) {
      if (text[k] == '|')
        forms.emplace_back();
      else
        forms.back() += text[k];
    }
    if (forms.size() != 2 && forms.size() != 3) {  // not a group of forms: the text as it stands
      out += text[i];
      continue;
    }
    out += forms[PluralForm(count, forms.size())];
    i = close;
  }
  return out;
}

std::string FormatMsg(int number, const std::string& arg) {
  const std::string text = MsgText(number);
  std::string out;
  bool used = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      const char c = text[i + 1];
      if (c == '%') {
        out += '%';
        ++i;
        continue;
      }
      if ((c == 's' || c == 'd') && !used) {
        out += arg;
        used = true;
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

void ShowModuleUnsupported() {
  const char* lines[] = {MsgText(MError), MsgText(MNotSupported), MsgText(MOkUnsupported)};
  ShowMessage(FMSG_WARNING, lines, 3, 1);
}

void ShowCopyFailed(const char* name, uint32_t attributes) {
  ShowFailure(attributes & FILE_ATTRIBUTE_DIRECTORY ? MCopyFolderFailed : MCopyFileFailed, name);
}

void ShowOpenFailed(const char* name) { ShowFailure(MOpenFailed, name); }

void ShowCreateFailed(const char* name) { ShowFailure(MCreateFailed, name); }

void ShowDeleteFailed(const char* name, uint32_t attributes) {
  ShowFailure(attributes & FILE_ATTRIBUTE_DIRECTORY ? MDeleteFolderFailed : MDeleteFileFailed, name);
}

void ShowCopiedNotDeleted(const char* name) { ShowFailure(MCopiedNotDeleted, name); }

bool ConfirmDelete(const PanelInfo& panel) {
  const int n = panel.SelectedItemsNumber;
  const PluginPanelItem* first = panel.SelectedItems;
  const bool oneFolder = n <= 1 && first && (first->FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  const std::string count = FormatCount(MItemCount, n);
  const std::string name = first ? std::string(first->FindData.cFileName,
                                               strnlen(first->FindData.cFileName, sizeof first->FindData.cFileName))
                                 : std::string();
  const char* what = n <= 1 ? name.c_str() : count.c_str();
  const char* lines[] = {MsgText(MDeleteTitle), MsgText(oneFolder ? MDeleteFolder : MDeleteItems), what,
                         MsgText(MDeleteConfirm), MsgText(MCancel)};
  return ShowMessage(0, lines, 5, 2) == 0;
}

void ShowDeleting(const char* path) {
  const char* lines[] = {MsgText(MDeleteTitle), MsgText(MDeleting), path ? path : ""};
  ShowMessage(0, lines, 3, 0);
}

int AskDeleteArchived(int count) {
  const std::string text = FormatCount(MItemCount, count);
  const char* lines[] = {MsgText(MArchiveTitle), MsgText(MDeleteItems), text.c_str(), MsgText(MDelete),
                         MsgText(MCancel2)};
  return ShowMessage(kQuery, lines, 5, 2);
}

int AskDeleteFolder(const char* path) {
  const char* lines[] = {MsgText(MFolderTitle), MsgText(MFolderQuery), path ? path : "", MsgText(MAll),
                         MsgText(MDelete),      MsgText(MSkip),        MsgText(MCancel2)};
  return ShowMessage(kQuery, lines, 7, 4);
}

void ShowFileExist(const char* text) {
  const char* lines[] = {MsgText(MError), MsgText(MStopLine), text ? text : "", MsgText(MCancel)};
  ShowMessage(kWarningDown, lines, 4, 1);
}

void ShowListError(int lineMessage) {
  const char* lines[] = {MsgText(MError), MsgText(lineMessage), MsgText(MOk)};
  ShowMessage(FMSG_WARNING, lines, 3, 1);
}

bool CopyDialog(int title, uintptr_t prompt, const std::string& editText, const char* history, int check, int button,
                std::string& edit, bool& checked) {
  const PluginState& s = State();
  if (!s.started || !s.info.Dialog) return false;
  constexpr unsigned separator = DIF_BOXCOLOR | DIF_SEPARATOR;
  const DialogItemInit inits[] = {
      {DI_DOUBLEBOX, 3, 1, 72, 8, 0, 0, 0, 0, static_cast<uintptr_t>(title)},
      {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0, prompt},
      {DI_EDIT, 5, 3, 70, 3, 1, history ? TextData(history) : 0, history ? DIF_HISTORY : 0u, 0,
       TextData(editText.c_str())},
      {DI_TEXT, 3, 4, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_CHECKBOX, 5, 5, 0, 0, 0, 0, 0, 0, static_cast<uintptr_t>(check)},
      {DI_TEXT, 3, 6, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, DIF_CENTERGROUP, 1, static_cast<uintptr_t>(button)},
      {DI_BUTTON, 0, 7, 0, 0, 0, 0, DIF_CENTERGROUP, 0, MCancel2},
  };
  constexpr int kCount = sizeof inits / sizeof inits[0];
  constexpr int kEdit = 2, kCheck = 4, kCancel = 7;
  FarDialogItem items[kCount] = {};
  InitDialogItems(inits, items, kCount);
  const int closedBy = s.info.Dialog(s.info.ModuleNumber, -1, -1, 76, 10, "ExtractFiles", items, kCount);
  if (closedBy < 0 || closedBy == kCancel) return false;
  edit.assign(items[kEdit].Data, strnlen(items[kEdit].Data, sizeof items[kEdit].Data));
  checked = items[kCheck].Selected != 0;
  return true;
}

}  // namespace panoply
