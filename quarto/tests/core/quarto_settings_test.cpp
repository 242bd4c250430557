#include "core/quarto_settings.h"

#include <gtest/gtest.h>

namespace quarto {
namespace {

TEST(QuartoSettings, AnEmptyFileKeepsTheDefaults) {
  QuartoSettings s;
  s.Width = 791, s.Height = 524;  // the window's current size
  ReadSettings(IniFile(""), s);
  const QuartoSettings d;
  EXPECT_EQ(s.State, "Normal");
  EXPECT_EQ(s.Width, 791);
  EXPECT_EQ(s.Height, 524);
  EXPECT_TRUE(s.Color && s.Mils && s.Type && s.ANSI && s.Russian && s.DefaultColor);
  EXPECT_FALSE(s.MirrorX || s.MirrorY || s.Negative || s.OEM || s.English);
  EXPECT_FALSE(s.IndexFont.has_value());
  EXPECT_EQ(s.Colors, DefaultLayerColors);
  EXPECT_EQ(s.Colors[0], 0x008000u);  // green
  EXPECT_EQ(s.Colors[15], 0xFFFFFFu);
}

// Every key written is read back; the file holds them in the table's order.
TEST(QuartoSettings, EveryKeyRoundTripsInTheTablesOrder) {
  QuartoSettings s;
  s.State = "Maximized", s.Width = 1000, s.Height = 700;
  s.RecentFiles[0] = "/plots/a.plt", s.RecentFiles[8] = "/plots/\xE9.plt";
  s.Left = 150, s.Right = 50, s.Up = 100, s.Down = 500;
  s.MirrorX = s.MirrorY = s.Negative = s.OEM = s.English = true;
  s.Color = s.Mils = s.Type = s.ANSI = s.Russian = s.DefaultColor = false;
  s.IndexFont = 3, s.Fill = 6, s.WidthPen0 = 20;
  s.Colors[4] = 0x123456;
  IniFile ini;
  WriteSettings(ini, s);
  const std::string text = ini.Text();
  const char* order[] = {"[Form]",
                         "State=Maximized",
                         "Width=1000",
                         "Height=700",
                         "[File]",
                         "FirstFile=/plots/a.plt",
                         "NinthFile=/plots/\xE9.plt",
                         "[Page]",
                         "Left=150",
                         "Down=500",
                         "[View]",
                         "MirrorX=1",
                         "Mils=0",
                         "[Font]",
                         "Type=0",
                         "indexFont=3",
                         "[Language]",
                         "English=1",
                         "[Other]",
                         "Fill=6",
                         "WidthPen0=20",
                         "[TableColor]",
                         "DefaultColor=0",
                         "Color5=1193046",
                         "Color16=16777215"};
  size_t at = 0;
  for (const char* piece : order) {
    const size_t found = text.find(piece, at);
    ASSERT_NE(found, std::string::npos) << piece;
    at = found;
  }
  QuartoSettings back;
  back.State = "Normal";
  ReadSettings(IniFile(text), back);
  EXPECT_EQ(back.State, "Maximized");
  EXPECT_EQ(back.Width, 0);  // not read unless Normal
  EXPECT_EQ(back.RecentFiles, s.RecentFiles);
  EXPECT_EQ(back.Left, 150);
  EXPECT_TRUE(back.MirrorX && back.MirrorY && back.Negative && back.OEM && back.English);
  EXPECT_FALSE(back.Color || back.Mils || back.Type || back.ANSI || back.Russian || back.DefaultColor);
  EXPECT_EQ(back.IndexFont, 3);
  EXPECT_EQ(back.Fill, 6);
  EXPECT_EQ(back.WidthPen0, 20);
  EXPECT_EQ(back.Colors, s.Colors);
}

TEST(QuartoSettings, OutOfRangeValuesAreHeld) {
  QuartoSettings s;
  ReadSettings(IniFile("[Form]\nState=Normal\nWidth=640\nHeight=0x200\n"
                       "[Page]\nLeft=900\nRight=-5\nUp=150\nDown=abc\n"
                       "[Other]\nWidthPen0=99\nFill=9\n"
                       "[Font]\nindexFont=x\n"
                       "[TableColor]\nColor1=0xFF123456\nColor2=-1\n"),
               s);
  EXPECT_EQ(s.Width, 640);
  EXPECT_EQ(s.Height, 512);
  EXPECT_EQ(s.Left, 500);
  EXPECT_EQ(s.Right, 0);
  EXPECT_EQ(s.Up, 150);
  EXPECT_EQ(s.Down, 0);
  EXPECT_EQ(s.WidthPen0, 20);
  EXPECT_EQ(s.Fill, 9);  // the list selects nothing for it
  EXPECT_FALSE(s.IndexFont.has_value());
  EXPECT_EQ(s.Colors[0], 0x123456u);
  EXPECT_EQ(s.Colors[1], 0xFFFFFFu);
}

}  // namespace
}  // namespace quarto
