#include "core/picfiles.h"

#include <algorithm>
#include <system_error>

#include "core/ascii.h"

namespace brindle {

namespace fs = std::filesystem;

namespace {

std::string_view BaseName(std::string_view name) {
  const auto slash = name.find_last_of('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::string Extension(std::string_view name) {
  const std::string_view base = BaseName(name);
  const auto dot = base.find_last_of('.');
  return dot == std::string_view::npos ? std::string() : std::string(base.substr(dot));
}

PicFormat FormatOfName(std::string_view name) {
  const FormatRow* row = FormatOfExtension(Extension(name));
  return row ? row->kind : PicFormat::None;
}

bool IsPicFile(std::string_view name) { return FormatOfName(name) != PicFormat::None; }

std::string WithExtension(std::string_view name, std::string_view ext) {
  const std::size_t extLength = Extension(name).size();
  return std::string(name.substr(0, name.size() - extLength)) + std::string(ext);
}

std::string ProposedSaveName(std::string_view picFileName) { return WithExtension(BaseName(picFileName), ""); }

std::string PicTitle(std::string_view name, int index, int count) {
  return std::string(name) + "   " + std::to_string(index + 1) + "/" + std::to_string(count);
}

std::vector<std::string> ListPicFiles(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(typeError) || !IsPicFile(name)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const auto folded = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                     [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    const auto foldedBack = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                         [](char x, char y) { return AsciiLower(x) < AsciiLower(y); });
    if (folded != foldedBack) return folded;
    return a < b;
  });
  return names;
}

int WrapIndex(int index, int delta, int count) {
  if (count <= 0) return 0;
  return ((index + delta) % count + count) % count;
}

}  // namespace brindle
