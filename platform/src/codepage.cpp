#include "platform/codepage.h"

#include <array>
#include <cstring>

#include "common/code_pages.h"

namespace {

// The table is built so that every byte has exactly one image: a character that both pages
// hold maps to itself (ASCII, the Cyrillic letters, Ё, Є, Ї, Ў, the degree and numero signs
// and a few more), the bullet operator of 866 maps to the bullet of 1251, and the codes left
// on both sides (box drawing and so on) are matched in ascending order. Being a
// permutation, no two names on an image can become equal by conversion alone.
struct OemTable {
  std::array<unsigned char, 256> map{};
  OemTable() {
    using common::CodePage;
    std::array<bool, 256> fromUsed{}, toUsed{};
    auto set = [&](int from, int to) {
      map[from] = static_cast<unsigned char>(to);
      fromUsed[from] = toUsed[to] = true;
    };
    for (int c = 0; c < 0x80; ++c) set(c, c);
    for (int from = 0x80; from < 0x100; ++from) {
      const auto to = common::EncodeByte(CodePage::Cp1251, common::DecodeByte(CodePage::Cp866, from));
      if (to && !toUsed[*to]) set(from, *to);
    }
    set(0xF9, 0x95);  // U+2219 and U+2022
    int to = 0x80;
    for (int from = 0x80; from < 0x100; ++from) {
      if (fromUsed[from]) continue;
      while (toUsed[to]) ++to;
      set(from, to);
    }
  }
};

const OemTable& Table() {
  static const OemTable table;
  return table;
}

// CP1251 capital letters outside A-Z and 0xC0-0xDF, with their small forms.
constexpr unsigned char kAnsiCasePairs[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
    {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

int CaseOf(unsigned char c) {  // 1 capital, 2 small, 0 no letter
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return 1;
  if ((c >= 'a' && c <= 'z') || c >= 0xE0) return 2;
  for (const auto& p : kAnsiCasePairs) {
    if (c == p[0]) return 1;
    if (c == p[1]) return 2;
  }
  return 0;
}

}  // namespace

namespace platform {

unsigned char OemToAnsiByte(unsigned char ch) { return Table().map[ch]; }

unsigned char AnsiLowerByte(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return static_cast<unsigned char>(c + 0x20);
  for (const auto& p : kAnsiCasePairs)
    if (c == p[0]) return p[1];
  return c;
}

}  // namespace platform

int OemToCharBuffA(const char* src, char* dst, uint32_t n) {
  if (!src || !dst) return 0;
  for (uint32_t i = 0; i < n; ++i)
    dst[i] = static_cast<char>(platform::OemToAnsiByte(static_cast<unsigned char>(src[i])));
  return 1;
}

int OemToCharA(const char* src, char* dst) {
  if (!src || !dst) return 0;
  const size_t n = std::strlen(src);
  return OemToCharBuffA(src, dst, static_cast<uint32_t>(n + 1));
}

char* CharLowerA(char* str) {
  if (!str) return str;
  for (char* p = str; *p; ++p) *p = static_cast<char>(platform::AnsiLowerByte(static_cast<unsigned char>(*p)));
  return str;
}

int IsCharAlphaA(char ch) { return CaseOf(static_cast<unsigned char>(ch)) != 0; }

int IsCharLowerA(char ch) { return CaseOf(static_cast<unsigned char>(ch)) == 2; }
