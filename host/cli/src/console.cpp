#include "cli/console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "host/answers.h"
#include "host/display.h"

namespace cli {

namespace {

void PrintMessage(std::ostream& out, const host::MessageCall& call) {
  const size_t buttons = std::min(call.lines.size(), static_cast<size_t>(std::max(call.buttons, 0)));
  const size_t texts = call.lines.size() - buttons;
  out << "\n== " << host::DisplayText(call.lines.empty() ? "" : call.lines[0]) << " ==\n";
  for (size_t i = 1; i < texts; ++i) out << "   " << host::DisplayText(call.lines[i]) << "\n";
  for (size_t b = 0; b < buttons; ++b)
    out << "  [" << b + 1 << "] " << host::DisplayText(call.lines[texts + b]) << "\n";
}

void PrintDialog(std::ostream& out, const FarDialogItem* items, int count) {
  out << "\n";
  for (int i = 0; i < count; ++i) {
    const FarDialogItem& it = items[i];
    const std::string text = host::DisplayText(it.Data);
    switch (it.Type) {
      case DI_DOUBLEBOX: out << "== " << text << " ==\n"; break;
      case DI_CHECKBOX: out << "  " << i << ": [" << (it.Selected ? 'x' : ' ') << "] " << text << "\n"; break;
      case DI_EDIT: out << "  " << i << ": " << text << "_\n"; break;
      case DI_BUTTON: out << "  " << i << ": < " << text << (it.DefaultButton ? " > (Enter)" : " >") << "\n"; break;
      case DI_TEXT:
        if (it.Flags & DIF_SEPARATOR)
          out << "  ----\n";
        else
          out << "     " << text << "\n";
        break;
      default: break;
    }
  }
}

void PrintMenu(std::ostream& out, const host::MenuCall& call) {
  out << "\n== " << host::DisplayText(call.title) << " ==\n";
  for (size_t i = 0; i < call.items.size(); ++i) {
    if (call.items[i].separator)
      out << "      ----\n";
    else
      out << "  [" << i + 1 << "] " << host::DisplayText(call.items[i].text) << "\n";
  }
}

}  // namespace

ConsoleResponder::ConsoleResponder(AnswerMode mode, std::istream* answers, ProgressLine& progress,
                                   std::ostream& conversation, std::ostream& reports, LineReader read)
    : mode_(mode),
      answers_(answers),
      progress_(progress),
      conversation_(conversation),
      reports_(reports),
      read_(std::move(read)) {}

std::optional<std::string> ConsoleResponder::Typed(const char* prompt) {
  conversation_ << prompt << std::flush;
  std::string line;
  const LineEnd end = read_ ? read_(line) : LineEnd::kEnd;
  if (end == LineEnd::kEnd) conversation_ << "\n";  // what follows starts on a line of its own
  if (end != LineEnd::kLine || line == "q") return std::nullopt;
  return line;
}

int ConsoleResponder::AskUntilFit(const char* prompt,
                                  const std::function<std::optional<int>(const std::string&)>& parse) {
  for (;;) {
    const auto line = Typed(prompt);
    if (!line) return -1;
    if (const auto answer = parse(*line)) return *answer;
  }
}

int ConsoleResponder::OnMessage(const host::MessageCall& call) {
  progress_.Clear();
  if ((call.flags & FMSG_WARNING) && call.buttons == 1) errorShown = true;
  PrintMessage(Out(), call);
  const size_t buttons = std::min(call.lines.size(), static_cast<size_t>(call.buttons));
  const size_t texts = call.lines.size() - buttons;
  const auto told = [&](int b) {
    Out() << "  -> " << (b < 0 ? "Esc" : host::DisplayText(call.lines[texts + static_cast<size_t>(b)])) << "\n";
    return b;
  };
  switch (mode_) {
    case AnswerMode::kTerminal:
      return AskUntilFit("Choose a button (Enter: 1, Esc or q: Esc): ",
                         [&](const std::string& line) { return host::ParseMessageAnswer(line, call); });
    case AnswerMode::kYes: return told(0);
    case AnswerMode::kEscape: return told(-1);
    case AnswerMode::kFile: {
      const auto line = NextAnswer();
      if (!line) return told(-1);
      const auto b = host::ParseMessageAnswer(*line, call);
      return told(b ? *b : Unfit(*line));
    }
  }
  return -1;
}

void ConsoleResponder::OnNotice(const host::MessageCall& call) {
  std::string text;
  for (size_t i = 0; i < call.lines.size(); ++i)
    text += (i == 0 ? "[" : i == 1 ? "] " : " ") + host::DisplayText(call.lines[i]);
  if (call.lines.size() == 1) text += "]";
  progress_.Show(text);
}

void ConsoleResponder::OnScreenRestored() { progress_.Clear(); }

int ConsoleResponder::OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) {
  progress_.Clear();
  if (mode_ == AnswerMode::kTerminal) return TerminalDialog(call, items, count);
  PrintDialog(Out(), items, count);
  int closing = -1;
  if (mode_ == AnswerMode::kYes) {
    closing = Responder::OnDialog(call, items, count);
  } else if (mode_ == AnswerMode::kFile) {
    if (const auto line = NextAnswer()) {
      const auto r = host::ApplyDialogAnswer(*line, items, count);
      closing = r ? *r : Unfit(*line);
    }
  }
  Out() << "  -> "
        << (closing < 0                        ? "Esc"
            : items[closing].Type == DI_BUTTON ? "< " + host::DisplayText(items[closing].Data) + " >"
                                               : std::string("Enter"))
        << "\n";
  return closing;
}

int ConsoleResponder::OnMenu(const host::MenuCall& call) {
  progress_.Clear();
  PrintMenu(Out(), call);
  int chosen = -1;
  switch (mode_) {
    case AnswerMode::kTerminal:
      return AskUntilFit("Choose an item (Enter: the selected one, Esc or q: Esc): ",
                         [&](const std::string& line) { return host::ParseMenuAnswer(line, call); });
    case AnswerMode::kYes: chosen = Responder::OnMenu(call); break;
    case AnswerMode::kEscape: break;
    case AnswerMode::kFile:
      if (const auto line = NextAnswer()) {
        const auto r = host::ParseMenuAnswer(*line, call);
        chosen = r ? *r : Unfit(*line);
      }
      break;
  }
  Out() << "  -> " << (chosen < 0 ? "Esc" : host::DisplayText(call.items[static_cast<size_t>(chosen)].text)) << "\n";
  return chosen;
}

std::optional<std::string> ConsoleResponder::NextAnswer() {
  std::string line;
  while (answers_ && std::getline(*answers_, line)) {
    ++lineNumber_;
    if (!line.empty() && line[0] == '#') continue;
    return line;
  }
  if (!ranOut_) reports_ << "panoply-host: the answers file has no more answers: Esc\n";
  ranOut_ = answersFailed = true;
  return std::nullopt;
}

int ConsoleResponder::Unfit(const std::string& line) {
  reports_ << "panoply-host: answers line " << lineNumber_ << " (\"" << line << "\") fits no answer here: Esc\n";
  answersFailed = true;
  return -1;
}

int ConsoleResponder::TerminalDialog(const host::DialogCall& call, FarDialogItem* items, int count) {
  for (;;) {
    PrintDialog(conversation_, items, count);
    const auto line = Typed(
        "N toggles a check box or presses a button, N=TEXT sets an edit line,\n"
        "Enter presses the default button, Esc or q closes it: ");
    if (!line) return -1;
    if (line->empty()) return Responder::OnDialog(call, items, count);
    const size_t eq = line->find('=');
    const int n = std::atoi(line->substr(0, eq).c_str());
    if (n < 0 || n >= count || (*line)[0] < '0' || (*line)[0] > '9') continue;
    FarDialogItem& it = items[n];
    if (eq != std::string::npos && it.Type == DI_EDIT) {
      std::snprintf(it.Data, sizeof it.Data, "%s", line->substr(eq + 1).c_str());
    } else if (it.Type == DI_CHECKBOX) {
      it.Selected = !it.Selected;
    } else if (it.Type == DI_BUTTON) {
      return n;
    }
  }
}

int QuestionWatch::OnMessage(const host::MessageCall& call) {
  const int answer = inner_.OnMessage(call);
  cancels += answer < 0 || (call.buttons > 1 && answer == call.buttons - 1);
  return answer;
}

int QuestionWatch::OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) {
  const int closing = inner_.OnDialog(call, items, count);
  const bool closed = closing >= 0 && closing < count;
  dialogConfirmed = closed && items[closing].DefaultButton;
  cancels += !closed || (items[closing].Type == DI_BUTTON && !items[closing].DefaultButton);
  return closing;
}

int QuestionWatch::OnMenu(const host::MenuCall& call) {
  const int answer = inner_.OnMenu(call);
  cancels += answer < 0;
  return answer;
}

}  // namespace cli
