#include "host/words.h"

namespace host {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Inside double quotes a backslash stands before these alone.
bool EscapedInDoubleQuotes(char c) { return c == '"' || c == '\\' || c == '$' || c == '`'; }

}  // namespace

std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string* error) {
  std::vector<std::string> words;
  size_t i = 0;
  const auto fail = [&](const char* why) -> std::optional<std::vector<std::string>> {
    if (error) *error = why;
    return std::nullopt;
  };
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    std::string word;
    while (i < line.size() && !IsBlank(line[i])) {
      const char c = line[i++];
      if (c == '\\') {
        if (i == line.size()) return fail("the line ends in a backslash");
        word += line[i++];
      } else if (c == '\'') {
        const size_t close = line.find('\'', i);
        if (close == std::string_view::npos) return fail("a single quote is left open");
        word.append(line.substr(i, close - i));
        i = close + 1;
      } else if (c == '"') {
        for (;;) {
          if (i == line.size()) return fail("a double quote is left open");
          const char d = line[i++];
          if (d == '"') break;
          if (d == '\\' && i < line.size() && EscapedInDoubleQuotes(line[i])) {
            word += line[i++];
          } else {
            word += d;
          }
        }
      } else {
        word += c;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace host
