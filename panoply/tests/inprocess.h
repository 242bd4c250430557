// The plug-in's entry points linked into the test, handed to our host as a loaded
// plug-in's would be.
#pragma once

#include <memory>
#include <string>

#include "host/host.h"
#include "pluginapi/plugin_api.h"
#include "test_support.h"

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

// Starts our host on the linked-in entry points, as if the plug-in were the file
// dir/Panoply.so (or pluginPath), with a language file giving message N the text "mN"
// plus the lines of `extraTexts`, and a store file of its own in dir.
inline std::unique_ptr<host::Host> StartInProcess(const testsupport::TempDir& dir, host::Responder& responder,
                                                  const std::string& extraTexts, const std::string& pluginPath = "") {
  std::string lng;
  for (int i = 0; i <= 62; ++i) lng += std::to_string(i) + "=m" + std::to_string(i) + "\n";
  testsupport::WriteFile(dir / "Panoply.en.lng", lng + extraTexts);
  host::HostOptions o;
  o.registryFile = dir / "registry.txt";
  auto h = std::make_unique<host::Host>(o);
  if (!h->Attach(InProcessExports(), pluginPath.empty() ? dir.File("Panoply.so") : pluginPath)) return nullptr;
  h->SetResponder(&responder);
  h->Start();
  return h;
}
