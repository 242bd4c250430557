// Turning the plug-in's 8-bit texts into something a UTF-8 terminal shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

bool IsValidUtf8(std::string_view text);
// The text itself when it is valid UTF-8; otherwise every byte read as code page 866.
// Control characters are shown as "?".
std::string DisplayText(std::string_view text);
// A typed UTF-8 text in code page 866, the form DisplayText shows as that text: nothing
// when the text is not UTF-8 or holds a character code page 866 lacks. ASCII stays.
std::optional<std::string> Utf8ToCp866(std::string_view text);

}  // namespace host
