// The two 8-bit Cyrillic code pages of the tools, with tables of our own, so that they
// decode the same on every machine whatever the platform's converters know: the Windows
// page 1251 (plot texts, the plug-in's compared names) and the DOS page 866 (names on
// MicroDOS disks, the OEM set of a system font).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

enum class CodePage : std::uint8_t { Cp1251, Cp866 };

// The code point of every byte. 1251 leaves 0x98 unassigned: it decodes as U+FFFD.
const std::array<char16_t, 256>& CodePageTable(CodePage page);

inline char16_t DecodeByte(CodePage page, std::uint8_t b) { return CodePageTable(page)[b]; }
std::u16string DecodeToUtf16(CodePage page, std::string_view bytes);
std::string DecodeToUtf8(CodePage page, std::string_view bytes);

// The byte of the page that stands for `cp`; nothing when the page has none.
std::optional<std::uint8_t> EncodeByte(CodePage page, char32_t cp);

}  // namespace common
