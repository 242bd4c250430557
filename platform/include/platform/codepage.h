// Character services for the 8-bit code pages the plug-in and the modules use:
// names inside images arrive in CP866 (OEM), the plug-in compares them in CP1251 (ANSI).
#pragma once

#include <cstdint>

// Converts a zero-terminated CP866 string into CP1251; src and dst may be the same buffer.
// Returns nonzero (the conversion cannot fail).
int OemToCharA(const char* src, char* dst);
// Converts exactly n bytes (zero bytes included).
int OemToCharBuffA(const char* src, char* dst, uint32_t n);
// Lower-cases a zero-terminated CP1251 string in place and returns it.
char* CharLowerA(char* str);
// Nonzero for a CP1251 letter (Latin or Cyrillic).
int IsCharAlphaA(char ch);
// Nonzero for a small CP1251 letter.
int IsCharLowerA(char ch);

namespace platform {
// One byte of CP866 in CP1251. The table is a permutation of the 256 codes.
unsigned char OemToAnsiByte(unsigned char ch);
// One CP1251 byte lower-cased.
unsigned char AnsiLowerByte(unsigned char ch);
}  // namespace platform
