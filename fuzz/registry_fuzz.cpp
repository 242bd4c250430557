// The settings store behind the registry functions: any store file is read, queried with short
// and long buffers, and rewritten by a setting; the value set then reads back as written.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "platform/registry.h"

namespace {

constexpr const char* kKey = "Software\\DeskTools\\Panoply";

void Query(HKEY key, const char* name) {
  for (DWORD room : {DWORD{0}, DWORD{3}, DWORD{4}, DWORD{300}}) {
    BYTE buffer[300];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD type = 0, size = room;
    RegQueryValueExA(key, name, nullptr, &type, room ? buffer : nullptr, &size);
    for (DWORD i = room; i < sizeof buffer; ++i)
      if (buffer[i] != 0xCC) fuzz::Fail("a query wrote past the room it was given");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("registry.txt", data, size).string();
  platform::SetRegistryStorePath(path);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) == 0) {
    for (const char* name : {"DefaultFormat", "AddToDisksMenu", "Masks", "", "x"}) Query(key, name);
    RegCloseKey(key);
  }
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                      &disposition) != 0)
    return 0;  // a store that cannot be read is never rewritten
  static const char kText[] = "HDD for MicroDOS";
  const LONG set = RegSetValueExA(key, "DefaultFormat", 0, REG_SZ, reinterpret_cast<const BYTE*>(kText), sizeof kText);
  RegCloseKey(key);
  if (set != 0) return 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) != 0) fuzz::Fail("a key just written is gone");
  char back[64] = {};
  DWORD type = 0, got = sizeof back;
  if (RegQueryValueExA(key, "DefaultFormat", nullptr, &type, reinterpret_cast<BYTE*>(back), &got) != 0 ||
      type != REG_SZ || got != sizeof kText || std::memcmp(back, kText, sizeof kText) != 0)
    fuzz::Fail("a value just written does not read back");
  RegCloseKey(key);
  return 0;
}
