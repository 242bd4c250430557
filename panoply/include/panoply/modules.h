// The format-module table: every "*.di" module of the "Formats" folder beside the plug-in,
// with its nine entry points, and recognition of the module that serves a file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formatmodule/interface.h"

namespace panoply {

struct FormatModuleRecord {
  char fileName[MAX_PATH];  // the module file's name without folder
  HMODULE library;
  IsImageProc IsImage;
  ImgPrepareProc ImgPrepare;
  GetImgItemProc GetImgItem;
  GetFormatNameProc GetFormatName;
  CopyFromPCProc CopyFromPC;
  CopyToPCProc CopyToPC;
  MakeNewImageProc MakeNewImage;
  DelFileProc DelFile;
  FileExistOnImageProc FileExistOnImage;
};

struct FormatModuleTable {
  FormatModuleRecord* records = nullptr;  // load order
  int32_t count = 0;
};

// Fills the plug-in's empty table from the folder "Formats" beside pluginPath (the part
// up to its last "/"). A file that does not load is skipped.
void LoadFormatModules(const char* pluginPath);
// Frees every module's library and the array.
void UnloadFormatModules();
// The index of the module that accepts the file, or -1.
int DetectImageFormat(const char* name, const unsigned char* data, int dataSize);

// One wrapper per entry point: 0 without a call for index -1, an index past the table or
// a missing entry point; otherwise the entry point's result.
int ModuleIsImage(int index, const char* fileName, const unsigned char* data, int dataSize);
int ModuleImgPrepare(int index, HANDLE image);
int ModuleGetImgItem(int index, HANDLE image, PluginPanelItem* item);
// Clears longName first. The module always writes into buffers of 260 bytes or more;
// the names are then cut to fit longSize and shortSize (and to 99 and 127 characters).
int ModuleGetFormatName(int index, char* longName, size_t longSize, char* shortName, size_t shortSize);
int ModuleCopyFromPC(int index, const char* pcFileName, HANDLE image, PluginPanelItem pcItem, const char* targetDir,
                     int option);
int ModuleCopyToPC(int index, HANDLE image, char* path, PluginPanelItem item);
int ModuleMakeNewImage(int index, HANDLE newFile);
int ModuleDelFile(int index, HANDLE image, char* path, PluginPanelItem item);
int ModuleFileExistOnImage(int index, HANDLE image, WIN32_FIND_DATA pcFile, const char* targetDir);

}  // namespace panoply
