// Win32-style shared-library loading on dlopen.
#include "platform/files.h"

#include <dlfcn.h>

HMODULE LoadLibraryA(LPCSTR fileName) {
  if (fileName == nullptr || *fileName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* lib = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  SetLastError(NO_ERROR);
  return lib;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  if (module == nullptr || procName == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  void* sym = dlsym(module, procName);
  if (!sym) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  SetLastError(NO_ERROR);
  return reinterpret_cast<FARPROC>(sym);
}

BOOL FreeLibrary(HMODULE module) {
  if (module == nullptr || dlclose(module) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SetLastError(NO_ERROR);
  return TRUE;
}
