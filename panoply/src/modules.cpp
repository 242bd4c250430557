#include "panoply/modules.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "panoply/names.h"
#include "panoply/state.h"
#include "platform/files.h"

namespace panoply {

namespace {

// The plug-in's file names use the host's separator.
constexpr char kHostSeparator = '/';

// The record of a valid index, else null.
const FormatModuleRecord* Record(int index) {
  const FormatModuleTable* t = State().modules;
  if (!t || index < 0 || index >= t->count) return nullptr;
  return &t->records[index];
}

template <typename Proc>
Proc Bind(HMODULE library, const char* name) {
  return reinterpret_cast<Proc>(GetProcAddress(library, name));
}

}  // namespace

void LoadFormatModules(const char* pluginPath) {
  FormatModuleTable* t = State().modules;
  if (!t || !pluginPath) return;
  const std::string path = pluginPath;
  const size_t cut = path.rfind(kHostSeparator);
  if (cut == std::string::npos) return;
  const std::string folder = path.substr(0, cut + 1) + kFormatModuleFolder + kHostSeparator;
  WIN32_FIND_DATA fd;
  HANDLE search = FindFirstFileA((folder + "*" + kFormatModuleExtension).c_str(), &fd);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string name(fd.cFileName, strnlen(fd.cFileName, sizeof fd.cFileName));
    HMODULE library = LoadLibraryA((folder + name).c_str());
    if (!library) continue;
    auto* grown = static_cast<FormatModuleRecord*>(
        std::realloc(t->records, sizeof(FormatModuleRecord) * static_cast<size_t>(t->count + 1)));
    if (!grown) {
      FreeLibrary(library);
      break;
    }
    t->records = grown;
    FormatModuleRecord& r = t->records[t->count];
    std::memset(&r, 0, sizeof r);
    CopyText(r.fileName, sizeof r.fileName, name.c_str());
    r.library = library;
    r.IsImage = Bind<IsImageProc>(library, kEntryPointNames[EP_IsImage]);
    r.ImgPrepare = Bind<ImgPrepareProc>(library, kEntryPointNames[EP_ImgPrepare]);
    r.GetImgItem = Bind<GetImgItemProc>(library, kEntryPointNames[EP_GetImgItem]);
    r.GetFormatName = Bind<GetFormatNameProc>(library, kEntryPointNames[EP_GetFormatName]);
    r.CopyFromPC = Bind<CopyFromPCProc>(library, kEntryPointNames[EP_CopyFromPC]);
    r.CopyToPC = Bind<CopyToPCProc>(library, kEntryPointNames[EP_CopyToPC]);
    r.MakeNewImage = Bind<MakeNewImageProc>(library, kEntryPointNames[EP_MakeNewImage]);
    r.DelFile = Bind<DelFileProc>(library, kEntryPointNames[EP_DelFile]);
    r.FileExistOnImage = Bind<FileExistOnImageProc>(library, kEntryPointNames[EP_FileExistOnImage]);
    ++t->count;
  } while (FindNextFileA(search, &fd));
  FindClose(search);
}

void UnloadFormatModules() {
  FormatModuleTable* t = State().modules;
  if (!t) return;
  for (int i = 0; i < t->count; ++i) FreeLibrary(t->records[i].library);
  std::free(t->records);
  t->records = nullptr;
  t->count = 0;
}

int ModuleIsImage(int index, const char* fileName, const unsigned char* data, int dataSize) {
  const FormatModuleRecord* r = Record(index);
  return r && r->IsImage ? r->IsImage(fileName, data, dataSize) : 0;
}

int ModuleImgPrepare(int index, HANDLE image) {
  const FormatModuleRecord* r = Record(index);
  return r && r->ImgPrepare ? r->ImgPrepare(image) : 0;
}

int ModuleGetImgItem(int index, HANDLE image, PluginPanelItem* item) {
  const FormatModuleRecord* r = Record(index);
  return r && r->GetImgItem ? r->GetImgItem(image, item) : 0;
}

int ModuleGetFormatName(int index, char* longName, size_t longSize, char* shortName, size_t shortSize) {
  if (longName && longSize) longName[0] = 0;
  const FormatModuleRecord* r = Record(index);
  if (!r || !r->GetFormatName) return 0;
  // A module may write up to 260 bytes into either buffer, whatever the caller holds.
  char longBuf[2 * MAX_PATH] = {}, shortBuf[2 * MAX_PATH] = {};
  const int result = r->GetFormatName(longBuf, shortBuf);
  longBuf[FM_LONG_NAME_SIZE - 1] = 0;
  shortBuf[FM_SHORT_NAME_SIZE - 1] = 0;
  if (longName) CopyText(longName, longSize, longBuf);
  if (shortName) CopyText(shortName, shortSize, shortBuf);
  return result;
}

int ModuleCopyFromPC(int index, const char* pcFileName, HANDLE image, PluginPanelItem pcItem, const char* targetDir,
                     int option) {
  const FormatModuleRecord* r = Record(index);
  return r && r->CopyFromPC ? r->CopyFromPC(pcFileName, image, pcItem, targetDir, option) : 0;
}

int ModuleCopyToPC(int index, HANDLE image, char* path, PluginPanelItem item) {
  const FormatModuleRecord* r = Record(index);
  return r && r->CopyToPC ? r->CopyToPC(image, path, item) : 0;
}

int ModuleMakeNewImage(int index, HANDLE newFile) {
  const FormatModuleRecord* r = Record(index);
  return r && r->MakeNewImage ? r->MakeNewImage(newFile) : 0;
}

int ModuleDelFile(int index, HANDLE image, char* path, PluginPanelItem item) {
  const FormatModuleRecord* r = Record(index);
  return r && r->DelFile ? r->DelFile(image, path, item) : 0;
}

int ModuleFileExistOnImage(int index, HANDLE image, WIN32_FIND_DATA pcFile, const char* targetDir) {
  const FormatModuleRecord* r = Record(index);
  return r && r->FileExistOnImage ? r->FileExistOnImage(image, pcFile, targetDir) : 0;
}

int DetectImageFormat(const char* name, const unsigned char* data, int dataSize) {
  const FormatModuleTable* t = State().modules;
  if (!t || !name) return -1;
  const char* dot = std::strrchr(name, '.');
  if (dot) {
    for (int i = 0; i < t->count; ++i) {
      if (!t->records[i].IsImage || !t->records[i].GetFormatName) continue;
      char longName[200] = {}, shortName[MAX_PATH] = {};
      ModuleGetFormatName(i, longName, sizeof longName, shortName, sizeof shortName);
      if (CompareOemNames(shortName, dot + 1, MAX_PATH) == 0 && ModuleIsImage(i, name, data, dataSize)) return i;
    }
  }
  for (int i = 0; i < t->count; ++i)
    if (t->records[i].IsImage && ModuleIsImage(i, name, data, dataSize)) return i;
  return -1;
}

}  // namespace panoply
