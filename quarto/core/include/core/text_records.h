#pragma once
// The texts of the primitive pass: for each text record, read the fixed body and the string, set
// the text pen, then draw the text with the built-in stroke font while PCAD1 is checked, else with
// a system font. A string cut by the end of the file still draws the characters read before the
// cut and counts as a read problem of the drawing, like any other record cut short.
#include "core/render_pass.h"
#include "core/stroke_text.h"

namespace quarto {

// The pen of a text: solid, round(0.3 * ScaleX) wide, on the printer at least its minimum width.
void SetTextPen(PassContext& ctx);

// The text hook the renderers use; it keeps no state between records or drawings.
TextHook& PlotTextHook();

}  // namespace quarto
