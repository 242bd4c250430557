#include "panoply/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "panoply/messages.h"
#include "panoply/names.h"
#include "panoply/state.h"

namespace panoply {

void BuildKeyName(const char* rootKey) {
  char* key = State().keyName;
  if (!rootKey) {
    key[0] = 0;  // no key: reads give the defaults, writes are dropped
    return;
  }
  // The name holds 80 characters with its terminator; a longer RootKey is cut so that the
  // name still ends in "\Panoply".
  static constexpr char kSubKey[] = "\\Panoply";
  const size_t room = kKeyNameSize - sizeof kSubKey;
  const size_t len = strnlen(rootKey, room);
  std::snprintf(key, kKeyNameSize, "%.*s%s", static_cast<int>(len), rootKey, kSubKey);
}

namespace {

// The settings key's path joined with subKey ("%s%s%s"); empty when there is no key.
std::string KeyPath(const char* subKey) {
  const char* key = State().keyName;
  if (!*key) return {};
  std::string path = key;
  if (subKey && *subKey) path.append("\\").append(subKey);
  return path;
}

}  // namespace

HKEY OpenSettingsKey(HKEY root, const char* subKey) {
  const std::string path = KeyPath(subKey);
  HKEY key = nullptr;
  if (path.empty() || RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != kRegSuccess) return nullptr;
  return key;
}

HKEY CreateSettingsKey(HKEY root, const char* subKey) {
  const std::string path = KeyPath(subKey);
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (path.empty() || RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                                      &disposition) != kRegSuccess)
    return nullptr;
  return key;
}

uint32_t ReadRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t defaultValue) {
  HKEY key = OpenSettingsKey(root, subKey);
  if (!key) return defaultValue;
  uint32_t value = 0;
  DWORD type = 0, size = sizeof value;
  const LONG r = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return r == kRegSuccess ? value : defaultValue;
}

int ReadRegistryString(HKEY root, const char* subKey, const char* valueName, char* buffer, const char* defaultValue,
                       size_t size) {
  if (!buffer || size == 0) return 0;
  HKEY key = OpenSettingsKey(root, subKey);
  if (key) {
    DWORD type = 0, got = static_cast<DWORD>(size);
    const LONG r = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
    RegCloseKey(key);
    if (r == kRegSuccess) {
      // A value stored without terminator, or one that fills the buffer, is still ended.
      buffer[got < size ? got : size - 1] = 0;
      return 1;
    }
  }
  CopyText(buffer, size, defaultValue);
  return 0;
}

bool WriteRegistryDword(HKEY root, const char* subKey, const char* valueName, uint32_t value) {
  HKEY key = CreateSettingsKey(root, subKey);
  if (!key) return false;
  const LONG r = RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
  return r == kRegSuccess;
}

bool WriteRegistryString(HKEY root, const char* subKey, const char* valueName, const char* value) {
  HKEY key = CreateSettingsKey(root, subKey);
  if (!key) return false;
  const char* text = value ? value : "";
  const LONG r = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(key);
  return r == kRegSuccess;
}

void ReadSettings() {
  PluginState& s = State();
  s.protect = ReadRegistryDword(HKEY_CURRENT_USER, "", kValueProtect, kDefaultProtect);
  s.useDecoder = ReadRegistryDword(HKEY_CURRENT_USER, "", kValueUseDecoder, kDefaultUseDecoder);
  s.useHotKeys = ReadRegistryDword(HKEY_CURRENT_USER, "", kValueUseHotKeys, kDefaultUseHotKeys);
  ReadRegistryString(HKEY_CURRENT_USER, "", kValueDecodeNames, s.decodeNames, kDefaultDecodeNames,
                     sizeof s.decodeNames);
}

int ConfigureSettings() {
  PluginState& s = State();
  if (!s.started || !s.info.Dialog) return 0;
  const uint32_t separator = DIF_BOXCOLOR | DIF_SEPARATOR;
  const DialogItemInit inits[] = {
      {DI_DOUBLEBOX, 3, 1, 68, 13, 0, 0, 0, 0, MConfigTitle},
      {DI_CHECKBOX, 5, 3, 0, 0, 1, 0, 0, 0, MUseHotKeys},
      {DI_CHECKBOX, 5, 4, 0, 0, 0, 0, 0, 0, MProtect},
      {DI_TEXT, 5, 5, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_CHECKBOX, 5, 9, 0, 0, 0, 0, 0, 0, MUseDecoder},
      {DI_EDIT, 5, 10, 66, 10, 0, TextData("Masks"), DIF_HISTORY, 1, TextData("")},
      {DI_TEXT, 5, 11, 0, 0, 0, 0, separator, 0, TextData("")},
      {DI_BUTTON, 0, 12, 0, 0, 0, 0, DIF_CENTERGROUP, 1, MOk},
      {DI_BUTTON, 0, 12, 0, 0, 0, 0, DIF_CENTERGROUP, 0, MCancel},
  };
  constexpr int kCount = sizeof inits / sizeof inits[0];
  FarDialogItem items[kCount] = {};
  InitDialogItems(inits, items, kCount);
  items[1].Selected = s.useHotKeys;
  items[2].Selected = s.protect;
  items[4].Selected = s.useDecoder;
  CopyText(items[5].Data, sizeof items[5].Data, s.decodeNames);
  const int closedBy = s.info.Dialog(s.info.ModuleNumber, -1, -1, 72, 15, "ImageCfg", items, kCount);
  if (closedBy != 7) return 0;
  s.useHotKeys = static_cast<uint32_t>(items[1].Selected);
  s.protect = static_cast<uint32_t>(items[2].Selected);
  s.useDecoder = static_cast<uint32_t>(items[4].Selected);
  // The edit line holds up to 511 characters; the setting keeps what fits its 260 bytes.
  items[5].Data[sizeof items[5].Data - 1] = 0;
  CopyText(s.decodeNames, sizeof s.decodeNames, items[5].Data);
  // Each value is written even after one failed; the result says whether all are stored,
  // so that a store that cannot be written is not reported as stored.
  bool stored = WriteRegistryString(HKEY_CURRENT_USER, "", kValueDecodeNames, s.decodeNames);
  stored = WriteRegistryDword(HKEY_CURRENT_USER, "", kValueProtect, s.protect) && stored;
  stored = WriteRegistryDword(HKEY_CURRENT_USER, "", kValueUseDecoder, s.useDecoder) && stored;
  stored = WriteRegistryDword(HKEY_CURRENT_USER, "", kValueUseHotKeys, s.useHotKeys) && stored;
  return stored ? 1 : 0;
}

}  // namespace panoply
