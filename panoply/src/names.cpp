#include "panoply/names.h"

#include <cstring>

#include "platform/codepage.h"

namespace panoply {

const char* PointToName(const char* path) {
  if (!path) return path;
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  return name;
}

bool AddBackslash(char* path, size_t size) {
  if (!path || size == 0) return false;
  const size_t len = strnlen(path, size);
  if (len == size) return false;  // not terminated within the buffer
  if (len > 0 && path[len - 1] == '\\') return true;
  if (len + 2 > size) return false;
  path[len] = '\\';
  path[len + 1] = 0;
  return true;
}

void AddSlash(std::string& path) {
  if (!path.empty() && path.back() != '/') path += '/';
}

bool CopyText(char* out, size_t size, const char* text) {
  if (!out || size == 0) return false;
  const size_t len = text ? std::strlen(text) : 0;
  const size_t n = len < size ? len : size - 1;
  if (n) std::memcpy(out, text, n);
  out[n] = 0;
  return n == len;
}

bool JoinImagePath(char* out, size_t size, const char* curDir, const char* name) {
  if (!out || size == 0) return false;
  const size_t dirLen = curDir ? std::strlen(curDir) : 0;
  const size_t nameLen = name ? std::strlen(name) : 0;
  const size_t total = dirLen ? dirLen + 1 + nameLen : nameLen;
  if (total + 1 > size) {
    out[0] = 0;
    return false;
  }
  if (dirLen) {
    std::memcpy(out, curDir, dirLen);
    out[dirLen] = '\\';
    std::memcpy(out + dirLen + 1, name, nameLen);
  } else if (nameLen) {
    std::memcpy(out, name, nameLen);
  }
  out[total] = 0;
  return true;
}

void RemoveChars(char* text, int position, int n) {
  if (!text || position < 0 || n <= 0) return;
  const size_t len = std::strlen(text);
  const auto pos = static_cast<size_t>(position);
  if (pos >= len) return;
  const size_t cut = static_cast<size_t>(n) < len - pos ? static_cast<size_t>(n) : len - pos;
  std::memmove(text + pos, text + pos + cut, len - pos - cut + 1);
}

int CompareOemNames(const char* a, const char* b, int n) {
  if (!a) a = "";
  if (!b) b = "";
  for (int i = 0; i < n; ++i) {
    const unsigned char ca = platform::AnsiLowerByte(platform::OemToAnsiByte(static_cast<unsigned char>(a[i])));
    const unsigned char cb = platform::AnsiLowerByte(platform::OemToAnsiByte(static_cast<unsigned char>(b[i])));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) break;  // both strings ended
  }
  return 0;
}

int HasMixedCase(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p && !IsCharAlphaA(*p)) ++p;
  if (!*p) return 0;
  const bool firstLower = IsCharLowerA(*p) != 0;
  for (++p; *p; ++p)
    if (IsCharAlphaA(*p) && (IsCharLowerA(*p) != 0) != firstLower) return 1;
  return 0;
}

}  // namespace panoply
