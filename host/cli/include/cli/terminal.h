// What panoply-host does at a terminal: reading a line key by key, so that Esc is seen
// the moment it is pressed, and progress boxes shown as one line of the error stream.
#pragma once

#include <termios.h>

#include <functional>
#include <ostream>
#include <string>

namespace cli {

enum class LineEnd { kLine, kEscape, kEnd };

// The keys of one line. `next(timeoutMs)` gives the next byte (0-255), -1 when none came
// within the time (a negative time waits without end), -2 at the end of the input.
// Printable bytes are echoed, Backspace takes back the last character (a UTF-8 sequence
// whole), Ctrl-U the whole line, Enter ends the line, Ctrl-D on an empty line ends the
// input. Esc alone, with no byte following within `escapeWaitMs`, is the Esc key; the
// sequences that arrow and function keys send (Esc [ ... or Esc O x) are read and
// dropped. Esc followed by Enter (alone on a line) is the Esc key too.
class LineEditor {
 public:
  using NextByte = std::function<int(int timeoutMs)>;
  static constexpr int kEscapeWaitMs = 50;
  LineEditor(NextByte next, std::ostream& echo) : next_(std::move(next)), echo_(echo) {}
  LineEnd Read(std::string& line);

 private:
  NextByte next_;
  std::ostream& echo_;
};

// A terminal on `fd` switched to key-by-key reading without echo for the life of this
// object (the line editor echoes); its settings come back afterwards. Active() is false
// when fd is no terminal, and nothing changes then.
class RawTerminal {
 public:
  explicit RawTerminal(int fd);
  ~RawTerminal();
  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;
  bool Active() const { return active_; }
  // The next byte of fd as LineEditor::NextByte wants it.
  int Next(int timeoutMs) const;

 private:
  int fd_;
  bool active_ = false;
  termios saved_{};
};

// The width of the terminal on fd in columns; 0 when fd is no terminal.
unsigned TerminalColumns(int fd);

// A line read from standard input: key by key at a terminal (Esc known at once), else
// as a plain line without its line end and trailing blanks.
LineEnd ReadInputLine(std::string& line, std::ostream& echo);

// Progress boxes (those without buttons) as one line on the error stream: on a terminal
// rewritten in place and cleared when the box goes; elsewhere, when asked for, at most one
// line a second (so a long listing does not print a line for every box), and the last
// state not printed when the box goes; otherwise nothing.
class ProgressLine {
 public:
  enum Mode { kOff, kInPlace, kLines };
  static constexpr unsigned kLineIntervalMs = 1000;
  // `columns` gives the terminal's width for kInPlace (0: unknown).
  ProgressLine(Mode mode, std::ostream& out, std::function<unsigned()> columns = {});
  void Show(const std::string& text);
  // The box went: the in-place line is cleared, a state not yet printed is printed.
  void Clear();

 private:
  std::string FitWidth(const std::string& text) const;
  Mode mode_;
  std::ostream& out_;
  std::function<unsigned()> columns_;
  bool shown_ = false;
  bool printed_ = false;  // a line was printed (lastPrinted_ holds when)
  unsigned lastPrinted_ = 0;
  std::string pending_;  // the latest state, not printed yet
};

}  // namespace cli
