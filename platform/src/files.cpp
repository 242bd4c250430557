// Win32-style file and folder functions on POSIX descriptors.
#include "platform/files.h"

#include "common/faults.h"
#include "common/open_file.h"
#include "platform/find_data.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>

#include <csignal>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every deliverable runs on one thread, so one value per deliverable serves.
// (A thread_local here would sit in the dynamic TLS of each loaded module,
// which LeakSanitizer cannot walk reliably.)
DWORD lastError = NO_ERROR;

DWORD ErrorFromErrno(int e) {
  switch (e) {
    case 0: return NO_ERROR;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case ENXIO: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    default: return ERROR_GEN_FAILURE;
  }
}

void FailWithErrno(int e) { lastError = ErrorFromErrno(e); }

// A null or empty name: ERROR_PATH_NOT_FOUND.
bool NoName(const char* name) {
  if (name != nullptr && *name != '\0') return false;
  lastError = ERROR_PATH_NOT_FOUND;
  return true;
}

// ENOENT for a path: the file is missing, or already its folder is.
DWORD MissingPathError(const char* path) {
  const std::string p(path);
  const std::size_t slash = p.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    struct stat st {};
    if (stat(p.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
  }
  return ERROR_FILE_NOT_FOUND;
}

// Descriptor of a file handle, or -1 with ERROR_INVALID_HANDLE.
int DescriptorOf(HANDLE h) {
  const int fd = PlatformFdFromHandle(h);
  if (fd < 0) lastError = ERROR_INVALID_HANDLE;
  return fd;
}

unsigned char AsciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// "*" matches any run, "?" one character; letters compare without regard to ASCII case.
bool WildcardMatch(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || (*pattern && AsciiLower(static_cast<unsigned char>(*pattern)) ==
                                                   AsciiLower(static_cast<unsigned char>(*name)))) {
      ++pattern;
      ++name;
    } else if (starPattern) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

struct FoundEntry {
  std::string name;
  WIN32_FIND_DATAA data;
};

struct FindState {
  std::vector<FoundEntry> entries;
  std::size_t next = 0;
};

// Search handles live in this deliverable only; the set lets FindClose and
// FindNextFileA refuse a handle that is not a live search.
std::set<FindState*>& LiveSearches() {
  static std::set<FindState*> searches;
  return searches;
}

// A dangling link is listed as itself, as the folder holds it.
bool FindDataOf(const std::string& fullPath, const std::string& name, WIN32_FIND_DATAA& data) {
  return static_cast<bool>(platform::FillFindData(fullPath, name, data, true));
}

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD errorCode) { lastError = errorCode; }

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, LPVOID /*securityAttributes*/,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
  if (fileName == nullptr || *fileName == '\0') {
    lastError = ERROR_PATH_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  const bool wantRead = (desiredAccess & GENERIC_READ) != 0;
  const bool wantWrite = (desiredAccess & GENERIC_WRITE) != 0;
  common::OpenOptions options;
  options.access = wantWrite ? (wantRead ? common::Access::ReadWrite : common::Access::Write) : common::Access::Read;
  switch (creationDisposition) {
    case CREATE_NEW: options.create = options.exclusive = true; break;
    case CREATE_ALWAYS: options.create = options.truncate = true; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: options.create = true; break;
    case TRUNCATE_EXISTING: options.truncate = true; break;
    default: lastError = ERROR_INVALID_PARAMETER; return INVALID_HANDLE_VALUE;
  }
  if (options.truncate && !wantWrite) {
    lastError = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  options.mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  common::Result<common::FileHandle> file = common::OpenRegularFile(fileName, options);
  if (!file) {
    const int e = file.error();
    lastError = e == ENOENT ? MissingPathError(fileName) : ErrorFromErrno(e);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = file->release();
  if (flagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  // Success is always NO_ERROR: unlike Win32, OPEN_ALWAYS and CREATE_ALWAYS
  // do not report ERROR_ALREADY_EXISTS for a file that was there.
  lastError = NO_ERROR;
  return PlatformHandleFromFd(fd);
}

namespace {

// Moves `count` bytes with `step` (read or write on the descriptor), looping
// over short transfers and interrupted calls. A step that moves nothing ends a
// read (end of file) and fails a write. `moved` gets the bytes moved, also on failure.
template <typename Step>
BOOL Transfer(HANDLE file, const void* buffer, DWORD count, LPDWORD moved, bool zeroIsEnd, Step step) {
  if (moved) *moved = 0;
  const int fd = DescriptorOf(file);
  if (fd < 0) return FALSE;
  if (buffer == nullptr && count != 0) {
    lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  DWORD done = 0;
  BOOL ok = TRUE;
  while (done < count) {
    const ssize_t n = step(fd, done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      FailWithErrno(errno);
      ok = FALSE;
      break;
    }
    if (n == 0) {
      if (!zeroIsEnd) {
        lastError = ERROR_WRITE_FAULT;
        ok = FALSE;
      }
      break;
    }
    done += static_cast<DWORD>(n);
  }
  if (moved) *moved = done;
  if (ok) lastError = NO_ERROR;
  return ok;
}

}  // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD bytesRead, LPVOID /*overlapped*/) {
  auto* p = static_cast<unsigned char*>(buffer);
  return Transfer(file, buffer, count, bytesRead, true, [p](int fd, DWORD at, DWORD n) { return read(fd, p + at, n); });
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD bytesWritten, LPVOID /*overlapped*/) {
  const auto* p = static_cast<const unsigned char*>(buffer);
  const auto step = [p](int fd, DWORD at, DWORD n) { return write(fd, p + at, n); };
  if (const int fd = PlatformFdFromHandle(file); fd >= 0) {
    const common::faults::WriteFault fault = common::faults::CheckWrite(fd, count);
    if (fault.fail) {
      // An injected full disk: what still fits is written, then the call fails.
      DWORD done = 0;
      if (fault.allowed > 0) Transfer(file, buffer, static_cast<DWORD>(fault.allowed), &done, false, step);
      if (fault.kill) raise(SIGKILL);
      if (bytesWritten) *bytesWritten = done;
      lastError = ERROR_DISK_FULL;
      return FALSE;
    }
  }
  return Transfer(file, buffer, count, bytesWritten, false, step);
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  const int fd = DescriptorOf(file);
  if (fd < 0) return INVALID_SET_FILE_POINTER;
  int whence;
  switch (moveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: lastError = ERROR_INVALID_PARAMETER; return INVALID_SET_FILE_POINTER;
  }
  std::int64_t move;
  if (distanceHigh)
    move = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                                     static_cast<std::uint32_t>(distance));
  else
    move = distance;

  // Without the high part a position of 0xFFFFFFFF or more cannot be reported, and the
  // move is refused with the pointer left where it was. Only a relative move can get
  // there (a 32-bit distance from the start stays below 2 GB), so only then is the
  // position before the move asked for; every other move is a single seek.
  off_t before = 0;
  if (!distanceHigh && whence != SEEK_SET) {
    before = lseek(fd, 0, SEEK_CUR);
    if (before < 0) {
      FailWithErrno(errno);
      return INVALID_SET_FILE_POINTER;
    }
  }
  const off_t pos = lseek(fd, static_cast<off_t>(move), whence);
  if (pos < 0) {
    lastError = (errno == EINVAL) ? ERROR_NEGATIVE_SEEK : ErrorFromErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  const std::uint64_t upos = static_cast<std::uint64_t>(pos);
  if (!distanceHigh && upos >= 0xFFFFFFFFull) {
    lseek(fd, before, SEEK_SET);
    lastError = ERROR_INVALID_PARAMETER;
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint32_t>(upos >> 32));
  lastError = NO_ERROR;
  return static_cast<DWORD>(upos & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  const int fd = DescriptorOf(file);
  if (fd < 0) return INVALID_FILE_SIZE;
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    FailWithErrno(errno);
    return INVALID_FILE_SIZE;
  }
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  lastError = NO_ERROR;
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL CloseHandle(HANDLE object) {
  const int fd = DescriptorOf(object);
  if (fd < 0) return FALSE;
  if (close(fd) != 0 && errno != EINTR) {
    FailWithErrno(errno);
    return FALSE;
  }
  lastError = NO_ERROR;
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* findData) {
  if (pattern == nullptr || *pattern == '\0' || findData == nullptr) {
    lastError = ERROR_INVALID_PARAMETER;
    return INVALID_HANDLE_VALUE;
  }
  const std::string full(pattern);
  const std::size_t slash = full.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : full.substr(0, slash + 1);
  const std::string prefix = slash == std::string::npos ? std::string() : folder;
  std::string last = slash == std::string::npos ? full : full.substr(slash + 1);
  if (last.empty()) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  if (last == "*.*") last = "*";

  auto* state = new (std::nothrow) FindState;
  if (!state) {
    lastError = ERROR_NOT_ENOUGH_MEMORY;
    return INVALID_HANDLE_VALUE;
  }
  FoundEntry exact;
  const bool wildcard = last.find_first_of("*?") != std::string::npos;
  if (!wildcard && FindDataOf(full, last, exact.data)) {
    // A plain name that exists as written needs no folder scan.
    exact.name = last;
    state->entries.push_back(exact);
  } else {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
      const int e = errno;
      delete state;
      lastError = (e == ENOENT || e == ENOTDIR) ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(e);
      return INVALID_HANDLE_VALUE;
    }
    while (dirent* d = readdir(dir)) {
      if (!WildcardMatch(last.c_str(), d->d_name)) continue;
      FoundEntry e;
      e.name = d->d_name;
      if (FindDataOf(prefix + e.name, e.name, e.data)) state->entries.push_back(std::move(e));
    }
    closedir(dir);
    // readdir's order is arbitrary: sort by name bytes for a stable order.
    std::sort(state->entries.begin(), state->entries.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
  }
  if (state->entries.empty()) {
    delete state;
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  *findData = state->entries[0].data;
  state->next = 1;
  LiveSearches().insert(state);
  lastError = NO_ERROR;
  return static_cast<HANDLE>(state);
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* findData) {
  auto* state = static_cast<FindState*>(search);
  if (!LiveSearches().count(state) || findData == nullptr) {
    lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (state->next >= state->entries.size()) {
    lastError = ERROR_NO_MORE_FILES;
    return FALSE;
  }
  *findData = state->entries[state->next++].data;
  lastError = NO_ERROR;
  return TRUE;
}

BOOL FindClose(HANDLE search) {
  auto* state = static_cast<FindState*>(search);
  if (!LiveSearches().erase(state)) {
    lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  delete state;
  lastError = NO_ERROR;
  return TRUE;
}

LONG CompareFileTime(const FILETIME* first, const FILETIME* second) {
  const std::uint64_t a = (static_cast<std::uint64_t>(first->dwHighDateTime) << 32) | first->dwLowDateTime;
  const std::uint64_t b = (static_cast<std::uint64_t>(second->dwHighDateTime) << 32) | second->dwLowDateTime;
  return a < b ? -1 : (a > b ? 1 : 0);
}

BOOL CreateDirectoryA(LPCSTR pathName, LPVOID /*securityAttributes*/) {
  if (NoName(pathName)) return FALSE;
  if (common::faults::FolderIsDenied(pathName)) {
    lastError = ERROR_ACCESS_DENIED;
    return FALSE;
  }
  if (mkdir(pathName, 0777) != 0) {
    const int e = errno;
    lastError = e == EEXIST ? ERROR_ALREADY_EXISTS : (e == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(e));
    return FALSE;
  }
  lastError = NO_ERROR;
  return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  std::vector<char> cwd(PATH_MAX + 1);
  if (getcwd(cwd.data(), cwd.size()) == nullptr) {
    FailWithErrno(errno);
    return 0;
  }
  const std::size_t len = std::strlen(cwd.data());
  if (buffer == nullptr || bufferLength < len + 1) {
    lastError = NO_ERROR;
    return static_cast<DWORD>(len + 1);
  }
  std::memcpy(buffer, cwd.data(), len + 1);
  lastError = NO_ERROR;
  return static_cast<DWORD>(len);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
  if (NoName(pathName)) return FALSE;
  if (chdir(pathName) != 0) {
    const int e = errno;
    lastError = e == ENOENT ? ERROR_PATH_NOT_FOUND : (e == ENOTDIR ? ERROR_DIRECTORY : ErrorFromErrno(e));
    return FALSE;
  }
  lastError = NO_ERROR;
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (NoName(fileName)) return FALSE;
  struct stat st {};
  if (lstat(fileName, &st) == 0 && S_ISDIR(st.st_mode)) {
    lastError = ERROR_ACCESS_DENIED;  // folders go through RemoveDirectoryA
    return FALSE;
  }
  if (unlink(fileName) != 0) {
    const int e = errno;
    lastError = e == ENOENT ? MissingPathError(fileName) : ErrorFromErrno(e);
    return FALSE;
  }
  lastError = NO_ERROR;
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (NoName(pathName)) return FALSE;
  if (rmdir(pathName) != 0) {
    const int e = errno;
    lastError = e == ENOENT ? ERROR_PATH_NOT_FOUND : (e == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(e));
    return FALSE;
  }
  lastError = NO_ERROR;
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (NoName(fileName)) return INVALID_FILE_ATTRIBUTES;
  struct stat st {};
  if (lstat(fileName, &st) != 0) {
    const int e = errno;
    lastError = e == ENOENT ? MissingPathError(fileName) : ErrorFromErrno(e);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISLNK(st.st_mode)) {
    attributes = FILE_ATTRIBUTE_REPARSE_POINT;
    struct stat target {};
    if (stat(fileName, &target) == 0 && S_ISDIR(target.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else if (S_ISDIR(st.st_mode)) {
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (access(fileName, W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
  }
  lastError = NO_ERROR;
  return attributes;
}

BOOL MoveFileA(LPCSTR existingName, LPCSTR newName) {
  if (NoName(existingName) || NoName(newName)) return FALSE;
  if (renameat2(AT_FDCWD, existingName, AT_FDCWD, newName, RENAME_NOREPLACE) != 0) {
    int e = errno;
    if (e == EINVAL || e == ENOSYS) {  // the file system offers no RENAME_NOREPLACE
      e = link(existingName, newName) == 0 ? (unlink(existingName) == 0 ? 0 : errno) : errno;
    }
    if (e != 0) {
      lastError =
          e == EEXIST ? ERROR_ALREADY_EXISTS : (e == ENOENT ? MissingPathError(existingName) : ErrorFromErrno(e));
      return FALSE;
    }
  }
  lastError = NO_ERROR;
  return TRUE;
}
