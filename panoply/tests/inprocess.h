// The plug-in's entry points linked into the test, handed to our host as a loaded
// plug-in's would be.
#pragma once

#include "host/plugin_api.h"

extern "C" {
void SetStartupInfo(const PluginStartupInfo*);
void* OpenFilePlugin(const char*, const unsigned char*, int);
int GetFindData(void*, PluginPanelItem**, int*, int);
void GetPluginInfo(PluginInfo*);
void ClosePlugin(void*);
void ExitFAR();
int Configure(int);
void FreeFindData(void*, PluginPanelItem*, int);
void* OpenPlugin(int, int);
void GetOpenPluginInfo(void*, OpenPluginInfo*);
int SetDirectory(void*, const char*, int);
int DeleteFiles(void*, PluginPanelItem*, int, int);
int GetFiles(void*, PluginPanelItem*, int, int, char*, int);
int PutFiles(void*, PluginPanelItem*, int, int, int);
int ProcessHostFile(void*, PluginPanelItem*, int, int);
}

inline PluginExports InProcessExports() {
  PluginExports e;
  e.SetStartupInfo = &SetStartupInfo;
  e.OpenFilePlugin = &OpenFilePlugin;
  e.GetFindData = &GetFindData;
  e.GetPluginInfo = &GetPluginInfo;
  e.ClosePlugin = &ClosePlugin;
  e.ExitFAR = &ExitFAR;
  e.Configure = &Configure;
  e.FreeFindData = &FreeFindData;
  e.OpenPlugin = &OpenPlugin;
  e.GetOpenPluginInfo = &GetOpenPluginInfo;
  e.SetDirectory = &SetDirectory;
  e.DeleteFiles = &DeleteFiles;
  e.GetFiles = &GetFiles;
  e.PutFiles = &PutFiles;
  e.ProcessHostFile = &ProcessHostFile;
  return e;
}
