#include "host/answers.h"

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "host/words.h"

namespace host {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool SameWord(std::string_view a, const char* word) {
  if (a.size() != std::strlen(word)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

// A whole decimal number, nothing else.
std::optional<int> Number(std::string_view s) {
  int n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || s[0] == '-') return std::nullopt;
  return n;
}

}  // namespace

std::optional<int> ParseMessageAnswer(std::string_view line, const MessageCall& call) {
  line = Trim(line);
  if (line.empty() || SameWord(line, "enter")) return call.buttons > 0 ? std::optional<int>(0) : std::nullopt;
  if (SameWord(line, "esc")) return -1;
  const auto n = Number(line);
  if (!n || *n < 1 || *n > call.buttons) return std::nullopt;
  return *n - 1;
}

std::optional<int> ParseMenuAnswer(std::string_view line, const MenuCall& call) {
  line = Trim(line);
  if (line.empty() || SameWord(line, "enter")) {
    const int chosen = Responder().OnMenu(call);
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
  }
  if (SameWord(line, "esc")) return -1;
  const auto n = Number(line);
  if (!n || *n < 1 || *n > static_cast<int>(call.items.size())) return std::nullopt;
  if (call.items[*n - 1].separator) return std::nullopt;
  return *n - 1;
}

std::optional<int> ApplyDialogAnswer(std::string_view line, FarDialogItem* items, int count) {
  const auto words = SplitWords(line);
  if (!words) return std::nullopt;
  if (words->empty()) {
    const int chosen = Responder().OnDialog(DialogCall{}, items, count);
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
  }
  const std::string& first = (*words)[0];
  if (SameWord(first, "esc")) return words->size() == 1 ? std::optional<int>(-1) : std::nullopt;
  int closing;
  if (SameWord(first, "enter")) {
    closing = Responder().OnDialog(DialogCall{}, items, count);
    if (closing < 0) return std::nullopt;
  } else {
    const auto n = Number(first);
    if (!n || *n >= count || (items[*n].Type != DI_BUTTON && !items[*n].DefaultButton)) return std::nullopt;
    closing = *n;
  }
  // Check every setting before changing any item.
  struct Setting {
    int item;
    std::string value;
  };
  std::vector<Setting> settings;
  for (size_t w = 1; w < words->size(); ++w) {
    const std::string& word = (*words)[w];
    const size_t eq = word.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const auto n = Number(std::string_view(word).substr(0, eq));
    if (!n || *n >= count) return std::nullopt;
    const std::string value = word.substr(eq + 1);
    const FarDialogItem& it = items[*n];
    if (it.Type == DI_CHECKBOX) {
      if (!SameWord(value, "on") && !SameWord(value, "off")) return std::nullopt;
    } else if (it.Type == DI_EDIT) {
      if (value.size() >= sizeof it.Data) return std::nullopt;
    } else {
      return std::nullopt;
    }
    settings.push_back({*n, value});
  }
  for (const Setting& s : settings) {
    FarDialogItem& it = items[s.item];
    if (it.Type == DI_CHECKBOX) {
      it.Selected = SameWord(s.value, "on") ? 1 : 0;
    } else {
      std::memcpy(it.Data, s.value.c_str(), s.value.size() + 1);
    }
  }
  return closing;
}

}  // namespace host
