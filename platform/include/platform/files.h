// Win32-style file, folder and library functions on POSIX.
//
// Names are passed to the kernel unchanged: a "\" is an ordinary character of
// a host path here, never turned into "/". Every function sets the value that
// GetLastError returns (one value per deliverable: the layer is linked
// statically into each one, and every deliverable runs on one thread).
#pragma once

#include "platform/win32types.h"

// Opens or creates a regular file. Access: GENERIC_READ and/or GENERIC_WRITE.
// Share flags are accepted but not enforced. Disposition: CREATE_NEW (create,
// fail with ERROR_FILE_EXISTS if present), CREATE_ALWAYS, OPEN_EXISTING,
// OPEN_ALWAYS, TRUNCATE_EXISTING (the two that truncate need GENERIC_WRITE,
// else ERROR_INVALID_PARAMETER). FILE_ATTRIBUTE_READONLY makes a new file
// read-only; FILE_FLAG_SEQUENTIAL_SCAN advises sequential reading.
// Directories, FIFOs and devices are refused (ERROR_ACCESS_DENIED) without
// blocking. Returns INVALID_HANDLE_VALUE on failure; after a success
// GetLastError() is NO_ERROR (an existing file opened by OPEN_ALWAYS or
// CREATE_ALWAYS is not reported as ERROR_ALREADY_EXISTS).
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPVOID securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// Reads up to `count` bytes, looping over short transfers. At end of file it
// succeeds with fewer bytes (0 when already at the end). `bytesRead` may be null.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD bytesRead, LPVOID overlapped);

// Writes `count` bytes, looping over short transfers; on failure `bytesWritten`
// holds what was written before. `bytesWritten` may be null.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD bytesWritten, LPVOID overlapped);

// Moves the file pointer. With `distanceHigh` the distance is the signed 64-bit
// value high:low and the new position's high part is stored back; without it
// the distance is the signed 32-bit `distance` and a new position beyond
// 4 GB - 2 fails. Returns the low 32 bits of the new position, or
// INVALID_SET_FILE_POINTER with GetLastError() != NO_ERROR on failure.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);

// Size of the file: low part returned, high part stored in `sizeHigh` if given.
// INVALID_FILE_SIZE with GetLastError() != NO_ERROR on failure.
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);

BOOL CloseHandle(HANDLE object);

// Searches one folder. The last path component may hold "*" and "?", matched
// without regard to ASCII case ("*.*" matches every name). Results come in
// byte order of their names, so the order is the same on every run. The find
// data carry the attributes (directory, archive, read-only), the size and the
// last-write time; the name is the bare name without folder.
// Returns a search handle for FindNextFileA/FindClose, or INVALID_HANDLE_VALUE
// (ERROR_FILE_NOT_FOUND: nothing matched, ERROR_PATH_NOT_FOUND: no folder).
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* findData);
// Next match; FALSE with ERROR_NO_MORE_FILES after the last one.
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* findData);
BOOL FindClose(HANDLE search);

// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
LONG CompareFileTime(const FILETIME* first, const FILETIME* second);

// Creates one folder; ERROR_ALREADY_EXISTS when it exists.
// CreateFileA, WriteFile and CreateDirectoryA obey the fault switch of
// common/faults.h (DESKTOOLS_FAULTS), for tests.
BOOL CreateDirectoryA(LPCSTR pathName, LPVOID securityAttributes);

// Deletes a file (not a folder: ERROR_ACCESS_DENIED). ERROR_FILE_NOT_FOUND when
// it is missing, ERROR_PATH_NOT_FOUND when its folder is.
BOOL DeleteFileA(LPCSTR fileName);

// Removes an empty folder; ERROR_DIR_NOT_EMPTY when it holds anything.
BOOL RemoveDirectoryA(LPCSTR pathName);

// Attributes of the name itself, a symbolic link not followed: a link is
// FILE_ATTRIBUTE_REPARSE_POINT (with FILE_ATTRIBUTE_DIRECTORY when it points
// at a folder), a folder FILE_ATTRIBUTE_DIRECTORY, anything else
// FILE_ATTRIBUTE_ARCHIVE (and FILE_ATTRIBUTE_READONLY without write
// permission). INVALID_FILE_ATTRIBUTES when the name does not exist.
DWORD GetFileAttributesA(LPCSTR fileName);

// Gives a file a new name and never replaces one: ERROR_ALREADY_EXISTS when
// the new name exists, a symbolic link or a dangling one included. The check
// and the rename are one step (renameat2 with RENAME_NOREPLACE; on a file
// system without it, link and then unlink, which refuse an existing name too).
BOOL MoveFileA(LPCSTR existingName, LPCSTR newName);

// Copies the current directory with its terminator and returns its length
// without terminator; when `bufferLength` is too small, returns the length
// needed including the terminator and leaves the buffer untouched. 0 on failure.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR pathName);

// Loads a shared library by path (dlopen with RTLD_NOW | RTLD_LOCAL).
HMODULE LoadLibraryA(LPCSTR fileName);
// Address of an exported name, null when the library does not export it.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

DWORD GetLastError();
void SetLastError(DWORD errorCode);
