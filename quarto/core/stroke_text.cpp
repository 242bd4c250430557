#include "core/stroke_text.h"

#include <algorithm>

#include "core/numeric.h"
#include "core/pcad_font.h"
#include "core/plt_format.h"
#include "core/plt_walk.h"

namespace quarto {

namespace {

template <class F>
bool ReadTextOf(PlotReader& file, DecodedText& text) {
  text = {};
  if (!ReadTextString<F>(file, &text.chars)) return false;
  if constexpr (F::kFormat == PltFormat::Plt85) ReplaceTextEscapes(text.chars);
  TakeOverbarMarker(text);
  return true;
}

}  // namespace

bool ReadText45(PlotReader& file, DecodedText& text) { return ReadTextOf<Plt45>(file, text); }
bool ReadText85(PlotReader& file, DecodedText& text) { return ReadTextOf<Plt85>(file, text); }

void ReplaceTextEscapes(std::string& chars) {
  const std::pair<const char*, char> escapes[] = {{"$$p", '\xB1'}, {"$$d", '\xF8'}, {"$$a", '\xB0'}};
  for (const auto& [escape, sign] : escapes)
    if (const size_t at = chars.find(escape); at != std::string::npos) chars.replace(at, 3, 1, sign);
}

void TakeOverbarMarker(DecodedText& text) {
  if (!text.chars.empty() && text.chars.back() == '\'') {
    text.chars.pop_back();
    text.overbar = true;
  }
}

int GlyphIndex45(uint8_t code) {
  int k = code;
  if (k == 0xFE) k = 0xB1;
  if (k >= 0xB0 && k <= 0xF1)
    k -= 0x30;
  else if (k >= 0xF2)
    k = 0xC2;
  const int glyph = (k - 0x20) & 0xFF;
  // Codes below 0x20 wrap to 224..255, past the end of the table.
  return glyph < kPcadGlyphCount ? glyph : kNoGlyph;
}

int GlyphIndex85(uint8_t code) {
  switch (code) {
    case 0xB1: return 163;
    case 0xF8: return 164;
    case 0xB0: return 165;
    default: return GlyphIndex45(code);
  }
}

namespace {

// Layout values are kept within 2^52 device units: exact in a double, and sums of a few of them
// stay far inside 64 bits. Anything that large lies off every page; ToDevice clamps the points.
constexpr int64_t kLayoutLimit = int64_t{1} << 52;

int64_t Bounded(double v) { return std::clamp(RoundHalfEven(v), -kLayoutLimit, kLayoutLimit); }
int64_t Half(int64_t v) { return DivTrunc(v, 2); }

}  // namespace

void DrawStrokeText(Canvas& canvas, const Placement& pl, const DecodedText& text, const TextPlacement& at,
                    GlyphMapping glyphs) {
  const double s = at.height / 200.0;
  const int r = at.flags & 3;
  const bool turned = (r & 1) != 0;  // the text runs along file y
  int dx = (r == 0 || r == 3) ? 1 : -1;
  int dy = (r == 0 || r == 1) ? 1 : -1;
  // The mirror bit turns the axis that runs along the text.
  if (at.flags & 4) {
    if (turned)
      dy = -dy;
    else
      dx = -dx;
  }

  const int64_t n = static_cast<int64_t>(text.chars.size());
  const int64_t w = Bounded(double(n) * 150 * pl.ScaleX * s);
  const int64_t K = Bounded(250 * pl.ScaleY * s);
  int64_t Ax = Bounded(at.x * pl.ScaleX);
  int64_t Ay = Bounded(at.y * pl.ScaleY);

  // Justification: along the text by the length w, across it by the cell height K.
  int64_t& along = turned ? Ay : Ax;
  int64_t& across = turned ? Ax : Ay;
  const int da = turned ? dy : dx, dc = turned ? dx : dy;
  switch (at.justification) {
    case 25:
    case 26:
    case 27: along -= Half(da * w); break;
    case 41:
    case 42:
    case 43: along -= da * w; break;
    default: break;
  }
  switch (at.justification) {
    case 25:
    case 33:
    case 41: across -= dc * K; break;
    case 27:
    case 35:
    case 43: across -= Half(dc * K); break;
    default: break;
  }

  auto point = [&](int gx, int gy) {
    const int gu = turned ? gy : gx, gv = turned ? gx : gy;
    return DevicePoint{ToDevice((double(gu * dx) * pl.ScaleX * s + double(Ax)) * pl.SignX + pl.OffsetX),
                       ToDevice((double(gv * dy) * pl.ScaleY * s + double(Ay)) * pl.SignY + pl.OffsetY)};
  };
  for (const char ch : text.chars) {
    const int glyph = glyphs(static_cast<uint8_t>(ch));
    if (glyph != kNoGlyph) {
      const std::span<const uint8_t, kPcadGlyphBytes> g(&PcadFont[static_cast<size_t>(glyph) * kPcadGlyphBytes],
                                                        kPcadGlyphBytes);
      WalkGlyph(g, [&](bool first, int gx, int gy) {
        const DevicePoint p = point(gx, gy);
        if (first)
          canvas.MoveTo(p.x, p.y);
        else
          canvas.LineTo(p.x, p.y);
      });
    }
    if (turned)
      Ay = Bounded(dy * 150 * pl.ScaleY * s + double(Ay));
    else
      Ax = Bounded(dx * 150 * pl.ScaleX * s + double(Ax));
  }

  if (!text.overbar) return;
  // The bar lies 25 units below the top of the cells and runs from 25 units before the end of the
  // text back to 25 units after its start; Ax and Ay stand at the end of the text now.
  auto X = [&](double v) { return ToDevice(pl.SignX * v + pl.OffsetX); };
  auto Y = [&](double v) { return ToDevice(pl.SignY * v + pl.OffsetY); };
  if (!turned) {
    const int64_t a1 = Bounded(25 * pl.ScaleX * s), a2 = Bounded(double(w) - 25 * pl.ScaleX * s);
    const int64_t e = Bounded(double(K) - 25 * pl.ScaleY * s);
    const int32_t y = Y(double(Ay + dy * e));
    canvas.MoveTo(X(double(Ax - dx * a1)), y);
    canvas.LineTo(X(double(Ax - dx * a2)), y);
  } else {
    const int64_t a = Bounded(25 * pl.ScaleX * s - double(K));
    const int64_t e1 = -Bounded(25 * pl.ScaleY * s), e2 = Bounded(25 * pl.ScaleY * s - double(w));
    const int32_t x = X(double(Ax - dx * a));
    canvas.MoveTo(x, Y(double(Ay + dy * e1)));
    canvas.LineTo(x, Y(double(Ay + dy * e2)));
  }
}

}  // namespace quarto
