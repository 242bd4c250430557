// Lines typed key by key, and progress lines, without a terminal: the keys come from a
// script and the clock is stepped by the test.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>

#include "cli/terminal.h"
#include "platform/tick.h"

namespace {

// Bytes as a terminal delivers them; kPause marks a pause longer than an escape
// sequence takes.
constexpr int kPause = -1, kEnd = -2;

struct Typed {
  std::string line;
  cli::LineEnd end;
  std::string echo;
};

Typed Type(std::deque<int> keys) {
  std::ostringstream echo;
  cli::LineEditor editor(
      [&](int timeoutMs) {
        // A pause is felt only by one waiting a limited time.
        while (!keys.empty() && keys.front() == kPause && timeoutMs < 0) keys.pop_front();
        if (keys.empty()) return kEnd;
        const int k = keys.front();
        keys.pop_front();
        return k;
      },
      echo);
  Typed t;
  t.end = editor.Read(t.line);
  t.echo = echo.str();
  return t;
}

std::deque<int> Bytes(const std::string& text) {
  std::deque<int> out;
  for (unsigned char c : text) out.push_back(c);
  return out;
}

TEST(LineEditor, EscEnterBackspaceAndSequences) {
  struct Case {
    const char* what;
    std::deque<int> keys;
    std::string line;
    cli::LineEnd end;
    std::string echo;
  };
  auto keys = [](std::initializer_list<std::deque<int>> parts) {
    std::deque<int> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const Case cases[] = {
      {"a line", Bytes("ls disk_01\r"), "ls disk_01", cli::LineEnd::kLine, "ls disk_01\n"},
      {"Esc alone", keys({Bytes("12"), {0x1b, kPause}}), "12", cli::LineEnd::kEscape, "12\n"},
      {"Esc alone on a line", Bytes("\x1b\n"), "", cli::LineEnd::kEscape, "\n"},
      {"an arrow key is no Esc", keys({Bytes("a\x1b[A"), Bytes("b\r")}), "ab", cli::LineEnd::kLine, "ab\n"},
      {"a function key", keys({Bytes("\x1b[15~"), Bytes("\x1bOPx\r")}), "x", cli::LineEnd::kLine, "x\n"},
      {"backspace takes a whole character",
       Bytes("aП\x7f\x7f"
             "b\r"),
       "b", cli::LineEnd::kLine, "aП\b \b\b \bb\n"},
      {"backspace on an empty line", Bytes("\x7fz\n"), "z", cli::LineEnd::kLine, "z\n"},
      {"Ctrl-U", Bytes("abc\x15x\r"), "x", cli::LineEnd::kLine, "abc\b \b\b \b\b \bx\n"},
      {"Ctrl-D on an empty line", Bytes("\x04"), "", cli::LineEnd::kEnd, ""},
      {"Ctrl-D inside a line",
       Bytes("a\x04"
             "b\r"),
       "ab", cli::LineEnd::kLine, "ab\n"},
      {"the end of the input", Bytes("half"), "half", cli::LineEnd::kEnd, "half"},
      {"other controls", Bytes("a\tb\x01\r"), "ab", cli::LineEnd::kLine, "ab\n"},
  };
  for (const Case& c : cases) {
    const Typed t = Type(c.keys);
    EXPECT_EQ(t.line, c.line) << c.what;
    EXPECT_EQ(t.end, c.end) << c.what;
    EXPECT_EQ(t.echo, c.echo) << c.what;
  }
}

uint32_t g_now = 0;
uint32_t Now() { return g_now; }

class Progress : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetTickSource(&Now); }
  void TearDown() override { platform::SetTickSource(nullptr); }
};

// Without a terminal: at most a line a second, and the last state when the box goes.
TEST_F(Progress, LinesAtMostOneASecondAndTheLastState) {
  std::ostringstream out;
  cli::ProgressLine p(cli::ProgressLine::kLines, out);
  const struct {
    uint32_t at;
    const char* text;
  } shows[] = {{0, "32"}, {400, "64"}, {999, "96"}, {1000, "128"}, {1500, "160"}, {2100, "192"}, {2200, "224"}};
  for (const auto& s : shows) {
    g_now = s.at;
    p.Show(s.text);
  }
  g_now = 2300;
  p.Clear();
  EXPECT_EQ(out.str(), "32\n128\n192\n224\n");
  p.Clear();  // nothing more to say
  g_now = 2400;
  p.Show("next");  // within a second of the last state printed
  p.Clear();
  EXPECT_EQ(out.str(), "32\n128\n192\n224\nnext\n");
}

TEST_F(Progress, InPlaceOnATerminalAndNothingWhenOff) {
  std::ostringstream terminal, off;
  cli::ProgressLine inPlace(cli::ProgressLine::kInPlace, terminal, [] { return 8u; });
  inPlace.Show("1234567890");
  inPlace.Show("ЖЖЖЖЖЖЖЖЖЖ");
  inPlace.Clear();
  inPlace.Clear();
  EXPECT_EQ(terminal.str(), "\r1234567\x1b[K\rЖЖЖЖЖЖЖ\x1b[K\r\x1b[K");
  cli::ProgressLine none(cli::ProgressLine::kOff, off);
  none.Show("x");
  none.Clear();
  EXPECT_EQ(off.str(), "");
}

}  // namespace
