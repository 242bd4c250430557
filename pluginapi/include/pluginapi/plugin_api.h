// The file manager - plug-in boundary: the records, service signatures, export
// signatures and constants that a file manager and its panel plug-ins share.
//
// Two boundaries meet in the plug-in, each with its own folder:
//   pluginapi/     file manager <-> plug-in (this header). The file manager owns
//                  PluginStartupInfo and its services (GetMsg, Message, Dialog, Menu,
//                  Control, SaveScreen, RestoreScreen) and the records they take
//                  (FarMenuItem, FarDialogItem, PanelInfo); the plug-in owns its 15
//                  exports and the records it fills for them (PluginInfo,
//                  OpenPluginInfo, InfoPanelLine, KeyBarTitles).
//   formatmodule/  plug-in <-> format module: the nine entry points and their results.
//
// PluginPanelItem, the file manager's panel-item record, travels across both
// boundaries: the plug-in hands it to the file manager and receives it filled from
// the format modules. It is declared in formatmodule/interface.h, so that format
// modules reach it without depending on this folder; this header includes it.
//
// Records that travel with a fixed size keep it with 64-bit pointers through 2-byte
// packing and reserved tails; the tests check sizes and offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formatmodule/interface.h"

inline constexpr int kPluginNameSize = 260;

// ---- constants ----
inline constexpr unsigned FMSG_WARNING = 1;
inline constexpr unsigned FMSG_KEEPBACKGROUND = 4;
inline constexpr unsigned FMSG_DOWN = 8;

inline constexpr int DI_TEXT = 0;
inline constexpr int DI_DOUBLEBOX = 3;
inline constexpr int DI_EDIT = 4;
inline constexpr int DI_BUTTON = 7;
inline constexpr int DI_CHECKBOX = 8;

inline constexpr unsigned DIF_BOXCOLOR = 0x200;
inline constexpr unsigned DIF_CENTERGROUP = 0x4000;
inline constexpr unsigned DIF_SEPARATOR = 0x10000;
inline constexpr unsigned DIF_HISTORY = 0x40000;

inline constexpr unsigned FMENU_AUTOHIGHLIGHT = 4;

inline constexpr int OPM_SILENT = 1;
inline constexpr int OPM_VIEW = 4;
inline constexpr int OPM_EDIT = 8;
inline constexpr int OPM_TOPLEVEL = 0x10;

inline constexpr unsigned OPIF_USEFILTER = 1;
inline constexpr unsigned OPIF_USESORTGROUPS = 2;
inline constexpr unsigned OPIF_USEHIGHLIGHTING = 4;
inline constexpr unsigned OPIF_ADDDOTS = 8;

inline constexpr int FCTL_GETPANELINFO = 1;
inline constexpr int FCTL_UPDATEPANEL = 3;
inline constexpr int FCTL_REDRAWPANEL = 5;

// The handle value meaning "no panel" as a plug-in result, and "the active panel" as
// the first argument of Control.
inline void* const kNoPanel = reinterpret_cast<void*>(intptr_t{-1});

// ---- records ----
#pragma pack(push, 2)

struct FarMenuItem {
  char Text[128];
  int Selected;
  int Checked;
  int Separator;
};

struct FarDialogItem {
  int Type;
  int X1, Y1, X2, Y2;
  int Focus;
  union {
    intptr_t Selected;    // state of a check box
    const char* History;  // history name of an edit line with DIF_HISTORY
  };
  unsigned Flags;
  int DefaultButton;
  char Data[512];
};

struct PanelInfo {
  int StructSize;
  int PanelType;
  int Plugin;
  PluginPanelItem* PanelItems;
  int ItemsNumber;
  PluginPanelItem* SelectedItems;
  int SelectedItemsNumber;
  int CurrentItem;
  int TopPanelItem;
  int Visible;
  int Focus;
  unsigned Flags;
  char CurDir[kPluginNameSize];
  char Reserved[16];
};

struct PluginInfo {
  int StructSize;
  unsigned Flags;
  const char* const* DiskMenuStrings;
  int* DiskMenuNumbers;
  int DiskMenuStringsNumber;
  const char* const* PluginMenuStrings;
  int PluginMenuStringsNumber;
  const char* const* PluginConfigStrings;
  int PluginConfigStringsNumber;
  const char* CommandPrefix;
};

struct InfoPanelLine {
  char Text[80];
  char Data[80];
  int Separator;
};

struct KeyBarTitles {
  char* Titles[12];
  char* CtrlTitles[12];
  char* AltTitles[12];
  char* ShiftTitles[12];
};

struct PanelMode;  // column layouts; this host's plug-ins use none

struct OpenPluginInfo {
  int StructSize;
  unsigned Flags;
  const char* HostFile;
  const char* CurDir;
  const char* Format;
  const char* PanelTitle;
  const InfoPanelLine* InfoLines;
  int InfoLinesNumber;
  const char* const* DescrFiles;
  int DescrFilesNumber;
  const PanelMode* PanelModesArray;
  int PanelModesNumber;
  int StartPanelMode;
  int StartSortMode;
  int StartSortOrder;
  const KeyBarTitles* KeyBar;
  const char* ShortcutData;
};

// ---- host services ----
using FarApiGetMsg = const char* (*)(int pluginNumber, int msgId);
using FarApiMessage = int (*)(int pluginNumber, unsigned flags, const char* helpTopic, const char* const* items,
                              int itemsNumber, int buttonsNumber);
using FarApiDialog = int (*)(int pluginNumber, int x1, int y1, int x2, int y2, const char* helpTopic,
                             FarDialogItem* item, int itemsNumber);
using FarApiMenu = int (*)(int pluginNumber, int x, int y, int maxHeight, unsigned flags, const char* title,
                           const char* bottom, const char* helpTopic, const int* breakKeys, int* breakCode,
                           const FarMenuItem* item, int itemsNumber);
using FarApiControl = int (*)(void* plugin, int command, void* param);
using FarApiSaveScreen = void* (*)(int x1, int y1, int x2, int y2);
using FarApiRestoreScreen = void (*)(void* screen);

struct PluginStartupInfo {
  int StructSize;
  char ModuleName[kPluginNameSize];
  int ModuleNumber;
  const char* RootKey;
  FarApiGetMsg GetMsg;
  FarApiMessage Message;
  FarApiDialog Dialog;
  FarApiMenu Menu;
  FarApiControl Control;
  FarApiSaveScreen SaveScreen;
  FarApiRestoreScreen RestoreScreen;
  char Reserved[4];
};

#pragma pack(pop)

static_assert(sizeof(PluginStartupInfo) == 336, "start-up record has a fixed size");

// ---- plug-in exports ----
using PluginSetStartupInfo = void (*)(const PluginStartupInfo* info);
using PluginOpenFilePlugin = void* (*)(const char* name, const unsigned char* data, int dataSize);
using PluginOpenPlugin = void* (*)(int openFrom, int item);
using PluginClosePlugin = void (*)(void* plugin);
using PluginGetPluginInfo = void (*)(PluginInfo* info);
using PluginGetOpenPluginInfo = void (*)(void* plugin, OpenPluginInfo* info);
using PluginGetFindData = int (*)(void* plugin, PluginPanelItem** items, int* count, int opMode);
using PluginFreeFindData = void (*)(void* plugin, PluginPanelItem* items, int count);
using PluginSetDirectory = int (*)(void* plugin, const char* dir, int opMode);
using PluginGetFiles = int (*)(void* plugin, PluginPanelItem* items, int count, int move, char* destPath, int opMode);
using PluginPutFiles = int (*)(void* plugin, PluginPanelItem* items, int count, int move, int opMode);
using PluginDeleteFiles = int (*)(void* plugin, PluginPanelItem* items, int count, int opMode);
using PluginProcessHostFile = int (*)(void* plugin, PluginPanelItem* items, int count, int opMode);
using PluginConfigure = int (*)(int itemNumber);
using PluginExitFAR = void (*)();

// The export names a plug-in must carry, in the order of PluginExports' members.
inline constexpr const char* kPluginExportNames[] = {
    "SetStartupInfo", "OpenFilePlugin", "GetFindData",  "GetPluginInfo", "ClosePlugin",
    "ExitFAR",        "Configure",      "FreeFindData", "OpenPlugin",    "GetOpenPluginInfo",
    "SetDirectory",   "DeleteFiles",    "GetFiles",     "PutFiles",      "ProcessHostFile",
};

struct PluginExports {
  PluginSetStartupInfo SetStartupInfo = nullptr;
  PluginOpenFilePlugin OpenFilePlugin = nullptr;
  PluginGetFindData GetFindData = nullptr;
  PluginGetPluginInfo GetPluginInfo = nullptr;
  PluginClosePlugin ClosePlugin = nullptr;
  PluginExitFAR ExitFAR = nullptr;
  PluginConfigure Configure = nullptr;
  PluginFreeFindData FreeFindData = nullptr;
  PluginOpenPlugin OpenPlugin = nullptr;
  PluginGetOpenPluginInfo GetOpenPluginInfo = nullptr;
  PluginSetDirectory SetDirectory = nullptr;
  PluginDeleteFiles DeleteFiles = nullptr;
  PluginGetFiles GetFiles = nullptr;
  PluginPutFiles PutFiles = nullptr;
  PluginProcessHostFile ProcessHostFile = nullptr;
};
