// The format-module interface: what the panel plug-in and every format module
// ("*.di" shared library) rely on.
//
// Binding: the caller loads each module with LoadLibraryA and looks up the nine
// plain C names below with GetProcAddress in the order of kEntryPointNames.
// Every export is optional; a missing one counts as result 0 without a call.
//
// Image handle: a file handle that the caller opens (read and write, shared,
// existing file, sequential hint) and closes; a module reads, writes and seeks
// through it but never closes it. Only IsImage gets a file name and opens the
// file itself. A file handle is the POSIX descriptor plus one stored in the
// pointer value (PlatformHandleFromFd / PlatformFdFromHandle in
// platform/win32types.h): 0 and INVALID_HANDLE_VALUE (all ones) are never valid
// handles, and a module built elsewhere reads the image through descriptor
// `(intptr_t)handle - 1`.
//
// Strings are 8-bit and zero-terminated, passed unconverted. Every buffer
// belongs to the caller; a module keeps no pointer beyond the call.
//
// Item paths are full paths from the image root with "\" between components
// ("/" is accepted and turned into "\" by the caller); a path that ends in "\"
// is a directory item. The path buffer handed to CopyToPC and DelFile has 260
// bytes and may be changed in place by the module.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32types.h"

#pragma pack(push, 2)

// The host's panel-item record, 366 bytes in 2-byte packing with 32-bit and
// 64-bit pointers alike. Fields no part of this system uses are reserved bytes.
// A module fills FindData.dwFileAttributes, nFileSizeLow and cFileName of a
// record the caller cleared, and leaves every pointer field null.
struct PluginPanelItem {
  WIN32_FIND_DATA FindData;  // 0
  BYTE Reserved1[4];         // 318
  DWORD PackSize;            // 322
  DWORD Flags;               // 326
  BYTE Reserved2[4];         // 330
  char* Description;         // 334: freed by the caller when not null
  BYTE Reserved3[366 - 334 - sizeof(char*)];
};

#pragma pack(pop)

static_assert(sizeof(PluginPanelItem) == 366);
static_assert(offsetof(PluginPanelItem, PackSize) == 322);
static_assert(offsetof(PluginPanelItem, Flags) == 326);
static_assert(offsetof(PluginPanelItem, Description) == 334);
static_assert(offsetof(WIN32_FIND_DATA, dwFileAttributes) == 0);
static_assert(offsetof(WIN32_FIND_DATA, ftLastWriteTime) == 20);
static_assert(offsetof(WIN32_FIND_DATA, nFileSizeLow) == 32);
static_assert(offsetof(WIN32_FIND_DATA, cFileName) == 44);
static_assert(offsetof(WIN32_FIND_DATA, cAlternateFileName) == 304);

// Result codes. Every result is a signed 32-bit integer.
constexpr int FM_FAILED = 0;             // failed; GetImgItem: end of the list
constexpr int FM_DONE = 1;               // done; GetImgItem: the record is an item
constexpr int FM_NOT_SUPPORTED = 2;      // not supported / path unknown; GetImgItem: contents wrong
constexpr int FM_READ_ERROR = 3;         // GetImgItem: a read of the image failed
constexpr int FM_ASK_REPLACE = 3;        // CopyFromPC: ask the user (message 58)
constexpr int FM_ASK_OTHER = 4;          // CopyFromPC: ask the user (message 59)
constexpr int FM_STOP = 5;               // FileExistOnImage: stop the command
constexpr int FM_DISK_OUT_OF_RANGE = 5;  // CopyToPC, DelFile: no such disk, passed over silently

// Buffer sizes the caller provides to GetFormatName (at least).
constexpr std::size_t FM_LONG_NAME_SIZE = 100;   // long name: at most 99 characters
constexpr std::size_t FM_SHORT_NAME_SIZE = 128;  // short name: at most 127 characters
constexpr std::size_t FM_PATH_SIZE = 260;        // path buffers of CopyToPC and DelFile

// Entry-point types, in binding order.
using IsImageProc = int(WINAPI*)(const char* fileName, const unsigned char* firstBytes, int firstBytesSize);
using ImgPrepareProc = int(WINAPI*)(HANDLE image);
using GetImgItemProc = int(WINAPI*)(HANDLE image, PluginPanelItem* item);
using GetFormatNameProc = int(WINAPI*)(char* longName, char* shortName);
using CopyFromPCProc = int(WINAPI*)(const char* pcFileName, HANDLE image, PluginPanelItem pcItem, const char* targetDir,
                                    int option);
using CopyToPCProc = int(WINAPI*)(HANDLE image, char* path, PluginPanelItem item);
using MakeNewImageProc = int(WINAPI*)(HANDLE newFile);
using DelFileProc = int(WINAPI*)(HANDLE image, char* path, PluginPanelItem item);
using FileExistOnImageProc = int(WINAPI*)(HANDLE image, WIN32_FIND_DATA pcFile, const char* targetDir);

// Slots of a module's entry points, in the order the caller binds them.
enum FormatEntryPoint : int {
  EP_IsImage = 0,
  EP_ImgPrepare,
  EP_GetImgItem,
  EP_GetFormatName,
  EP_CopyFromPC,
  EP_CopyToPC,
  EP_MakeNewImage,
  EP_DelFile,
  EP_FileExistOnImage,
  EP_Count
};

inline constexpr const char* kEntryPointNames[EP_Count] = {
    "IsImage",  "ImgPrepare",   "GetImgItem", "GetFormatName",    "CopyFromPC",
    "CopyToPC", "MakeNewImage", "DelFile",    "FileExistOnImage",
};

// File-name extension of a format module, and the folder beside the plug-in
// where modules are looked for.
inline constexpr const char* kFormatModuleExtension = ".di";
inline constexpr const char* kFormatModuleFolder = "Formats";

// Exported names as a module defines them (plain C names, default visibility;
// everything else in a module stays hidden).
#define FORMATMODULE_EXPORT extern "C" __attribute__((visibility("default")))

FORMATMODULE_EXPORT int WINAPI IsImage(const char* fileName, const unsigned char* firstBytes, int firstBytesSize);
FORMATMODULE_EXPORT int WINAPI ImgPrepare(HANDLE image);
FORMATMODULE_EXPORT int WINAPI GetImgItem(HANDLE image, PluginPanelItem* item);
FORMATMODULE_EXPORT int WINAPI GetFormatName(char* longName, char* shortName);
FORMATMODULE_EXPORT int WINAPI CopyFromPC(const char* pcFileName, HANDLE image, PluginPanelItem pcItem,
                                          const char* targetDir, int option);
FORMATMODULE_EXPORT int WINAPI CopyToPC(HANDLE image, char* path, PluginPanelItem item);
FORMATMODULE_EXPORT int WINAPI MakeNewImage(HANDLE newFile);
FORMATMODULE_EXPORT int WINAPI DelFile(HANDLE image, char* path, PluginPanelItem item);
FORMATMODULE_EXPORT int WINAPI FileExistOnImage(HANDLE image, WIN32_FIND_DATA pcFile, const char* targetDir);
