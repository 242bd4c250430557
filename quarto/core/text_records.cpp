#include "core/text_records.h"

#include "core/plt_format.h"
#include "core/windows_text.h"

namespace quarto {

void SetTextPen(PassContext& ctx) {
  ctx.canvas.pen.style = PenStyle::Solid;
  SetPenWidth(ctx, 0.3);
}

namespace {

template <class F>
void DrawTextRecord(PassContext& ctx) {
  uint8_t body[F::kFixedBody[KindText]];
  if (!ctx.file.Read(body, sizeof body)) {
    ctx.readProblem = true;
    return;
  }
  const TextBody b = F::DecodeText(body);
  const TextPlacement at{b.X, b.Y, b.Flags, TextJustificationCode(F::kFormat, b.Justification), b.Height};
  DecodedText text;
  const bool whole = F::kFormat == PltFormat::Plt45 ? ReadText45(ctx.file, text) : ReadText85(ctx.file, text);
  if (!whole) ctx.readProblem = true;
  SetTextPen(ctx);
  if (ctx.in.strokeFont)
    DrawStrokeText(ctx.canvas, ctx.place, text, at, F::kFormat == PltFormat::Plt45 ? GlyphIndex45 : GlyphIndex85);
  else
    DrawWindowsText(ctx.canvas, ctx.place, ctx.in.systemFont, F::kFormat, text, at);
}

class PlotTexts final : public TextHook {
 public:
  void DrawText(PassContext& ctx, PltFormat format) override {
    if (format == PltFormat::Plt45)
      DrawTextRecord<Plt45>(ctx);
    else
      DrawTextRecord<Plt85>(ctx);
  }
};

}  // namespace

TextHook& PlotTextHook() {
  static PlotTexts hook;
  return hook;
}

}  // namespace quarto
