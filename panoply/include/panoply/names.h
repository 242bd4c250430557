// Path and name helpers of the plug-in, on 8-bit strings.
#pragma once

#include <cstddef>
#include <string>

namespace panoply {

// The text after the last "\", "/" or ":" of path.
const char* PointToName(const char* path);
// Appends "\" unless path ends in one; an empty path becomes "\". False (path unchanged)
// when the buffer of `size` bytes has no room.
bool AddBackslash(char* path, size_t size);
// The host's own paths (PC folders) separate with "/": appends one unless path is empty
// (the current directory) or already ends in one.
void AddSlash(std::string& path);
// curDir, "\" and name, or name alone when curDir is empty. A result that does not fit
// `size` bytes is not cut: out becomes empty and the result is false.
bool JoinImagePath(char* out, size_t size, const char* curDir, const char* name);
// Removes n characters at position; positions past the end remove nothing.
void RemoveChars(char* text, int position, int n);
// 0 when the first n characters of a and b are equal after conversion from OEM to ANSI
// and lower-casing; otherwise -1 or 1 as a sorts before or after b.
int CompareOemNames(const char* a, const char* b, int n);
// 1 when after the first letter a letter of the other case follows, else 0.
int HasMixedCase(const char* text);
// Bounded copy: at most size - 1 bytes and a terminator; true when nothing was cut.
bool CopyText(char* out, size_t size, const char* text);

}  // namespace panoply
