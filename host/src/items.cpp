// Copying, viewing and deleting items of the open panel: GetFiles and DeleteFiles called as
// the file manager calls them, each checked afterwards and followed by a new reading.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/host.h"

namespace host {

namespace {

std::string WorkingDirectory() {
  std::error_code ec;
  const auto p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

bool InRange(const std::vector<int>& indexes, size_t size) {
  for (int i : indexes)
    if (i < 0 || static_cast<size_t>(i) >= size) return false;
  return true;
}

}  // namespace

std::vector<PluginPanelItem> Host::Selection() const {
  std::vector<PluginPanelItem> selected;
  for (int i : panelSelection)
    if (i >= 0 && i < static_cast<int>(panelItems.size())) selected.push_back(panelItems[i]);
  // With nothing selected, the current item counts as the selection.
  if (selected.empty() && panelCurrent >= 0 && panelCurrent < static_cast<int>(panelItems.size()))
    selected.push_back(panelItems[panelCurrent]);
  return selected;
}

int Host::CheckedCall(const std::vector<PluginPanelItem>& passed,
                      const std::function<int(PluginPanelItem*, int)>& call) {
  const Serving serving(*this);
  const std::string before = WorkingDirectory();
  const size_t screensBefore = openScreens_.size();
  std::vector<PluginPanelItem> items = passed;
  // The items handed over are the selection the plug-in can read through FCTL_GETPANELINFO.
  const std::vector<PluginPanelItem> reported = Selection();
  if (reported.size() != items.size() ||
      std::memcmp(reported.data(), items.data(), items.size() * sizeof(PluginPanelItem)) != 0)
    callErrors_.push_back("the items passed are not the selection the panel reports");
  const int result = call(items.data(), static_cast<int>(items.size()));
  if (WorkingDirectory() != before) callErrors_.push_back("the working directory changed to " + WorkingDirectory());
  if (openScreens_.size() != screensBefore)
    callErrors_.push_back(std::to_string(openScreens_.size() - screensBefore) + " saved screens not restored");
  if (items.size() != passed.size() ||
      std::memcmp(items.data(), passed.data(), passed.size() * sizeof(PluginPanelItem)) != 0)
    callErrors_.push_back("the plug-in changed the items passed to it");
  ReadPanel();
  return result;
}

int Host::Copy(const std::vector<int>& selection, const std::string& dest, bool move, int opMode,
               std::string* destAfter) {
  if (!panel_ || !exports_.GetFiles || !InRange(selection, panelItems.size())) return -1;
  panelSelection = selection;
  // A destination that does not fit goes over without a terminator, so that the plug-in
  // sees it does not fit instead of taking a cut path for the one named.
  char buffer[kDestPathSize] = {};
  std::memcpy(buffer, dest.data(), std::min(dest.size(), sizeof buffer));
  const int result = CheckedCall(Selection(), [&](PluginPanelItem* items, int count) {
    return exports_.GetFiles(panel_, items, count, move ? 1 : 0, buffer, opMode);
  });
  panelSelection.clear();
  if (destAfter) destAfter->assign(buffer, strnlen(buffer, sizeof buffer));
  return result;
}

int Host::View(int current, std::string* folder) {
  if (!panel_ || !exports_.GetFiles || current < 0 || static_cast<size_t>(current) >= panelItems.size()) return -1;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/panoply-view-XXXXXX";
  if (!::mkdtemp(pattern.data())) return -1;
  if (folder) *folder = pattern;
  panelSelection.clear();
  panelCurrent = current;
  char buffer[kDestPathSize] = {};
  std::strncpy(buffer, pattern.c_str(), sizeof buffer - 1);
  return CheckedCall(Selection(), [&](PluginPanelItem* items, int count) {
    return exports_.GetFiles(panel_, items, count, 0, buffer, OPM_VIEW | OPM_SILENT);
  });
}

int Host::Remove(const std::vector<int>& selection, int opMode) {
  if (!panel_ || !exports_.DeleteFiles || !InRange(selection, panelItems.size())) return -1;
  panelSelection = selection;
  const int result = CheckedCall(Selection(), [&](PluginPanelItem* items, int count) {
    return exports_.DeleteFiles(panel_, items, count, opMode);
  });
  panelSelection.clear();
  return result;
}

}  // namespace host
