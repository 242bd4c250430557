#include "core/recent_files.h"

namespace quarto {

void PushRecentFile(RecentList& list, const std::string& path) {
  size_t found = list.size() - 1;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == path) {
      found = i;
      break;
    }
  }
  for (size_t i = found; i + 1 < list.size(); ++i) list[i] = list[i + 1];
  list.back().clear();
  for (size_t i = list.size() - 1; i > 0; --i) list[i] = list[i - 1];
  list[0] = path;
}

std::string RecentCaption(int n, const std::string& path) { return std::to_string(n) + ". " + path; }

}  // namespace quarto
