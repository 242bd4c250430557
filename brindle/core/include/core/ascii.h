#pragma once
// Letter case of ASCII only: file names and extensions are compared this way whatever the
// locale, so bytes of other code pages are never changed.
namespace brindle {

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace brindle
