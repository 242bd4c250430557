// Helpers shared by the hdd tests: a private temporary folder and the loaded
// hdd.di module with its nine entry points bound by name.
#pragma once

#include <string>

#include "formatmodule/interface.h"
#include "testsupport/temp_dir.h"

namespace hddtest {

using TempDir = ::testsupport::TempDir;

// hdd.di loaded with LoadLibraryA and bound with GetProcAddress in binding order.
struct LoadedModule {
  HMODULE library = nullptr;
  IsImageProc isImage = nullptr;
  ImgPrepareProc imgPrepare = nullptr;
  GetImgItemProc getImgItem = nullptr;
  GetFormatNameProc getFormatName = nullptr;
  CopyFromPCProc copyFromPC = nullptr;
  CopyToPCProc copyToPC = nullptr;
  MakeNewImageProc makeNewImage = nullptr;
  DelFileProc delFile = nullptr;
  FileExistOnImageProc fileExistOnImage = nullptr;
};

// Path of the built module.
std::string ModulePath();

// The module, loaded once for the test program (null library when it does not load).
const LoadedModule& Module();

// IsImage through the module with a host buffer of the usual size.
int ModuleIsImage(const std::string& path, int firstBytesSize = 1024);

// Opens an image as the plug-in does: read and write, shared, existing file, sequential.
HANDLE OpenImage(const std::string& path);

}  // namespace hddtest
