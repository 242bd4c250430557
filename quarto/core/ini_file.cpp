#include "core/ini_file.h"

#include <charconv>

namespace quarto {

namespace {

std::string_view Trim(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The line without its CR, and without the byte-order mark on the first line.
std::string_view Content(const std::string& line, bool first) {
  std::string_view s(line);
  if (first && s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

// A section header's name, or nullopt.
std::optional<std::string_view> SectionName(std::string_view content) {
  const std::string_view t = Trim(content);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

}  // namespace

std::optional<int32_t> ParseIniInt(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    uint32_t v = 0;
    const auto [p, ec] = std::from_chars(t.data() + 2, t.data() + t.size(), v, 16);
    if (ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
    return static_cast<int32_t>(v);
  }
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  int32_t v = 0;
  const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
  return v;
}

IniFile::IniFile(std::string_view text) {
  finalNewline_ = text.empty() || text.back() == '\n';
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines_.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<IniFile::Where> IniFile::Find(std::string_view section, std::string_view key) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(Content(lines_[i], i == 0));
    if (!name || !SameName(*name, section)) continue;
    Where w;
    w.sectionLine = i;
    w.end = i + 1;
    for (size_t j = i + 1; j < lines_.size(); ++j) {
      const std::string_view c = Content(lines_[j], false);
      if (SectionName(c)) break;
      if (!Trim(c).empty()) w.end = j + 1;
      const size_t eq = c.find('=');
      if (!w.key && eq != std::string_view::npos && SameName(Trim(c.substr(0, eq)), key)) w.key = j;
    }
    return w;  // the first section of that name
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const std::optional<Where> w = Find(section, key);
  if (!w || !w->key) return std::nullopt;
  const std::string_view c = Content(lines_[*w->key], *w->key == 0);
  std::string_view v = Trim(c.substr(c.find('=') + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::string IniFile::GetString(std::string_view section, std::string_view key, const std::string& fallback) const {
  std::optional<std::string> v = Get(section, key);
  return v ? *v : fallback;
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t fallback) const {
  const std::optional<std::string> v = Get(section, key);
  if (!v) return fallback;
  return ParseIniInt(*v).value_or(fallback);
}

bool IniFile::GetBool(std::string_view section, std::string_view key, bool fallback) const {
  return GetInt(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<Where> w = Find(section, key);
  if (w && w->key) {
    // The key keeps its own spelling; a byte-order mark before it and a CR line end stay.
    std::string& line = lines_[*w->key];
    const bool first = *w->key == 0;
    const std::string_view c = Content(line, first);
    std::string edited = first && line.compare(0, 3, "\xEF\xBB\xBF") == 0 ? "\xEF\xBB\xBF" : "";
    edited.append(Trim(c.substr(0, c.find('=')))).append("=").append(value);
    if (!line.empty() && line.back() == '\r') edited.push_back('\r');
    line = std::move(edited);
    return;
  }
  std::string line(key);
  line.append("=").append(value);
  if (w) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(w->end), std::move(line));
    return;
  }
  if (!finalNewline_) finalNewline_ = true;  // the last line gets its end before new ones follow
  std::string header("[");
  header.append(section).append("]");
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(line));
}

void IniFile::SetInt(std::string_view section, std::string_view key, int64_t value) {
  Set(section, key, std::to_string(value));
}

std::string IniFile::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (i + 1 < lines_.size() || finalNewline_) out += '\n';
  }
  return out;
}

}  // namespace quarto
