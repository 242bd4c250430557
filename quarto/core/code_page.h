#pragma once
// The two 8-bit code pages of the plot viewer's texts, with tables of our own: the Windows
// Cyrillic page (1251), in which plot files keep their layer names and texts, and the DOS
// Cyrillic page (866), the OEM character set of a system font. Tables of our own decode the same
// on every machine, whatever the platform's converters know.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarto {

enum class CodePage : uint8_t { Cp1251, Cp866 };

// The code point of every byte. 1251 leaves 0x98 unassigned: it decodes as U+FFFD.
const std::array<char16_t, 256>& CodePageTable(CodePage page);

inline char16_t DecodeByte(CodePage page, uint8_t b) { return CodePageTable(page)[b]; }
std::u16string DecodeToUtf16(CodePage page, std::string_view bytes);
std::string DecodeToUtf8(CodePage page, std::string_view bytes);

}  // namespace quarto
