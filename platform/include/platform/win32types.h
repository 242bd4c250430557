// Fixed-width Win32-style types, constants and records used by the format
// modules and the panel plug-in. Widths are those of 32-bit Windows on every
// build: DWORD is 32 bits, LONG and BOOL are signed 32 bits, never `long`.
#pragma once

#include <cstdint>

#define WINAPI

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using CHAR = char;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPDWORD = DWORD*;
using PLONG = LONG*;

using HANDLE = void*;
using HMODULE = void*;
using HINSTANCE = void*;
// A generic function address; cast it to the entry point's own type to call it
// (void (*)() converts to any function type without a warning).
using FARPROC = void (*)();

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr DWORD MAX_PATH = 260;

// File handles carry their descriptor (see PlatformHandleFromFd), so "no
// handle" is the all-ones value as on Win32, and 0 is never a valid file handle.
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Access rights.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;

// Share modes: accepted, not enforced.
constexpr DWORD FILE_SHARE_READ = 0x00000001u;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002u;

// Creation dispositions.
constexpr DWORD CREATE_NEW = 1;         // create, fail if the file exists
constexpr DWORD CREATE_ALWAYS = 2;      // create or truncate
constexpr DWORD OPEN_EXISTING = 3;      // open, fail if missing
constexpr DWORD OPEN_ALWAYS = 4;        // open or create
constexpr DWORD TRUNCATE_EXISTING = 5;  // open and truncate, fail if missing

// File attributes and flags.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001u;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002u;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010u;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020u;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080u;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x00000400u;  // a symbolic link here
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;

// SetFilePointer origins and failure values.
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Error codes given by GetLastError.
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;

#pragma pack(push, 2)

// 100-nanosecond intervals since 1601-01-01 UTC, low part first.
struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// Find data in 2-byte packing, 318 bytes on every build. The creation and
// access times and the two reserved words are not used here and are kept as
// reserved bytes so that the offsets of the used fields hold.
struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;       // 0
  BYTE ReservedTimes[16];       // 4: creation and last-access time, unused
  FILETIME ftLastWriteTime;     // 20
  DWORD nFileSizeHigh;          // 28
  DWORD nFileSizeLow;           // 32
  BYTE ReservedWords[8];        // 36
  CHAR cFileName[MAX_PATH];     // 44
  CHAR cAlternateFileName[14];  // 304
};

#pragma pack(pop)

using WIN32_FIND_DATA = WIN32_FIND_DATAA;
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;

static_assert(sizeof(FILETIME) == 8);
static_assert(sizeof(WIN32_FIND_DATAA) == 318);

// A file handle is the POSIX descriptor plus one, stored in the pointer value.
// It means the same in every shared library of the process, so a handle opened
// by one deliverable can be used by another without a shared table.
inline HANDLE PlatformHandleFromFd(int fd) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + 1); }

// The descriptor of a file handle, or -1 for 0, INVALID_HANDLE_VALUE and values
// that cannot be a descriptor.
inline int PlatformFdFromHandle(HANDLE h) {
  const std::intptr_t v = reinterpret_cast<std::intptr_t>(h) - 1;
  if (v < 0 || v > 0x7FFFFFFF) return -1;
  return static_cast<int>(v);
}
