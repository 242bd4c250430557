#pragma once
// Texts of the plot in a system font, while the stroke font is off. A system font cannot be
// mirrored: in a mirrored view, or for a text with the mirror bit, the text is drawn readable and
// its rotation and justification are rewritten so that its cell covers the place where the
// mirrored text would lie. Each text gets a font of its own on the canvas; nothing accumulates.
#include <cstdint>

#include "core/canvas.h"
#include "core/plt_format.h"
#include "core/render_frame.h"
#include "core/render_pass.h"
#include "core/stroke_text.h"

namespace quarto {

// The cell height of a text of height h file units: round((correction + h) * ScaleY) in PLT 4.5,
// round((correction * 1000 + h) * ScaleY) in PLT 8.5, at least 2. Computed in double precision so
// a 32-bit height and a large scale cannot overflow; far beyond any device it is held to 2^40.
int64_t WindowsFontHeight(PltFormat format, int32_t correction, uint32_t height, double scaleY);

// The rotation after the rewrite for a mirrored view: a y-mirrored view swaps 0 and 2, then an
// x-mirrored view swaps 1 and 3.
int MirroredRotation(int rotation, int32_t signX, int32_t signY);
// The justification after the rewrites for a mirrored view (a half turn, given the rotation
// after MirroredRotation) and for the mirror bit. Codes outside the nine stay as they are.
int MirroredJustification(int code, int rotation, bool mirrorBit, int32_t signX, int32_t signY);

// The shift of the scaled anchor (Ax, Ay) that puts the text's cell where the justification
// wants it, for the rotation and code after the rewrites; W and H are the measured text. Codes
// outside the nine do not shift: the top-left of the cell lies on the anchor.
struct AnchorShift {
  int64_t dx = 0, dy = 0;
  bool operator==(const AnchorShift&) const = default;
};
AnchorShift JustificationShift(int rotation, int code, int32_t signX, int32_t signY, int64_t W, int64_t H);

// Draws one text: font, measure, placement by the justification, output, then the overbar along
// the top edge of the cell with the current pen. An empty text draws nothing and leaves the font.
void DrawWindowsText(Canvas& canvas, const Placement& place, const SystemFontInput& font, PltFormat format,
                     const DecodedText& text, const TextPlacement& at);

}  // namespace quarto
