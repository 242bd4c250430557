#include "core/plt_format.h"

namespace quarto {

std::optional<PltFormat> DetectPltFormat(std::span<const uint8_t, 4> b) {
  if (ReadBE32(b.data()) == Plot85Magic) return PltFormat::Plt85;
  if (ReadLE16(b.data()) == Plot45Magic) return PltFormat::Plt45;
  return std::nullopt;
}

Plot45Header DecodePlot45Header(const uint8_t* p) {
  Plot45Header h;
  h.Magic = ReadLE16(p);
  h.Version = ReadLE16(p + 2);
  h.X1 = static_cast<int16_t>(ReadLE16(p + 4));
  h.Y1 = static_cast<int16_t>(ReadLE16(p + 6));
  h.X2 = static_cast<int16_t>(ReadLE16(p + 8));
  h.Y2 = static_cast<int16_t>(ReadLE16(p + 10));
  h.UnitCode = static_cast<int16_t>(ReadLE16(p + 12));
  h.Multiplier = ReadLE16(p + 14);
  h.LayerNameCount = ReadLE16(p + 16);
  return h;
}

Plot85Header DecodePlot85Header(const uint8_t* p) {
  Plot85Header h;
  h.Magic = ReadBE32(p);
  h.Version = ReadBE32s(p + 4);
  h.X1 = ReadBE32s(p + 8);
  h.Y1 = ReadBE32s(p + 12);
  h.X2 = ReadBE32s(p + 16);
  h.Y2 = ReadBE32s(p + 20);
  h.UnitCode = ReadBE32s(p + 24);
  h.Unused28 = ReadBE32(p + 28);
  h.LayerNameCount = ReadBE32s(p + 32);
  return h;
}

int TextJustificationCode(PltFormat format, uint8_t j) {
  int code = j;
  if (format == PltFormat::Plt85) {
    if (j % 2 != 0) return 0;
    code = j / 2;
  }
  switch (code) {
    case 25:
    case 26:
    case 27:
    case 33:
    case 34:
    case 35:
    case 41:
    case 42:
    case 43: return code;
    default: return 0;
  }
}

LayerNameRec Plt45::DecodeLayerName(const uint8_t* p) {
  LayerNameRec rec;
  for (size_t i = 0; i < kNameBytes && p[i] != 0; ++i) rec.Name.push_back(static_cast<char>(p[i]));
  rec.Layer = p[6];
  return rec;
}

LayerNameRec Plt85::DecodeLayerName(const uint8_t* p) {
  LayerNameRec rec;
  for (int i : {3, 2, 1, 0, 7, 6, 5, 4}) {
    if (p[i] == 0) break;
    rec.Name.push_back(static_cast<char>(p[i]));
  }
  rec.Layer = ReadBE32s(p + 12);
  return rec;
}

}  // namespace quarto
