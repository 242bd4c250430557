#include "host/display.h"

#include "common/code_pages.h"
#include "common/utf8.h"

namespace host {

bool IsValidUtf8(std::string_view text) { return common::IsValidUtf8(text); }

std::string DisplayText(std::string_view text) {
  std::string out;
  if (IsValidUtf8(text)) {
    out.assign(text);
  } else {
    out = common::DecodeToUtf8(common::CodePage::Cp866, text);
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
  const std::optional<std::u32string> points = common::DecodeUtf8(text);
  if (!points) return std::nullopt;
  std::string out;
  for (const char32_t cp : *points) {
    const std::optional<std::uint8_t> b = common::EncodeByte(common::CodePage::Cp866, cp);
    if (!b) return std::nullopt;
    out += static_cast<char>(*b);
  }
  return out;
}

}  // namespace host
