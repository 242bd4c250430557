#include "cli/terminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>

#include "platform/tick.h"

namespace cli {

namespace {

constexpr int kEnd = -2, kNone = -1;
constexpr int kEsc = 0x1b, kBackspace = 0x7f, kCtrlH = 0x08, kCtrlD = 0x04, kCtrlU = 0x15;

// Removes the last character of a UTF-8 line; false when it was empty.
bool DropLastCharacter(std::string& line) {
  if (line.empty()) return false;
  size_t cut = line.size() - 1;
  while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  line.erase(cut);
  return true;
}

}  // namespace

LineEnd LineEditor::Read(std::string& line) {
  line.clear();
  for (;;) {
    const int c = next_(-1);
    if (c == kEnd) return LineEnd::kEnd;
    if (c == '\r' || c == '\n') {
      echo_ << "\n" << std::flush;
      return LineEnd::kLine;
    }
    if (c == kEsc) {
      const int after = next_(kEscapeWaitMs);
      if (after == kNone || after == '\r' || after == '\n') {  // the key, or Esc alone on a line
        echo_ << "\n" << std::flush;
        return LineEnd::kEscape;
      }
      if (after == kEnd) return LineEnd::kEnd;
      if (after == '[') {  // a control sequence: parameters, then one final byte
        for (int b = next_(kEscapeWaitMs); b >= 0 && !(b >= 0x40 && b <= 0x7e); b = next_(kEscapeWaitMs)) {
        }
      } else if (after == 'O') {
        next_(kEscapeWaitMs);
      }
      continue;  // Alt with a key, or a function key: nothing to type
    }
    if (c == kBackspace || c == kCtrlH) {
      if (DropLastCharacter(line)) echo_ << "\b \b" << std::flush;
      continue;
    }
    if (c == kCtrlU) {
      while (DropLastCharacter(line)) echo_ << "\b \b";
      echo_ << std::flush;
      continue;
    }
    if (c == kCtrlD) {
      if (line.empty()) return LineEnd::kEnd;
      continue;
    }
    if (c < 0x20) continue;
    line += static_cast<char>(c);
    echo_ << static_cast<char>(c) << std::flush;
  }
}

RawTerminal::RawTerminal(int fd) : fd_(fd) {
  if (!isatty(fd) || tcgetattr(fd, &saved_) != 0) return;
  termios raw = saved_;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  active_ = tcsetattr(fd, TCSANOW, &raw) == 0;
}

RawTerminal::~RawTerminal() {
  if (active_) tcsetattr(fd_, TCSANOW, &saved_);
}

int RawTerminal::Next(int timeoutMs) const {
  pollfd p{fd_, POLLIN, 0};
  const int ready = poll(&p, 1, timeoutMs);
  if (ready == 0) return kNone;
  unsigned char byte = 0;
  if (ready < 0 || read(fd_, &byte, 1) != 1) return kEnd;
  return byte;
}

unsigned TerminalColumns(int fd) {
  winsize ws{};
  return ioctl(fd, TIOCGWINSZ, &ws) == 0 ? ws.ws_col : 0;
}

LineEnd ReadInputLine(std::string& line, std::ostream& echo) {
  echo.flush();
  const RawTerminal terminal(STDIN_FILENO);
  if (terminal.Active()) {
    LineEditor editor([&](int timeoutMs) { return terminal.Next(timeoutMs); }, echo);
    return editor.Read(line);
  }
  if (!std::getline(std::cin, line)) {
    line.clear();
    return LineEnd::kEnd;
  }
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return line == "\x1b" ? LineEnd::kEscape : LineEnd::kLine;
}

ProgressLine::ProgressLine(Mode mode, std::ostream& out, std::function<unsigned()> columns)
    : mode_(mode), out_(out), columns_(std::move(columns)) {}

void ProgressLine::Show(const std::string& text) {
  if (mode_ == kInPlace) {
    out_ << "\r" << FitWidth(text) << "\x1b[K" << std::flush;
    shown_ = true;
  } else if (mode_ == kLines) {
    const unsigned now = GetTickCount();
    if (printed_ && now - lastPrinted_ < kLineIntervalMs) {
      pending_ = text;
      return;
    }
    out_ << text << "\n" << std::flush;
    printed_ = true;
    lastPrinted_ = now;
    pending_.clear();
  }
}

void ProgressLine::Clear() {
  if (shown_) out_ << "\r\x1b[K" << std::flush;
  shown_ = false;
  if (pending_.empty()) return;
  out_ << pending_ << "\n" << std::flush;
  pending_.clear();
  lastPrinted_ = GetTickCount();
}

// Cut to one column less than the terminal is wide, so that the line never wraps.
std::string ProgressLine::FitWidth(const std::string& text) const {
  const unsigned width = columns_ ? columns_() : 0;
  const size_t columns = width > 1 ? width - 1 : 79;
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (seen++ == columns) return text.substr(0, i);
  }
  return text;
}

}  // namespace cli
