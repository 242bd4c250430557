#include "host/display.h"

#include "platform/codepage.h"

namespace host {

namespace {

// Decodes UTF-8 into code points (when out is given); false for text that is not UTF-8.
bool DecodeUtf8(std::string_view text, std::u32string* out) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t n = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      if (out) *out += c;
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      n = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      n = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= text.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      const auto d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) ||
        cp > 0x10FFFF)
      return false;
    if (out) *out += cp;
    i += n + 1;
  }
  return true;
}

}  // namespace

bool IsValidUtf8(std::string_view text) { return DecodeUtf8(text, nullptr); }

namespace {
void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string DisplayText(std::string_view text) {
  std::string out;
  if (IsValidUtf8(text)) {
    out.assign(text);
  } else {
    for (unsigned char c : text) AppendUtf8(out, platform::Cp866ToUnicode(c));
  }
  // Control characters in a name (from an image, say) would steer the terminal: each is
  // shown as "?", as ls does. C1 controls arrive as the two bytes C2 80 to C2 9F.
  std::string shown;
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c < 0x20 || c == 0x7F) {
      shown += '?';
    } else if (c == 0xC2 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) < 0xA0) {
      shown += '?';
      ++i;
    } else {
      shown += out[i];
    }
  }
  return shown;
}

std::optional<std::string> Utf8ToCp866(std::string_view text) {
  std::u32string points;
  if (!DecodeUtf8(text, &points)) return std::nullopt;
  std::string out;
  for (const char32_t cp : points) {
    int found = cp < 0x80 ? static_cast<int>(cp) : -1;
    for (int b = 0x80; b < 0x100 && found < 0; ++b)
      if (platform::Cp866ToUnicode(static_cast<unsigned char>(b)) == cp) found = b;
    if (found < 0) return std::nullopt;
    out += static_cast<char>(found);
  }
  return out;
}

}  // namespace host
