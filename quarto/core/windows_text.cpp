#include "core/windows_text.h"

#include <algorithm>

#include "core/numeric.h"

namespace quarto {

namespace {

// Far taller than any device, still far from overflowing when widths are added up.
constexpr int64_t kMaxCellHeight = int64_t{1} << 40;

// One shift of the placement tables. Conditional: factor * d * L when the view sign equals when,
// else nothing. Halved: factor * half(S * d * L), S the view sign. L is W for the shift along the
// text and H for the shift across it.
struct Shift {
  bool halved;
  int8_t factor;
  bool signX;  // which view sign: X, else Y
  int8_t when;
};

constexpr Shift Cond(int8_t factor, bool signX, int8_t when) { return {false, factor, signX, when}; }
constexpr Shift Half(int8_t factor, bool signX) { return {true, factor, signX, 0}; }
constexpr bool X = true, Y = false;

struct PlacementRow {
  int code;
  Shift along;   // of Ax for rotation 0 and 2, of Ay for 1 and 3
  Shift across;  // of Ay for rotation 0 and 2, of Ax for 1 and 3
};

// Rotation 0 or 2: the text runs along device x.
constexpr PlacementRow kAlongX[] = {
    {25, Half(-1, X), Cond(-1, Y, +1)},     {26, Half(-1, X), Cond(+1, Y, -1)},     {27, Half(-1, X), Half(-1, Y)},
    {33, Cond(+1, X, -1), Cond(-1, Y, +1)}, {34, Cond(+1, X, -1), Cond(+1, Y, -1)}, {35, Cond(+1, X, -1), Half(-1, Y)},
    {41, Cond(-1, X, +1), Cond(-1, Y, +1)}, {42, Cond(-1, X, +1), Cond(+1, Y, -1)}, {43, Cond(-1, X, +1), Half(-1, Y)},
};

// Rotation 1 or 3: the text runs along device y.
constexpr PlacementRow kAlongY[] = {
    {25, Half(+1, Y), Cond(+1, X, -1)},     {26, Half(+1, Y), Cond(-1, X, +1)},     {27, Half(+1, Y), Half(-1, X)},
    {33, Cond(+1, Y, +1), Cond(+1, X, -1)}, {34, Cond(+1, Y, +1), Cond(-1, X, +1)}, {35, Cond(+1, Y, +1), Half(-1, X)},
    {41, Cond(-1, Y, -1), Cond(+1, X, -1)}, {42, Cond(-1, Y, -1), Cond(-1, X, +1)}, {43, Cond(-1, Y, -1), Half(-1, X)},
};

// A half turn swaps left and right, top and bottom; the mirror bit swaps left and right only.
constexpr std::pair<int, int> kHalfTurn[] = {{25, 26}, {26, 25}, {33, 42}, {34, 41},
                                             {35, 43}, {41, 34}, {42, 33}, {43, 35}};
constexpr std::pair<int, int> kMirrorBit[] = {{33, 41}, {34, 42}, {35, 43}, {41, 33}, {42, 34}, {43, 35}};

template <size_t N>
int Rewrite(const std::pair<int, int> (&table)[N], int code) {
  for (const auto& [from, to] : table)
    if (from == code) return to;
  return code;
}

int64_t Apply(const Shift& s, int32_t signX, int32_t signY, int d, int64_t length) {
  const int32_t sign = s.signX ? signX : signY;
  if (s.halved) return s.factor * ((sign * d * length) / 2);
  return sign == s.when ? s.factor * d * length : 0;
}

}  // namespace

int64_t WindowsFontHeight(PltFormat format, int32_t correction, uint32_t height, double scaleY) {
  const double base = format == PltFormat::Plt45 ? double(correction) : double(correction) * 1000.0;
  const int64_t cell = RoundHalfEven((base + double(height)) * scaleY);
  return std::clamp<int64_t>(cell, 2, kMaxCellHeight);
}

int MirroredRotation(int r, int32_t signX, int32_t signY) {
  if (signY == 1 && (r == 0 || r == 2)) r = 2 - r;
  if (signX == -1 && (r == 1 || r == 3)) r = 4 - r;
  return r;
}

int MirroredJustification(int code, int r, bool mirrorBit, int32_t signX, int32_t signY) {
  const bool alongX = r == 0 || r == 2;
  if ((signY == 1 && alongX) || (signX == -1 && !alongX)) code = Rewrite(kHalfTurn, code);
  if (mirrorBit) code = Rewrite(kMirrorBit, code);
  return code;
}

AnchorShift JustificationShift(int r, int j, int32_t signX, int32_t signY, int64_t W, int64_t H) {
  const bool alongX = r == 0 || r == 2;
  const int d = r < 2 ? 1 : -1;
  for (const PlacementRow& row : alongX ? kAlongX : kAlongY) {
    if (row.code != j) continue;
    const int64_t along = Apply(row.along, signX, signY, d, W);
    const int64_t across = Apply(row.across, signX, signY, d, H);
    return alongX ? AnchorShift{along, across} : AnchorShift{across, along};
  }
  return {};
}

void DrawWindowsText(Canvas& canvas, const Placement& pl, const SystemFontInput& in, PltFormat format,
                     const DecodedText& text, const TextPlacement& at) {
  if (text.chars.empty()) return;
  const int r = MirroredRotation(at.flags & 3, pl.SignX, pl.SignY);
  const int j = MirroredJustification(at.justification, r, (at.flags & 4) != 0, pl.SignX, pl.SignY);

  Font font = canvas.font();
  font.face = in.face;
  font.height = WindowsFontHeight(format, in.heightCorrection, at.height, pl.ScaleY);
  font.escapement = 900 * r;
  if (in.ansi) font.charSet = CharSet::Ansi;
  if (in.oem) font.charSet = CharSet::Oem;
  canvas.SetFont(std::move(font));
  const TextSize size = canvas.TextExtent(text.chars);
  const int64_t W = size.width, H = size.height;

  const AnchorShift shift = JustificationShift(r, j, pl.SignX, pl.SignY, W, H);
  const int64_t ax = RoundHalfEven(at.x * pl.ScaleX) + shift.dx, ay = RoundHalfEven(at.y * pl.ScaleY) + shift.dy;
  const double px = double(pl.SignX * ax) + pl.OffsetX, py = double(pl.SignY * ay) + pl.OffsetY;
  canvas.TextOut(ToDevice(px), ToDevice(py), text.chars);

  if (text.overbar) {
    const double w = double(W);
    const double ex = r == 0 ? px + w : (r == 2 ? px - w : px);
    const double ey = r == 1 ? py - w : (r == 3 ? py + w : py);
    canvas.MoveTo(ToDevice(px), ToDevice(py));
    canvas.LineTo(ToDevice(ex), ToDevice(ey));
  }
}

}  // namespace quarto
