// A format module for tests: which entry points it exports is chosen at build time, what
// it answers is set by the test, and every call it receives is recorded.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "formatmodule/interface.h"

struct FakeCall {
  std::string entry;
  std::string path;        // file name, path or target folder received
  PluginPanelItem item{};  // item received (GetImgItem: the record as delivered)
  HANDLE handle = nullptr;
  std::string target;  // CopyFromPC and FileExistOnImage: the target folder received
  int option = -1;     // CopyFromPC: the option received
};

struct FakeModuleState {
  int isImage = 0;                     // answer of IsImage
  int prepare = 1;                     // answer of ImgPrepare
  std::vector<PluginPanelItem> items;  // delivered one by one with result 1
  int endResult = 0;                   // result after the last item
  std::string longName = "Fake image format", shortName = "FAK";
  int formatNameResult = 1;
  int copyToPC = 1, delFile = 1, copyFromPC = 1, makeNewImage = 1, fileExist = 0;
  std::vector<FakeCall> calls;
  size_t next = 0;  // position of the item walk
};

// Exported by every build of the fake; the test reaches it through dlopen/dlsym.
extern "C" __attribute__((visibility("default"))) FakeModuleState* FakeState();
using FakeStateProc = FakeModuleState* (*)();

inline PluginPanelItem FakeItem(const char* name, DWORD size = 0, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
  PluginPanelItem item{};
  std::strncpy(item.FindData.cFileName, name, sizeof item.FindData.cFileName - 1);
  item.FindData.nFileSizeLow = size;
  item.FindData.dwFileAttributes = attributes;
  return item;
}
