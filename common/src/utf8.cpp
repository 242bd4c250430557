#include "common/utf8.h"

namespace common {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& cp) {
  if (at >= text.size()) return 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char c = byte(0);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t n;
  char32_t least;
  char32_t value;
  if ((c & 0xE0) == 0xC0) {
    n = 2, value = c & 0x1F, least = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, value = c & 0x0F, least = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, value = c & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (n > text.size() - at) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(k) & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  cp = value;
  return n;
}

bool IsValidUtf8(std::string_view text) { return DecodeUtf8(text).has_value(); }

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t n = Utf8SequenceAt(text, i, cp);
    if (n == 0) return std::nullopt;
    out.push_back(cp);
    i += n;
  }
  return out;
}

}  // namespace common
