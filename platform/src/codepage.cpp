#include "platform/codepage.h"

#include <array>
#include <cstring>

namespace {

// CP866 codes whose character has a counterpart in CP1251 outside the letter ranges.
constexpr unsigned char kOemPairs[][2] = {
    {0xF0, 0xA8}, {0xF1, 0xB8},  // Ё ё
    {0xF2, 0xAA}, {0xF3, 0xBA},  // Є є
    {0xF4, 0xAF}, {0xF5, 0xBF},  // Ї ї
    {0xF6, 0xA1}, {0xF7, 0xA2},  // Ў ў
    {0xF8, 0xB0},                // degree sign
    {0xF9, 0x95},                // bullet
    {0xFA, 0xB7},                // middle dot
    {0xFC, 0xB9},                // numero sign
    {0xFD, 0xA4},                // currency sign
    {0xFF, 0xA0},                // no-break space
};

// The table is built so that every byte has exactly one image: ASCII and the Cyrillic
// letters map exactly, the pairs above map to their counterparts, and the codes left on
// both sides (box drawing and so on) are matched in ascending order. Being a permutation,
// no two names on an image can become equal by conversion alone.
struct OemTable {
  std::array<unsigned char, 256> map{};
  OemTable() {
    std::array<bool, 256> fromUsed{}, toUsed{};
    auto set = [&](int from, int to) {
      map[from] = static_cast<unsigned char>(to);
      fromUsed[from] = toUsed[to] = true;
    };
    for (int c = 0; c < 0x80; ++c) set(c, c);
    for (int i = 0; i < 48; ++i) set(0x80 + i, 0xC0 + i);  // А..Я а..п
    for (int i = 0; i < 16; ++i) set(0xE0 + i, 0xF0 + i);  // р..я
    for (const auto& p : kOemPairs) set(p[0], p[1]);
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

// Unicode of the CP866 bytes 0x80..0xFF.
constexpr char16_t kCp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

}  // namespace

namespace platform {

unsigned char OemToAnsiByte(unsigned char ch) { return Table().map[ch]; }

unsigned char AnsiLowerByte(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return static_cast<unsigned char>(c + 0x20);
  for (const auto& p : kAnsiCasePairs)
    if (c == p[0]) return p[1];
  return c;
}

char32_t Cp866ToUnicode(unsigned char ch) { return ch < 0x80 ? char32_t(ch) : char32_t(kCp866High[ch - 0x80]); }

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
