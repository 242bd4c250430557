#include "core/quarto_settings.h"

#include <algorithm>

namespace quarto {

const std::array<const char*, kRecentFileCount> kRecentFileKeys = {"FirstFile",   "SecondFile", "ThirdFile",
                                                                   "FourthFile",  "FifthFile",  "SixthFile",
                                                                   "SeventhFile", "EighthFile", "NinthFile"};

namespace {

const char* const kColorKeys[kLayerTableSize] = {"Color1",  "Color2",  "Color3",  "Color4",  "Color5",  "Color6",
                                                 "Color7",  "Color8",  "Color9",  "Color10", "Color11", "Color12",
                                                 "Color13", "Color14", "Color15", "Color16"};

// The one table of keys in the file's order: visit(section, key, field) for every key, the field
// a reference of the key's type. Reading and writing both walk it.
template <class S, class Visit>
void ForEachKey(S& s, Visit&& visit) {
  visit("Form", "State", s.State);
  visit("Form", "Width", s.Width);
  visit("Form", "Height", s.Height);
  for (size_t i = 0; i < kRecentFileCount; ++i) visit("File", kRecentFileKeys[i], s.RecentFiles[i]);
  visit("Page", "Left", s.Left);
  visit("Page", "Right", s.Right);
  visit("Page", "Up", s.Up);
  visit("Page", "Down", s.Down);
  visit("View", "MirrorX", s.MirrorX);
  visit("View", "MirrorY", s.MirrorY);
  visit("View", "Color", s.Color);
  visit("View", "Negative", s.Negative);
  visit("View", "Mils", s.Mils);
  visit("Font", "Type", s.Type);
  visit("Font", "ANSI", s.ANSI);
  visit("Font", "OEM", s.OEM);
  visit("Font", "indexFont", s.IndexFont);
  visit("Language", "Russian", s.Russian);
  visit("Language", "English", s.English);
  visit("Other", "Fill", s.Fill);
  visit("Other", "WidthPen0", s.WidthPen0);
  visit("TableColor", "DefaultColor", s.DefaultColor);
  for (size_t i = 0; i < kLayerTableSize; ++i) visit("TableColor", kColorKeys[i], s.Colors[i]);
}

struct Reader {
  const IniFile& ini;
  bool normal;  // State read as "Normal": the size follows
  void operator()(const char* sec, const char* key, std::string& v) { v = ini.GetString(sec, key, v); }
  void operator()(const char* sec, const char* key, bool& v) { v = ini.GetBool(sec, key, v); }
  void operator()(const char* sec, const char* key, uint32_t& v) {
    v = static_cast<uint32_t>(ini.GetInt(sec, key, static_cast<int32_t>(v))) & 0xFFFFFFu;
  }
  void operator()(const char* sec, const char* key, std::optional<int32_t>& v) {
    if (std::optional<std::string> text = ini.Get(sec, key))
      if (std::optional<int32_t> n = ParseIniInt(*text)) v = *n;
  }
  void operator()(const char* sec, const char* key, int32_t& v) {
    const std::string_view k(key);
    if ((k == "Width" || k == "Height") && !normal) return;
    v = ini.GetInt(sec, key, v);
  }
};

struct Writer {
  IniFile& ini;
  void operator()(const char* sec, const char* key, const std::string& v) { ini.Set(sec, key, v); }
  void operator()(const char* sec, const char* key, bool v) { ini.SetBool(sec, key, v); }
  void operator()(const char* sec, const char* key, uint32_t v) { ini.SetInt(sec, key, v & 0xFFFFFFu); }
  void operator()(const char* sec, const char* key, const std::optional<int32_t>& v) {
    ini.SetInt(sec, key, v.value_or(-1));
  }
  void operator()(const char* sec, const char* key, int32_t v) { ini.SetInt(sec, key, v); }
};

}  // namespace

void ReadSettings(const IniFile& ini, QuartoSettings& s) {
  const bool normal = ini.GetString("Form", "State", s.State) == "Normal";
  ForEachKey(s, Reader{ini, normal});
  for (int32_t* margin : {&s.Left, &s.Right, &s.Up, &s.Down}) *margin = std::clamp(*margin, 0, 500);
  s.WidthPen0 = std::clamp(s.WidthPen0, 0, 20);
}

void WriteSettings(IniFile& ini, const QuartoSettings& s) { ForEachKey(s, Writer{ini}); }

}  // namespace quarto
