// The plug-in's entry points: thin functions that check little and hand over to the
// settings, the module table and the image panel. Every export called before the host's
// start-up record arrived returns its "nothing" result.
#include <cstdlib>
#include <cstring>
#include <new>

#include "formatmodule/interface.h"
#include "panoply/global_menu.h"
#include "panoply/messages.h"
#include "panoply/modules.h"
#include "panoply/panel.h"
#include "panoply/put.h"
#include "panoply/settings.h"
#include "panoply/state.h"
#include "pluginapi/plugin_api.h"

#define PANOPLY_EXPORT extern "C" __attribute__((visibility("default")))

using namespace panoply;

PANOPLY_EXPORT void SetStartupInfo(const PluginStartupInfo* info) {
  if (!info) return;
  PluginState& s = State();
  // The record is copied whole; a host whose record is shorter (its StructSize says so)
  // gives only that much, and the services it lacks stay null.
  size_t size = sizeof s.info;
  if (info->StructSize > 0 && static_cast<size_t>(info->StructSize) < size)
    size = static_cast<size_t>(info->StructSize);
  std::memset(&s.info, 0, sizeof s.info);
  std::memcpy(&s.info, info, size);
  s.info.ModuleName[sizeof s.info.ModuleName - 1] = 0;
  s.started = true;
  BuildKeyName(s.info.RootKey);
  if (!s.modules) {
    s.modules = new (std::nothrow) FormatModuleTable;
    LoadFormatModules(s.info.ModuleName);
  }
  ReadSettings();
}

PANOPLY_EXPORT void GetPluginInfo(PluginInfo* info) {
  if (!info) return;
  static const char* menuStrings[1];
  static const char* configStrings[1];
  // Every field but CommandPrefix, which stays as the host set it.
  info->StructSize = sizeof *info;
  info->Flags = 0;
  info->DiskMenuStrings = nullptr;
  info->DiskMenuNumbers = nullptr;
  info->DiskMenuStringsNumber = 0;
  info->PluginMenuStrings = nullptr;
  info->PluginMenuStringsNumber = 0;
  info->PluginConfigStrings = nullptr;
  info->PluginConfigStringsNumber = 0;
  if (!State().started) return;
  menuStrings[0] = MsgText(MPluginMenu);
  configStrings[0] = MsgText(MConfigMenu);
  info->PluginMenuStrings = menuStrings;
  info->PluginMenuStringsNumber = 1;
  info->PluginConfigStrings = configStrings;
  info->PluginConfigStringsNumber = 1;
}

PANOPLY_EXPORT void* OpenFilePlugin(const char* name, const unsigned char* data, int dataSize) {
  const PluginState& s = State();
  if (!s.started || !s.modules || !name || !*name) return kNoPanel;
  const int module = DetectImageFormat(name, data, dataSize);
  if (module < 0) return kNoPanel;
  ImagePanel* panel = NewImagePanel(module);
  if (!panel) return kNoPanel;
  if (ReadImageItems(*panel, name) != 1) {
    FreeImagePanel(panel);
    return kNoPanel;
  }
  return panel;
}

// The global menu runs on a panel of its own that never reaches the host.
PANOPLY_EXPORT void* OpenPlugin(int, int) {
  if (!State().started) return kNoPanel;
  ImagePanel* panel = NewImagePanel(-1);
  if (!panel) return kNoPanel;
  ImageGlobalMenu(*panel);
  FreeImagePanel(panel);
  return kNoPanel;
}

namespace {
// The panel behind a host handle; null for none (also before start-up).
ImagePanel* Panel(void* handle) {
  if (!State().started || !handle || handle == kNoPanel) return nullptr;
  return static_cast<ImagePanel*>(handle);
}
}  // namespace

PANOPLY_EXPORT void ClosePlugin(void* handle) { FreeImagePanel(Panel(handle)); }

PANOPLY_EXPORT void GetOpenPluginInfo(void* handle, OpenPluginInfo* info) {
  if (ImagePanel* panel = Panel(handle)) FillOpenPluginInfo(*panel, info);
}

PANOPLY_EXPORT int GetFindData(void* handle, PluginPanelItem** items, int* count, int) {
  if (items) *items = nullptr;
  if (count) *count = 0;
  ImagePanel* panel = Panel(handle);
  return panel ? BuildFindData(*panel, items, count) : FALSE;
}

PANOPLY_EXPORT void FreeFindData(void*, PluginPanelItem* items, int) { FreeFindDataArray(items); }

PANOPLY_EXPORT int SetDirectory(void* handle, const char* dir, int) {
  ImagePanel* panel = Panel(handle);
  return panel ? ChangeImageDirectory(*panel, dir) : FALSE;
}

PANOPLY_EXPORT int GetFiles(void*, PluginPanelItem*, int, int, char*, int) { return 0; }

PANOPLY_EXPORT int PutFiles(void* handle, PluginPanelItem* items, int count, int move, int opMode) {
  ImagePanel* panel = Panel(handle);
  return panel ? PutPcFiles(*panel, items, count, move, opMode) : 0;
}

PANOPLY_EXPORT int DeleteFiles(void*, PluginPanelItem*, int, int) { return FALSE; }

PANOPLY_EXPORT int ProcessHostFile(void*, PluginPanelItem*, int, int) { return 0; }

PANOPLY_EXPORT int Configure(int) { return ConfigureSettings(); }

PANOPLY_EXPORT void ExitFAR() {
  PluginState& s = State();
  UnloadFormatModules();
  delete s.modules;
  s.modules = nullptr;
}
