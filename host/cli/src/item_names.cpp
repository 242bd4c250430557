#include "cli/item_names.h"

#include <fnmatch.h>

#include <cstdlib>

namespace cli {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWithoutCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// FNM_CASEFOLD folds by the locale; the program runs in the C locale, where that is ASCII.
bool Matches(const std::string& pattern, const std::string& name, bool blind) {
  return fnmatch(pattern.c_str(), name.c_str(), FNM_NOESCAPE | (blind ? FNM_CASEFOLD : 0)) == 0;
}

}  // namespace

std::optional<ResolvedItems> ResolveItemWord(const std::string& word, const std::vector<NamedItem>& items) {
  ResolvedItems out;
  if (word.size() > 1 && word[0] == '#' && word.find_first_not_of("0123456789", 1) == std::string::npos) {
    const size_t n = std::strtoul(word.c_str() + 1, nullptr, 10);
    if (n < 1 || n > items.size()) return std::nullopt;
    out.items.push_back(static_cast<int>(n - 1));
    return out;
  }
  const bool pattern = word.find_first_of("*?") != std::string::npos;
  for (const bool blind : {false, true}) {
    for (size_t i = 0; i < items.size(); ++i) {
      const NamedItem& item = items[i];
      const bool match = pattern ? Matches(word, item.shown, blind)
                         : blind ? SameWithoutCase(word, item.shown) || SameWithoutCase(word, item.raw)
                                 : word == item.shown || word == item.raw;
      if (match) out.items.push_back(static_cast<int>(i));
    }
    if (out.items.empty()) continue;
    if (blind && !pattern && out.items.size() > 1) {
      out.note = word + ": took " + items[static_cast<size_t>(out.items[0])].shown + ", of";
      for (int i : out.items) out.note += " " + items[static_cast<size_t>(i)].shown;
      out.items.resize(1);
    }
    return out;
  }
  return std::nullopt;
}

}  // namespace cli
