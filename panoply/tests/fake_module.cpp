// Built once per variant: FAKE_WITHOUT_<Entry> leaves that export out, FAKE_SHORT_NAME and
// FAKE_ACCEPT_ALL set the start values.
#include <cstring>

#include "fake_module.h"

namespace {
FakeModuleState& S() {
  static FakeModuleState state = [] {
    FakeModuleState s;
#ifdef FAKE_SHORT_NAME
    s.shortName = FAKE_SHORT_NAME;
#endif
#ifdef FAKE_ACCEPT_ALL
    s.isImage = 1;
#endif
    return s;
  }();
  return state;
}
void Record(const char* entry, const char* path, HANDLE handle, const PluginPanelItem* item = nullptr) {
  FakeCall c;
  c.entry = entry;
  c.path = path ? path : "";
  c.handle = handle;
  if (item) c.item = *item;
  S().calls.push_back(c);
}
}  // namespace

FakeModuleState* FakeState() { return &S(); }

#ifndef FAKE_WITHOUT_IsImage
int IsImage(const char* fileName, const unsigned char*, int) {
  Record("IsImage", fileName, nullptr);
  return S().isImage;
}
#endif

#ifndef FAKE_WITHOUT_ImgPrepare
int ImgPrepare(HANDLE image) {
  Record("ImgPrepare", nullptr, image);
  S().next = 0;
  return S().prepare;
}
#endif

#ifndef FAKE_WITHOUT_GetImgItem
int GetImgItem(HANDLE image, PluginPanelItem* item) {
  FakeModuleState& s = S();
  Record("GetImgItem", nullptr, image, item);  // the record as the caller handed it
  if (s.next < s.items.size()) {
    *item = s.items[s.next++];
    return 1;
  }
  std::strcpy(item->FindData.cFileName, "dropped");
  return s.endResult;
}
#endif

#ifndef FAKE_WITHOUT_GetFormatName
int GetFormatName(char* longName, char* shortName) {
  Record("GetFormatName", nullptr, nullptr);
  std::strncpy(longName, S().longName.c_str(), 259);
  longName[259] = 0;
  std::strncpy(shortName, S().shortName.c_str(), 259);
  shortName[259] = 0;
  return S().formatNameResult;
}
#endif

#ifndef FAKE_WITHOUT_CopyFromPC
int CopyFromPC(const char* pcFileName, HANDLE image, PluginPanelItem pcItem, const char* targetDir, int option) {
  Record("CopyFromPC", pcFileName, image, &pcItem);
  S().calls.back().target = targetDir ? targetDir : "";
  S().calls.back().option = option;
  return S().copyFromPC;
}
#endif

#ifndef FAKE_WITHOUT_CopyToPC
int CopyToPC(HANDLE image, char* path, PluginPanelItem item) {
  Record("CopyToPC", path, image, &item);
  return S().copyToPC;
}
#endif

#ifndef FAKE_WITHOUT_MakeNewImage
int MakeNewImage(HANDLE newFile) {
  Record("MakeNewImage", nullptr, newFile);
  return S().makeNewImage;
}
#endif

#ifndef FAKE_WITHOUT_DelFile
int DelFile(HANDLE image, char* path, PluginPanelItem item) {
  Record("DelFile", path, image, &item);
  return S().delFile;
}
#endif

#ifndef FAKE_WITHOUT_FileExistOnImage
int FileExistOnImage(HANDLE image, WIN32_FIND_DATA pcFile, const char* targetDir) {
  PluginPanelItem received{};
  received.FindData = pcFile;
  Record("FileExistOnImage", targetDir, image, &received);
  S().calls.back().target = targetDir ? targetDir : "";
  return S().fileExist;
}
#endif
