#pragma once
// The recent-file list: nine paths, most recent first, an empty string for an empty slot.
#include <array>
#include <string>

#include "core/view_state.h"

namespace quarto {

using RecentList = std::array<std::string, kRecentFileCount>;

// Puts path first. An earlier entry equal to it (byte for byte, case-sensitive) is removed and the
// entries after it move up; when the path is not in the list the ninth entry falls off. The other
// entries keep their order, empty slots included.
void PushRecentFile(RecentList& list, const std::string& path);

// Caption of the recent menu item n (1..9): the digit, ". " and the full path.
std::string RecentCaption(int n, const std::string& path);

}  // namespace quarto
