#pragma once
// QuartoSettings: the values of the settings file, one field per key with its default, read from
// and written to an IniFile through one table of sections and keys in the file's order. Values
// out of range are held on reading: margins to 0..500 hundredths of a centimetre, the minimum
// printer pen width to 0..20, colours to their low 24 bits.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/ini_file.h"
#include "core/layer_table.h"
#include "core/recent_files.h"

namespace quarto {

struct QuartoSettings {
  // Form: "Normal", "Minimized" or "Maximized" (any other text changes nothing); the outer size
  // is read only for "Normal", its defaults are the window's current size.
  std::string State = "Normal";
  int32_t Width = 0;
  int32_t Height = 0;
  RecentList RecentFiles{};
  // Page margins in hundredths of a centimetre: left, right, top ("Up"), bottom ("Down").
  int32_t Left = 0, Right = 0, Up = 0, Down = 0;
  bool MirrorX = false, MirrorY = false, Color = true, Negative = false, Mils = true;
  bool Type = true, ANSI = true, OEM = false;
  // The font list's selected index; nullopt keeps the list's own choice (a missing key).
  std::optional<int32_t> IndexFont;
  bool Russian = true, English = false;
  int32_t Fill = 0;
  int32_t WidthPen0 = 0;
  bool DefaultColor = true;
  LayerColorArray Colors = DefaultLayerColors;
};

// Reads every key; a missing key or a value that is no integer keeps the field's value in s (the
// caller fills s with the defaults, Width and Height with the current size).
void ReadSettings(const IniFile& ini, QuartoSettings& s);
// Writes every key in the table's order.
void WriteSettings(IniFile& ini, const QuartoSettings& s);

// The names of the recent-file keys, FirstFile to NinthFile.
extern const std::array<const char*, kRecentFileCount> kRecentFileKeys;

}  // namespace quarto
