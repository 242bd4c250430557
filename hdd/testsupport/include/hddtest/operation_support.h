// Calls CopyToPC and DelFile of the loaded module as the plug-in does, and
// reads a PC folder tree back for comparison.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "formatmodule/interface.h"
#include "hddtest/image_builder.h"

namespace hddtest {

// Kind of item handed to the module.
enum class Kind { File, Folder };

// The item record the plug-in would pass: the directory bit for a folder.
PluginPanelItem ItemRecord(const std::string& path, Kind kind);

// CopyToPC of `path` with `dest` as the current directory; the current
// directory is checked to be the same after the call (a test failure
// otherwise). An empty `image` passes INVALID_HANDLE_VALUE.
int CopyOut(const std::string& image, const std::string& path, Kind kind, const std::string& dest);

// DelFile of `path` on the image, opened for reading and writing (or only
// reading). An empty `image` passes INVALID_HANDLE_VALUE.
int Delete(const std::string& image, const std::string& path, Kind kind, bool readOnly = false);

// Every file and folder below `root`: "a/b.txt" -> contents, "a/" -> empty.
using Tree = std::map<std::string, Bytes>;
Tree ReadTree(const std::string& root);

// Sets DESKTOOLS_FAULTS for one scope and clears it afterwards.
class FaultScope {
 public:
  explicit FaultScope(const std::string& text);
  ~FaultScope();
  FaultScope(const FaultScope&) = delete;
  FaultScope& operator=(const FaultScope&) = delete;
};

// Concatenation helpers for expected contents.
Bytes Slice(const Bytes& b, std::size_t from, std::size_t count);
Bytes Join(const Bytes& a, const Bytes& b);

}  // namespace hddtest
