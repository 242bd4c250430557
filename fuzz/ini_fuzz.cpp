// The viewer's settings file: any bytes parse, every key is read (held to its range), and the
// settings written back into the same file read back unchanged (a missing font index is written
// as -1, "none").
#include <string>

#include "core/ini_file.h"
#include "core/quarto_settings.h"
#include "fuzz/fuzz_support.h"

namespace {

using quarto::QuartoSettings;

bool Same(const QuartoSettings& a, const QuartoSettings& b) {
  return a.State == b.State && a.Width == b.Width && a.Height == b.Height && a.RecentFiles == b.RecentFiles &&
         a.Left == b.Left && a.Right == b.Right && a.Up == b.Up && a.Down == b.Down && a.MirrorX == b.MirrorX &&
         a.MirrorY == b.MirrorY && a.Color == b.Color && a.Negative == b.Negative && a.Mils == b.Mils &&
         a.Type == b.Type && a.ANSI == b.ANSI && a.OEM == b.OEM &&
         a.IndexFont.value_or(-1) == b.IndexFont.value_or(-1) && a.Russian == b.Russian && a.English == b.English &&
         a.Fill == b.Fill && a.WidthPen0 == b.WidthPen0 && a.DefaultColor == b.DefaultColor && a.Colors == b.Colors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  quarto::IniFile ini(text);
  QuartoSettings read;
  read.Width = 800, read.Height = 600;
  quarto::ReadSettings(ini, read);
  for (int32_t m : {read.Left, read.Right, read.Up, read.Down})
    if (m < 0 || m > 500) fuzz::Fail("a margin outside 0..500 was read");
  if (read.WidthPen0 < 0 || read.WidthPen0 > 20) fuzz::Fail("a pen width outside 0..20 was read");
  for (auto c : read.Colors)
    if (c > 0xFFFFFF) fuzz::Fail("a colour beyond 24 bits was read");

  quarto::WriteSettings(ini, read);
  const quarto::IniFile again(ini.Text());
  QuartoSettings back;
  back.Width = 800, back.Height = 600;
  quarto::ReadSettings(again, back);
  if (!Same(read, back)) fuzz::Fail("settings written do not read back the same");
  return 0;
}
