// UTF-8: encoding one code point, and finding the valid sequences in bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// Appends the UTF-8 form of `cp` (at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

// The length of the valid UTF-8 sequence that starts at text[at] (1 to 4) with its code
// point in `cp`; 0 where none starts there. Overlong forms, surrogates and values past
// U+10FFFF are not valid, nor is a sequence cut short by the end of the text.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, char32_t& cp);

bool IsValidUtf8(std::string_view text);

// The code points of valid UTF-8; nothing for text that is not.
std::optional<std::u32string> DecodeUtf8(std::string_view text);

}  // namespace common
