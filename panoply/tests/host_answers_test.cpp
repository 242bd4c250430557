// Answers given in advance (panoply-host --answers) and typed names in code page 866.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "host/answers.h"
#include "host/display.h"

namespace {

TEST(Answers, MessageBoxLines) {
  host::MessageCall box;
  box.lines = {"Title", "text", "Yes", "No", "Cancel"};
  box.buttons = 3;
  struct Case {
    const char* line;
    std::optional<int> answer;
  } cases[] = {
      {"", 0},
      {"Enter", 0},
      {"enter", 0},
      {"Esc", -1},
      {"ESC", -1},
      {"1", 0},
      {"3", 2},
      {" 2 \r", 1},
      {"4", std::nullopt},
      {"0", std::nullopt},
      {"-1", std::nullopt},
      {"2x", std::nullopt},
      {"yes", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(host::ParseMessageAnswer(c.line, box), c.answer) << "[" << c.line << "]";
}

TEST(Answers, MenuLines) {
  host::MenuCall menu;
  menu.items = {{"first", 0, 0, 0}, {"", 0, 0, 1}, {"third", 1, 0, 0}};
  struct Case {
    const char* line;
    std::optional<int> answer;
  } cases[] = {
      {"", 2},  // the selected item
      {"Enter", 2}, {"Esc", -1}, {"1", 0}, {"3", 2}, {"2", std::nullopt} /* a separator */, {"4", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(host::ParseMenuAnswer(c.line, menu), c.answer) << "[" << c.line << "]";
}

// A dialog like the settings dialog: box, two check boxes, text, edit line, two buttons
// (the first the default).
struct Dialog {
  FarDialogItem items[7]{};
  Dialog() {
    const int types[] = {DI_DOUBLEBOX, DI_CHECKBOX, DI_CHECKBOX, DI_TEXT, DI_EDIT, DI_BUTTON, DI_BUTTON};
    for (int i = 0; i < 7; ++i) items[i].Type = types[i];
    items[1].Selected = 1;
    std::strcpy(items[4].Data, "old");
    items[5].DefaultButton = 1;
  }
};

TEST(Answers, DialogLinesCloseWithAButtonAndSetItems) {
  struct Case {
    const char* line;
    std::optional<int> closing;
    int check1, check2;
    const char* edit;
  } cases[] = {
      {"", 5, 1, 0, "old"},
      {"Esc", -1, 1, 0, "old"},
      {"6", 6, 1, 0, "old"},
      {"5 1=off 2=ON 4=new", 5, 0, 1, "new"},
      {"Enter 4=\"two words\"", 5, 1, 0, "two words"},
      {"5 4=\"a \\\"q\\\" b\\\\c\"", 5, 1, 0, "a \"q\" b\\c"},
      {"5 4=", 5, 1, 0, ""},
      {"5 4=x\"y z\"", 5, 1, 0, "xy z"},
      // Nothing fits: the items stay as they were.
      {"4", std::nullopt, 1, 0, "old"},           // an edit line does not close
      {"7", std::nullopt, 1, 0, "old"},           // no such item
      {"5 1=yes", std::nullopt, 1, 0, "old"},     // a check box is on or off
      {"5 2=on 3=x", std::nullopt, 1, 0, "old"},  // a text takes no setting
      {"5 4=\"open", std::nullopt, 1, 0, "old"},  // a quote left open
      {"5 1", std::nullopt, 1, 0, "old"},         // a setting without "="
      {"Esc 1=on", std::nullopt, 1, 0, "old"},
  };
  for (const Case& c : cases) {
    Dialog d;
    EXPECT_EQ(host::ApplyDialogAnswer(c.line, d.items, 7), c.closing) << c.line;
    EXPECT_EQ(d.items[1].Selected, c.check1) << c.line;
    EXPECT_EQ(d.items[2].Selected, c.check2) << c.line;
    EXPECT_STREQ(d.items[4].Data, c.edit) << c.line;
  }
  // An edit text longer than the item holds is no answer.
  Dialog d;
  EXPECT_EQ(host::ApplyDialogAnswer("5 4=" + std::string(512, 'x'), d.items, 7), std::nullopt);
  EXPECT_EQ(host::ApplyDialogAnswer("5 4=" + std::string(511, 'x'), d.items, 7), 5);
}

TEST(TypedNames, Utf8ToCodePage866) {
  struct Case {
    const char* typed;
    std::optional<std::string> oem;
  } cases[] = {
      {"disk_01", "disk_01"},
      {"Пр", "\x8F\xE0"},
      {"пр", "\xAF\xE0"},
      {"Ёё№", "\xF0\xF1\xFC"},
      {"a░b",
       "a\xB0"
       "b"},
      {"€", std::nullopt},     // not in code page 866
      {"\xE9", std::nullopt},  // not UTF-8
      {"\xD0", std::nullopt},  // cut inside a character
  };
  for (const Case& c : cases) EXPECT_EQ(host::Utf8ToCp866(c.typed), c.oem) << c.typed;
  // Every byte above 0x7F comes back from the way it is shown.
  for (int b = 0x80; b < 0x100; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(host::Utf8ToCp866(host::DisplayText(one)), one) << b;
  }
}

}  // namespace
