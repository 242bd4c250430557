// Typed words to panel items: numbers, names, patterns, and names without regard to case.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/item_names.h"

namespace {

TEST(ItemNames, NumbersNamesPatternsAndCase) {
  const std::vector<cli::NamedItem> items = {
      {"ED.COM", "ED.COM"}, {"readme.txt", "readme.txt"}, {"read me.txt", "read me.txt"}, {"Ed.com", "Ed.com"},
      {"x.bas", "x.bas"},   {"\x8F\xE0", "Пр"},           {"GAME.COM", "GAME.COM"},
  };
  struct Case {
    const char* word;
    std::vector<int> items;  // empty: no item
    std::string note;
  };
  const Case cases[] = {
      {"#1", {0}, ""},
      {"#7", {6}, ""},
      {"#8", {}, ""},
      {"#0", {}, ""},
      {"ED.COM", {0}, ""},  // exactly: the other case is not asked about
      {"read me.txt", {2}, ""},
      {"Пр", {5}, ""},
      {"\x8F\xE0", {5}, ""},
      {"README.TXT", {1}, ""},  // one without regard to case: no note
      {"ed.com", {0}, "ed.com: took ED.COM, of ED.COM Ed.com"},
      {"*.COM", {0, 6}, ""},
      {"*.com", {3}, ""},  // the exact case first
      {"*.BAS", {4}, ""},  // then without regard to case
      {"g*.c?m", {6}, ""},
      {"*.txt", {1, 2}, ""},
      {"nothing", {}, ""},
      {"*.zip", {}, ""},
  };
  for (const Case& c : cases) {
    const auto r = cli::ResolveItemWord(c.word, items);
    if (c.items.empty()) {
      EXPECT_EQ(r, std::nullopt) << c.word;
      continue;
    }
    ASSERT_TRUE(r) << c.word;
    EXPECT_EQ(r->items, c.items) << c.word;
    EXPECT_EQ(r->note, c.note) << c.word;
  }
}

}  // namespace
