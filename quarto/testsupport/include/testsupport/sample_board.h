#pragma once
// WriteSampleBoard: a small plausible two-layer board (outline, mounting holes, pads, traces,
// copper pours with cut-outs, silk-screen outlines and texts) on the named layers 1 TOP, 2 BOTTOM,
// 4 PADCOM, 6 SILK, 10 BOARD, using every record kind, in either plot format. Design units are
// 0.01 mm; scale turns them into file units (1 for metric PLT 4.5 with multiplier 1, 100 for PLT 8.5).
#include "testsupport/plt_writer.h"

namespace quarto::test {

void WriteSampleBoard(PltWriter& w, int32_t scale);

}  // namespace quarto::test
