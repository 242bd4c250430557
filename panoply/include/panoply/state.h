// The plug-in's global state: one copy per loaded plug-in.
#pragma once

#include <cstdint>

#include "pluginapi/plugin_api.h"

namespace panoply {

struct FormatModuleTable;

inline constexpr size_t kKeyNameSize = 80;
inline constexpr size_t kDecodeNamesSize = 260;

struct PluginState {
  bool started = false;          // SetStartupInfo has run
  PluginStartupInfo info{};      // the host's record, copied whole
  char keyName[kKeyNameSize]{};  // RootKey (cut to fit) "\Panoply"; empty without RootKey
  FormatModuleTable* modules = nullptr;
  uint32_t protect = 1;
  uint32_t useDecoder = 0;
  uint32_t useHotKeys = 1;
  char decodeNames[kDecodeNamesSize] = "*.txt,*.doc";
};

PluginState& State();

}  // namespace panoply
