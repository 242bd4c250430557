#include <gtest/gtest.h>

#include "core/recent_files.h"

namespace quarto {
namespace {

RecentList Make(std::initializer_list<const char*> items) {
  RecentList list{};
  size_t i = 0;
  for (const char* s : items) list[i++] = s;
  return list;
}

struct PushCase {
  const char* name;
  RecentList before;
  std::string path;
  RecentList after;
};

TEST(ShellRecentFiles, PushFollowsTheListRules) {
  const PushCase cases[] = {
      {"into an empty list", Make({}), "a", Make({"a"})},
      {"entry 4 becomes entry 1, 5..9 stay", Make({"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "4",
       Make({"4", "1", "2", "3", "5", "6", "7", "8", "9"})},
      {"a tenth distinct file drops entry 9", Make({"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "new",
       Make({"new", "1", "2", "3", "4", "5", "6", "7", "8"})},
      {"already first: unchanged", Make({"a", "b"}), "a", Make({"a", "b"})},
      {"the last entry moves to the front", Make({"1", "2", "3", "4", "5", "6", "7", "8", "9"}), "9",
       Make({"9", "1", "2", "3", "4", "5", "6", "7", "8"})},
      {"letter case makes another entry", Make({"C:\\A.PLT"}), "C:\\a.plt", Make({"C:\\a.plt", "C:\\A.PLT"})},
      {"empty slots in the middle keep their place", Make({"a", "", "b"}), "b", Make({"b", "a", ""})},
  };
  for (const PushCase& c : cases) {
    RecentList list = c.before;
    PushRecentFile(list, c.path);
    EXPECT_EQ(list, c.after) << c.name;
  }
}

TEST(ShellRecentFiles, CaptionIsDigitPointBlankPath) {
  EXPECT_EQ(RecentCaption(3, "C:\\plots\\a.plt"), "3. C:\\plots\\a.plt");
  EXPECT_EQ(RecentCaption(1, "/tmp/R&D.plt"), "1. /tmp/R&D.plt");
}

}  // namespace
}  // namespace quarto
