#pragma once
// The readable source of the built-in stroke font and its translation into the font table.
//
// The source has one line per glyph, in glyph order: the glyph index, the character it draws
// (the character itself in UTF-8, or "space", "DEL" and "box" for the three without a visible
// form), then its strokes. A stroke is a list of points "x,y" in cell units; strokes are separated
// by "/". A glyph drawn exactly like an earlier one says "= N" instead. Empty lines and lines
// starting with "#" are comments.
//
// A glyph becomes 33 bytes: its points as x, y byte pairs, the byte 254 between strokes, the byte
// 255 after the last stroke, zeros after that. The translation refuses a source that would make a
// table the renderer cannot trust, and names the glyph and the reason.
//
// Header-only and free of the rest of the program: the build-time generator and the tests use it.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf8.h"

namespace pcadfont {

inline constexpr int kGlyphCount = 166;
inline constexpr int kGlyphBytes = 33;
inline constexpr uint8_t kStrokeEnd = 254;
inline constexpr uint8_t kGlyphEnd = 255;
// The cell: x from 20 to 150, y from 0 (bottom of the cell) to 215.
inline constexpr int kMinX = 20, kMaxX = 150, kMinY = 0, kMaxY = 215;

// The character of a glyph as the source names it.
inline std::string GlyphCharacter(int index) {
  auto utf8 = [](uint32_t cp) {
    std::string s;
    common::AppendUtf8(s, cp);
    return s;
  };
  if (index == 0) return "space";
  if (index < 95) return utf8(0x20u + static_cast<uint32_t>(index));
  if (index == 95) return "DEL";
  if (index < 128) return utf8(0x410u + static_cast<uint32_t>(index - 96));   // А..Я
  if (index < 160) return utf8(0x430u + static_cast<uint32_t>(index - 128));  // а..я
  switch (index) {
    case 160: return utf8(0x401);  // Ё
    case 161: return utf8(0x451);  // ё
    case 162: return "box";
    case 163: return utf8(0xB1);    // plus-minus
    case 164: return utf8(0x2300);  // diameter
    case 165: return utf8(0xB0);    // degree
    default: return "?";
  }
}

struct FontTable {
  std::vector<uint8_t> bytes;  // kGlyphCount * kGlyphBytes when error is empty
  std::string error;           // "line L: glyph G 'c': reason"
};

namespace detail {

inline std::vector<std::string_view> Split(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t' && s[j] != '\r') ++j;
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

// A decimal number of at most 4 digits, or -1.
inline int Number(std::string_view s) {
  if (s.empty() || s.size() > 4) return -1;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace detail

inline FontTable BuildFontTable(std::string_view source) {
  FontTable t;
  t.bytes.assign(static_cast<size_t>(kGlyphCount * kGlyphBytes), 0);
  int next = 0;
  int lineNo = 0;
  auto fail = [&](int glyph, const std::string& why) {
    t.error = "line " + std::to_string(lineNo) + ": glyph " + std::to_string(glyph) + " '" + GlyphCharacter(glyph) +
              "': " + why;
    t.bytes.clear();
    return t;
  };
  size_t pos = 0;
  while (pos <= source.size()) {
    size_t eol = source.find('\n', pos);
    if (eol == std::string_view::npos) eol = source.size();
    const std::string_view line = source.substr(pos, eol - pos);
    pos = eol + 1;
    ++lineNo;
    const auto tok = detail::Split(line);
    if (tok.empty() || tok[0][0] == '#') continue;
    const int index = detail::Number(tok[0]);
    if (next >= kGlyphCount) return fail(kGlyphCount - 1, "a line after the last glyph");
    if (index != next) {
      return fail(next, "the line names glyph \"" + std::string(tok[0]) + "\" where this glyph is due");
    }
    if (tok.size() < 2 || tok[1] != GlyphCharacter(index))
      return fail(index, "the character is not \"" + GlyphCharacter(index) + "\"");
    uint8_t* g = &t.bytes[static_cast<size_t>(index * kGlyphBytes)];
    ++next;
    if (tok.size() >= 3 && tok[2] == "=") {
      const int same = tok.size() == 4 ? detail::Number(tok[3]) : -1;
      if (same < 0 || same >= index) return fail(index, "\"=\" must name one earlier glyph");
      std::copy_n(&t.bytes[static_cast<size_t>(same * kGlyphBytes)], kGlyphBytes, g);
      continue;
    }
    int n = 0;       // bytes written
    int points = 0;  // points of the current stroke
    auto endStroke = [&](uint8_t marker) -> std::string {
      if (points == 1) return "a stroke of one point";
      // Only the space is empty: no stroke at all, the end byte alone.
      if (points == 0 && (marker == kStrokeEnd || n > 0)) return "an empty stroke";
      if (n + 1 > kGlyphBytes) return "more than 33 bytes";
      g[n++] = marker;
      points = 0;
      return {};
    };
    for (size_t k = 2; k < tok.size(); ++k) {
      if (tok[k] == "/") {
        if (std::string why = endStroke(kStrokeEnd); !why.empty()) return fail(index, why);
        continue;
      }
      const size_t comma = tok[k].find(',');
      const int x = comma == std::string_view::npos ? -1 : detail::Number(tok[k].substr(0, comma));
      const int y = comma == std::string_view::npos ? -1 : detail::Number(tok[k].substr(comma + 1));
      if (x < 0 || y < 0) return fail(index, "\"" + std::string(tok[k]) + "\" is not a point x,y");
      if (x < kMinX || x > kMaxX || y < kMinY || y > kMaxY)
        return fail(index, "the point " + std::string(tok[k]) + " lies outside the cell (x 20..150, y 0..215)");
      if (n + 2 > kGlyphBytes - 1) return fail(index, "more than 33 bytes");
      g[n++] = static_cast<uint8_t>(x);
      g[n++] = static_cast<uint8_t>(y);
      ++points;
    }
    if (std::string why = endStroke(kGlyphEnd); !why.empty()) return fail(index, why);
  }
  if (next < kGlyphCount) {
    lineNo = 0;
    return fail(next, "missing");
  }
  return t;
}

}  // namespace pcadfont
