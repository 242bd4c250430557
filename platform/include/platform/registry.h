// A small stand-in for the Win32 registry: keys and values kept in one text file.
// Keys and value names are compared without regard to case; values keep their type and
// their exact bytes. Every change replaces the file as common/replace_file.h does.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32types.h"

struct RegistryKeyObject;
using HKEY = RegistryKeyObject*;
using REGSAM = DWORD;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001u});

inline constexpr LONG kRegSuccess = 0;            // ERROR_SUCCESS
inline constexpr LONG kRegFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr LONG kRegAccessDenied = 5;       // ERROR_ACCESS_DENIED
inline constexpr LONG kRegInvalidHandle = 6;      // ERROR_INVALID_HANDLE
inline constexpr LONG kRegInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr LONG kRegMoreData = 234;         // ERROR_MORE_DATA
inline constexpr LONG kRegCannotWrite = 1009;     // ERROR_BADDB: the store file cannot be written

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options, REGSAM access,
                     void* security, HKEY* result, DWORD* disposition);
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegCloseKey(HKEY key);

namespace platform {
// Environment variable naming the store file; it reaches every copy of this layer,
// including the one inside a loaded plug-in.
inline constexpr const char* kRegistryFileVariable = "DESKTOOLS_REGISTRY_FILE";
// The store file used now: the path set below, else the environment variable, else
// "desktools/registry.txt" in the user's configuration folder.
std::string RegistryStorePath();
// Sets the store file of this copy of the layer (empty: back to the environment/default).
void SetRegistryStorePath(const std::string& path);
}  // namespace platform
