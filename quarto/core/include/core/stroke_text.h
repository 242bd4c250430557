#pragma once
// Texts of the plot drawn with the built-in stroke font: the decoding of a text record's string
// (shared with the system-font path), the mapping of character codes to glyphs, and the layout of
// the glyph strokes on the canvas. Stroke text is only lines of the current pen, so it looks the
// same on every target and can be mirrored.
#include <cstdint>
#include <span>
#include <string>

#include "core/canvas.h"
#include "core/pcad_font.h"
#include "core/plot_reader.h"
#include "core/render_frame.h"

namespace quarto {

// A text as drawn: single-byte character codes without zero bytes, and the overbar flag.
struct DecodedText {
  std::string chars;
  bool overbar = false;
};

// Read the string that follows a text record's fixed body. PLT 8.5 strings then get their escapes
// replaced ("$$p" plus-minus 0xB1, "$$d" diameter 0xF8, "$$a" degree 0xB0, the first occurrence of
// each); in both formats a trailing apostrophe is removed and sets the overbar flag. Returns false
// when the data ends inside the string: text then holds the characters read before the cut, with
// no escape replaced and no overbar.
bool ReadText45(PlotReader& file, DecodedText& text);
bool ReadText85(PlotReader& file, DecodedText& text);

// The three PLT 8.5 escapes, the first occurrence of each, in the order p, d, a.
void ReplaceTextEscapes(std::string& chars);
// A non-empty text ending in an apostrophe loses it and gets the overbar.
void TakeOverbarMarker(DecodedText& text);

// The glyph of a character code in PcadFont, or kNoGlyph for the codes 0x01..0x1F (and 0x00),
// which the mapping sends past the end of the table. PLT 8.5 sends 0xB1, 0xF8 and 0xB0 to the
// plus-minus, diameter and degree signs.
inline constexpr int kNoGlyph = -1;
int GlyphIndex45(uint8_t code);
int GlyphIndex85(uint8_t code);
using GlyphMapping = int (*)(uint8_t);

// Walks the strokes of one glyph: at the start of a stroke a 255 ends the glyph, otherwise the
// pair there is the stroke's first point (on_point(true, x, y)); further pairs follow while the
// next byte is below 254 (on_point(false, x, y)); a 254 starts a new stroke, a 255 ends the glyph.
// The walk never passes the glyph's 33 bytes, whether or not an end byte came first.
template <class OnPoint>
void WalkGlyph(std::span<const uint8_t, kPcadGlyphBytes> g, OnPoint&& on_point) {
  size_t i = 0;
  while (i + 1 < g.size() && g[i] != kPcadGlyphEnd) {
    on_point(true, g[i], g[i + 1]);
    i += 2;
    while (i + 1 < g.size() && g[i] < kPcadStrokeEnd) {
      on_point(false, g[i], g[i + 1]);
      i += 2;
    }
    if (i >= g.size() || g[i] != kPcadStrokeEnd) return;
    ++i;
  }
}

// The fields of a text record the layout needs.
struct TextPlacement {
  int32_t x = 0, y = 0;   // anchor, file units
  uint16_t flags = 0;     // bits 0-1 rotation (counter-clockwise quarter turns), bit 2 mirror
  int justification = 0;  // 25..43 (8 * along + across), anything else places like 34
  uint32_t height = 0;    // file units
};

// Draws the text with lines of the canvas pen: every glyph of the font cell scaled to the height,
// turned by the rotation, mirrored along the text by the mirror bit, placed from the justified
// anchor and advanced by a cell after every character; then the overbar when the flag is set.
// Characters without a glyph advance without strokes. All rounding is half to even, device points
// are clamped to the device range; nothing overflows for any height or scale.
void DrawStrokeText(Canvas& canvas, const Placement& place, const DecodedText& text, const TextPlacement& at,
                    GlyphMapping glyphs);

}  // namespace quarto
