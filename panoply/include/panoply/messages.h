// The plug-in's texts by number, the compact dialog descriptions and the fixed
// message boxes.
#pragma once

#include <cstdint>
#include <string>

#include "formatmodule/interface.h"
#include "pluginapi/plugin_api.h"

namespace panoply {

// Message numbers of the plug-in's language file.
enum Msg : int {
  MOk = 0,
  MCancel = 1,
  MCancel2 = 2,
  MDelete = 3,
  MCopyButton = 4,
  MOkFailed = 5,
  MContinue = 6,
  MDeleteConfirm = 7,
  MAll = 8,
  MSkip = 9,
  MPutButton = 10,
  MOkUnsupported = 11,
  MConfigTitle = 12,
  MConfigMenu = 13,
  MPluginMenu = 14,
  MError = 15,
  MExtractCopyTitle = 16,
  MPutCopyTitle = 17,
  MExtractMoveTitle = 18,
  MPutMoveTitle = 19,
  MGlobalMenuTitle = 20,
  MFormatChooserTitle = 21,
  MExtractOne = 22,
  MExtractMany = 23,
  MMoveOne = 24,
  MMoveMany = 25,
  MExtractHostList = 26,
  MUseHotKeys = 27,
  MProtect = 28,
  MUseDecoder = 29,
  MListError = 30,
  MListReadError = 31,
  MPanelFormat = 32,
  MKeyBarLabel = 33,
  MNewImage = 34,
  MUnsupportedFunction = 35,
  MDefaultFormat = 36,
  MNewImageTitle = 37,
  MNewImagePrompt = 38,
  MNotSupported = 39,
  MCopyFileFailed = 40,
  MCopyFolderFailed = 41,
  MCreateFailed = 42,
  MDeleteFileFailed = 43,
  MDeleteFolderFailed = 44,
  MOpenFailed = 45,
  MDeleteTitle = 46,
  MArchiveTitle = 47,
  MFolderTitle = 48,
  MDeleteItems = 49,
  MDeleteFolder = 50,
  MItemCount = 51,
  MDeleting = 52,
  MFolderQuery = 53,
  MPutPrompt = 54,
  MPutCheck = 55,
  MExtractCheck = 56,
  MStopLine = 57,
  MPutAsk3 = 58,
  MPutAsk4 = 59,
  MReadCount = 60,
  MReadTitle = 61,
  MReadLine = 62,
  MCopiedNotDeleted = 63,
};

// Below this, a DialogItemInit's Data is a message number; otherwise a text's address.
inline constexpr uintptr_t kFirstTextAddress = 2000;

// Compact description of one dialog item. Selected and Data are pointer-sized, so that
// they can hold an address on every build.
struct DialogItemInit {
  unsigned char Type, X1, Y1, X2, Y2, Focus;
  uintptr_t Selected;  // check state, or the address of a history name
  uint32_t Flags;
  unsigned char DefaultButton;
  uintptr_t Data;  // message number, or the address of a text
};

inline uintptr_t TextData(const char* text) { return reinterpret_cast<uintptr_t>(text); }

// GetMsg of the number; "" before the host has started the plug-in.
const char* MsgText(int number);
// The text of the number with its first "%s" or "%d" replaced by arg ("%%" is "%").
std::string FormatMsg(int number, const std::string& arg);
// The text of the number with its "%d" replaced by count and each group of forms the
// count chooses from: "{item|items}" (one, other) or "{элемент|элемента|элементов}"
// (one, few, many, as Russian counts).
std::string FormatCount(int number, int count);
void InitDialogItems(const DialogItemInit* inits, FarDialogItem* items, int count);

// The message boxes. Those without a result show a box and return when it closes.
void ShowModuleUnsupported();
void ShowCopyFailed(const char* name, uint32_t attributes);
void ShowOpenFailed(const char* name);
void ShowCreateFailed(const char* name);
void ShowDeleteFailed(const char* name, uint32_t attributes);
// A move whose copy landed but does not match the item (a size changed since the
// listing): the item stays in the image.
void ShowCopiedNotDeleted(const char* name);
bool ConfirmDelete(const PanelInfo& panel);
void ShowDeleting(const char* path);
int AskDeleteArchived(int count);
int AskDeleteFolder(const char* path);
void ShowFileExist(const char* text);
// The copy dialog of both directions (help topic "ExtractFiles", 76 x 10, centred): a
// double box titled with message `title`, the prompt line, the edit line with the focus
// (with the history `history` when that is not null), a check box of message `check`, and
// the buttons of message `button` (the default) and message 2. `prompt` is a message
// number or a text's address, as a DialogItemInit's Data. False when closed by Esc or the
// second button; otherwise edit gets the edit line's text and checked the box's state.
bool CopyDialog(int title, uintptr_t prompt, const std::string& editText, const char* history, int check, int button,
                std::string& edit, bool& checked);
// A warning box with title 15, one line and button 0 (listing errors).
void ShowListError(int lineMessage);

// Calls the host's Message service; -1 before the host has started the plug-in.
int ShowMessage(unsigned flags, const char* const* lines, int count, int buttons);

}  // namespace panoply
