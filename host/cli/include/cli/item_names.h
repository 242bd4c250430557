// Which items of the panel a typed word names.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

// An item of the panel: its name as the image holds it and as ls shows it.
struct NamedItem {
  std::string raw, shown;
};

struct ResolvedItems {
  std::vector<int> items;  // indexes, in panel order
  std::string note;        // which item was taken, when several differ only in case
};

// "#N" is the N-th item (from 1). Otherwise the items whose name is the word exactly
// (as shown or as held), or, with "*" or "?" in it, those the pattern matches; when none
// does, the same without regard to ASCII case (ED.COM for ed.com, as cpmtools users type
// it): all that a pattern matches, and for a name the first of those that differ only in
// case, with a note that names it. Nothing when no item fits.
std::optional<ResolvedItems> ResolveItemWord(const std::string& word, const std::vector<NamedItem>& items);

}  // namespace cli
