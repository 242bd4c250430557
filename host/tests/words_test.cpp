// Lines split into words as a POSIX shell splits them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/words.h"

namespace {

using Words = std::vector<std::string>;

TEST(SplitWords, QuotesAndBackslashesAsAShellReadsThem) {
  struct Case {
    const char* line;
    std::optional<Words> words;
  };
  const Case cases[] = {
      {"", Words{}},
      {"  \t ", Words{}},
      {"cp a.txt out", Words{"cp", "a.txt", "out"}},
      {"cp \"read me.txt\" out", Words{"cp", "read me.txt", "out"}},
      {"cp 'read me.txt' out", Words{"cp", "read me.txt", "out"}},
      {"cp read\\ me.txt out", Words{"cp", "read me.txt", "out"}},
      {"cp \"*.com\" out", Words{"cp", "*.com", "out"}},
      {"'a \"b\" c'", Words{"a \"b\" c"}},
      {"\"it's\"", Words{"it's"}},
      {"\"a \\\"q\\\" b\\\\c \\n\"", Words{"a \"q\" b\\c \\n"}},
      {"'\\n'", Words{"\\n"}},
      {"\\'x", Words{"'x"}},
      {"5=\"*.bas *.txt\" 1=off", Words{"5=*.bas *.txt", "1=off"}},
      {"x\"y z\"'w'", Words{"xy zw"}},
      {"\"\" ''", Words{"", ""}},
      {"\"open", std::nullopt},
      {"'open", std::nullopt},
      {"end\\", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(host::SplitWords(c.line), c.words) << "[" << c.line << "]";
  std::string why;
  EXPECT_EQ(host::SplitWords("a 'b", &why), std::nullopt);
  EXPECT_EQ(why, "a single quote is left open");
}

}  // namespace
