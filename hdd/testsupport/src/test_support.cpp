#include "hddtest/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/files.h"

namespace hddtest {

std::string ModulePath() { return HDD_MODULE_PATH; }

const LoadedModule& Module() {
  static const LoadedModule module = [] {
    LoadedModule m;
    m.library = LoadLibraryA(ModulePath().c_str());
    if (!m.library) return m;
    auto bind = [&](FormatEntryPoint slot) { return GetProcAddress(m.library, kEntryPointNames[slot]); };
    m.isImage = reinterpret_cast<IsImageProc>(bind(EP_IsImage));
    m.imgPrepare = reinterpret_cast<ImgPrepareProc>(bind(EP_ImgPrepare));
    m.getImgItem = reinterpret_cast<GetImgItemProc>(bind(EP_GetImgItem));
    m.getFormatName = reinterpret_cast<GetFormatNameProc>(bind(EP_GetFormatName));
    m.copyFromPC = reinterpret_cast<CopyFromPCProc>(bind(EP_CopyFromPC));
    m.copyToPC = reinterpret_cast<CopyToPCProc>(bind(EP_CopyToPC));
    m.makeNewImage = reinterpret_cast<MakeNewImageProc>(bind(EP_MakeNewImage));
    m.delFile = reinterpret_cast<DelFileProc>(bind(EP_DelFile));
    m.fileExistOnImage = reinterpret_cast<FileExistOnImageProc>(bind(EP_FileExistOnImage));
    return m;
  }();
  return module;
}

int ModuleIsImage(const std::string& path, int firstBytesSize) {
  const std::vector<unsigned char> firstBytes(static_cast<std::size_t>(firstBytesSize > 0 ? firstBytesSize : 1));
  return Module().isImage(path.c_str(), firstBytes.data(), firstBytesSize);
}

HANDLE OpenImage(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace hddtest
