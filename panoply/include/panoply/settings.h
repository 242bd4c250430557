// The plug-in's settings in the registry, below the key the host names, and the
// settings dialog.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/registry.h"

namespace panoply {

// Values and their defaults.
inline constexpr const char* kValueProtect = "Protect";
inline constexpr const char* kValueUseDecoder = "UseDecoder";
inline constexpr const char* kValueUseHotKeys = "UseHotKeys";
inline constexpr const char* kValueDecodeNames = "DecodeNames";
inline constexpr const char* kValueDefaultFormat = "DefaultFormat";
inline constexpr uint32_t kDefaultProtect = 1;
inline constexpr uint32_t kDefaultUseDecoder = 0;
inline constexpr uint32_t kDefaultUseHotKeys = 1;
inline constexpr const char* kDefaultDecodeNames = "*.txt,*.doc";

// Builds the settings key name from the host's RootKey.
void BuildKeyName(const char* rootKey);

// subKey below the settings key ("" for the key itself). Null on failure.
HKEY OpenSettingsKey(HKEY root, const char* subKey);
HKEY CreateSettingsKey(HKEY root, const char* subKey);
uint32_t ReadRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t defaultValue);
// 1 read, 0 the default copied. The buffer is always terminated.
int ReadRegistryString(HKEY root, const char* subKey, const char* valueName, char* buffer, const char* defaultValue,
                       size_t size);
// True when the value was stored. The plug-in shows nothing for a failed write.
bool WriteRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t value);
bool WriteRegistryString(HKEY root, const char* subKey, const char* valueName, const char* value);

// Reads the four settings into the global state.
void ReadSettings();
// The settings dialog; 1 when OK stored the values, else 0 (cancelled, or OK and a value
// could not be written; the settings in memory are those of the dialog then).
int ConfigureSettings();

}  // namespace panoply
