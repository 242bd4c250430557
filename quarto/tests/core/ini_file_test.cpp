#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace quarto {
namespace {

TEST(IniFile, ReadingRules) {
  const IniFile ini(
      "\xEF\xBB\xBF[Form]\r\n"
      "State=Normal\r\n"
      "  width =  800  \r\n"
      "Width=1\r\n"
      "[form]\n"
      "Height=9\n"
      "[ File ]\n"
      "FirstFile=\"/plots/a b.plt\"\n"
      "SecondFile='x'\n"
      "ThirdFile=\"unbalanced\n"
      "Raw=\xE9\xFF=\n"
      "Empty=\n"
      "[Other]\n"
      "Fill=0x1F\n"
      "Hex=0XffffFFFF\n"
      "Big=2147483648\n"
      "Neg=-12\n"
      "Plus=+7\n"
      "Junk=12abc\n"
      "Blank=\n"
      "Bool=2\n");
  EXPECT_EQ(ini.GetString("FORM", "state", "?"), "Normal");
  EXPECT_EQ(ini.GetInt("Form", "Width", -1), 800);  // the first occurrence, blanks trimmed
  EXPECT_EQ(ini.GetInt("Form", "Height", -1), -1);  // in the second [form], which is not read
  EXPECT_EQ(ini.GetString("File", "FirstFile", ""), "/plots/a b.plt");
  EXPECT_EQ(ini.GetString("File", "SecondFile", ""), "x");
  EXPECT_EQ(ini.GetString("File", "ThirdFile", ""), "\"unbalanced");
  EXPECT_EQ(ini.GetString("File", "Raw", ""), "\xE9\xFF=");
  EXPECT_EQ(ini.GetString("File", "Empty", "default"), "");
  EXPECT_EQ(ini.GetString("File", "Missing", "default"), "default");
  const std::tuple<const char*, int32_t> ints[] = {{"Fill", 31}, {"Hex", -1}, {"Big", 5},   {"Neg", -12},
                                                   {"Plus", 7},  {"Junk", 5}, {"Blank", 5}, {"None", 5}};
  for (const auto& [key, value] : ints) EXPECT_EQ(ini.GetInt("Other", key, 5), value) << key;
  EXPECT_TRUE(ini.GetBool("Other", "Bool", false));
  EXPECT_TRUE(ini.GetBool("Other", "Neg", false));  // -12
  EXPECT_TRUE(ini.GetBool("Other", "Junk", true));
}

TEST(IniFile, WritingEditsInPlace) {
  const std::string original =
      "; my settings\r\n"
      "[Form]\r\n"
      "State = Normal\r\n"
      "\r\n"
      "[View]\n"
      "MirrorX=0\n"
      "\n";
  IniFile ini(original);
  ini.Set("form", "state", "Maximized");
  ini.SetInt("Form", "Width", 1024);
  ini.SetBool("View", "Color", true);
  ini.SetInt("Page", "Left", 150);
  EXPECT_EQ(ini.Text(),
            "; my settings\r\n"
            "[Form]\r\n"
            "State=Maximized\r\n"
            "Width=1024\n"
            "\r\n"
            "[View]\n"
            "MirrorX=0\n"
            "Color=1\n"
            "\n"
            "[Page]\n"
            "Left=150\n");
  EXPECT_EQ(IniFile(ini.Text()).GetString("Form", "State", ""), "Maximized");
  // A file without a final line end gets one before a new section.
  IniFile cut("[A]\nk=1");
  cut.Set("B", "k", "2");
  EXPECT_EQ(cut.Text(), "[A]\nk=1\n[B]\nk=2\n");
  // Nothing changed: the text is the same bytes.
  EXPECT_EQ(IniFile(original).Text(), original);
}

TEST(IniFile, LongValuesAndAnyBytesRoundTrip) {
  const std::string longValue(3000, 'p');
  IniFile ini;
  ini.Set("File", "FirstFile", longValue);
  ini.Set("File", "SecondFile", "/plots/\xE9t\xE9.plt");
  const IniFile back(ini.Text());
  EXPECT_EQ(back.GetString("File", "FirstFile", ""), longValue);
  EXPECT_EQ(back.GetString("File", "SecondFile", ""), "/plots/\xE9t\xE9.plt");
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(static_cast<size_t>(rng() % 300), '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 256);
    IniFile any(bytes);
    (void)any.GetInt("Form", "Width", 0);
    any.Set("Form", "Width", "1");
    EXPECT_EQ(IniFile(any.Text()).GetInt("Form", "Width", 0), 1) << round;
  }
}

}  // namespace
}  // namespace quarto
