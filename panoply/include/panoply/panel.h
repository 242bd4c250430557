// The image panel: one open image, its flat item list from the format module, the folder
// level the host shows, the current folder and the panel's description for the host.
#pragma once

#include <string>
#include <vector>

#include "formatmodule/interface.h"
#include "pluginapi/plugin_api.h"

namespace panoply {

struct ImagePanel {
  // The image's path exactly as the host gave it; every file-system call uses it.
  std::string fileName;
  // The same with "." appended when its last component holds none: HostFile and title.
  std::string hostFile;
  std::string curDir;                  // components joined by "\", empty at the root
  std::vector<PluginPanelItem> items;  // the flat list, full paths from the image root
  bool listed = false;                 // a list has been read
  bool changed = false;                // a command of the plug-in changed the image
  bool staleReported = false;          // a failed re-reading was reported; the list is old
  WIN32_FIND_DATA findData{};          // the image file at the last reading
  int module = -1;
  HANDLE image = INVALID_HANDLE_VALUE;  // the handle of the operation in progress
};

ImagePanel* NewImagePanel(int module);
void FreeImagePanel(ImagePanel* panel);

HANDLE OpenImageFile(const std::string& name);
void CloseImageFile(HANDLE handle);

// Fixes one item as delivered by GetImgItem: flags, alternate name, pointers and reserved
// bytes cleared, "/" turned into "\", leading "\" and one ".\" or "..\" dropped, a
// trailing "\" made into the directory attribute.
void FixImageItem(PluginPanelItem& item);
// 1 read (possibly partly), 0 the list cannot be read.
int ReadImageItems(ImagePanel& panel, const std::string& name);
// One folder level for GetFindData; the array is the host's until FreeFindData.
int BuildFindData(ImagePanel& panel, PluginPanelItem** items, int* count);
void FreeFindDataArray(PluginPanelItem* items);
int ChangeImageDirectory(ImagePanel& panel, const char* dir);
void FillOpenPluginInfo(ImagePanel& panel, OpenPluginInfo* info);

}  // namespace panoply
