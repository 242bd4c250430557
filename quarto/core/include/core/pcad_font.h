#pragma once
// PcadFont: the built-in stroke font, 166 glyphs of 33 bytes; glyph g is bytes 33*g to 33*g + 32.
// A glyph is a sequence of strokes, each a polyline of points given as two unsigned bytes, x then
// y, in a cell 150 units wide (the advance) and 250 high with the baseline at y = 50. Where a point
// would begin, the byte 254 lifts the pen and 255 ends the glyph. The table is generated at build
// time from core/pcad_font.glyphs.
#include <array>
#include <cstddef>
#include <cstdint>

namespace quarto {

inline constexpr int kPcadGlyphCount = 166;
inline constexpr int kPcadGlyphBytes = 33;
inline constexpr std::size_t kPcadFontBytes = std::size_t{kPcadGlyphCount} * kPcadGlyphBytes;
inline constexpr uint8_t kPcadStrokeEnd = 254;
inline constexpr uint8_t kPcadGlyphEnd = 255;
inline constexpr int kPcadCellWidth = 150;
inline constexpr int kPcadCellHeight = 250;

extern const std::array<uint8_t, kPcadFontBytes> PcadFont;

}  // namespace quarto
