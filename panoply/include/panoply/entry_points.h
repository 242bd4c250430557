// The fifteen entry points the plug-in exports to the file manager, declared for code that links
// the plug-in's sources into its own program (the in-process tests and the fuzz target) and hands
// them to our host as a loaded plug-in's would be.
#pragma once

#include "pluginapi/plugin_api.h"

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

namespace panoply {

// The linked-in entry points as the record our host binds a loaded plug-in into.
inline PluginExports LinkedEntryPoints() {
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

}  // namespace panoply
