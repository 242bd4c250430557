// Splitting a typed line into words as a POSIX shell does: the shell's commands and the
// settings of a dialog answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Blanks and tabs separate words. '...' keeps everything inside as it stands; "..."
// keeps blanks, with \" \\ \$ and \` standing for the character and any other \ kept;
// outside quotes \ takes the next character as it stands. Quotes inside a word join
// their text to it (5="a b" is the one word 5=a b). Nothing, with the reason in `error`,
// when a quote is left open or the line ends in a \.
std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string* error = nullptr);

}  // namespace host
