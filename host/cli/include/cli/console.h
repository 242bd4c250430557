// The plug-in's boxes, dialogs and menus shown on the console and answered in one of four
// ways: by a person at the terminal, by Enter (--yes), from an answers file (--answers),
// or by Esc (no terminal and neither option).
#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "cli/terminal.h"
#include "host/host.h"

namespace cli {

enum class AnswerMode { kTerminal, kYes, kFile, kEscape };

// Reads one line typed at the terminal (ReadInputLine in the program).
using LineReader = std::function<LineEnd(std::string& line)>;

class ConsoleResponder : public host::Responder {
 public:
  // At the terminal the boxes are part of the conversation on `conversation` (standard
  // output) and lines come from `read`; answered otherwise, they are reports on
  // `reports` (the error stream) with the answer taken. `answers` is the answers file.
  ConsoleResponder(AnswerMode mode, std::istream* answers, ProgressLine& progress, std::ostream& conversation,
                   std::ostream& reports, LineReader read = {});

  // A warning box with a single button: the plug-in reported a failure.
  bool errorShown = false;
  // An answer was missing from the answers file, or a line of it fitted no answer.
  bool answersFailed = false;

  int OnMessage(const host::MessageCall& call) override;
  void OnNotice(const host::MessageCall& call) override;
  void OnScreenRestored() override;
  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override;
  int OnMenu(const host::MenuCall& call) override;

 private:
  std::ostream& Out() { return mode_ == AnswerMode::kTerminal ? conversation_ : reports_; }
  std::optional<std::string> NextAnswer();
  int Unfit(const std::string& line);
  // A line typed at the terminal; nothing for Esc, q or the end of the input.
  std::optional<std::string> Typed(const char* prompt);
  // Asks at the terminal until a line fits an answer (`parse`); -1 for Esc.
  int AskUntilFit(const char* prompt, const std::function<std::optional<int>(const std::string&)>& parse);
  int TerminalDialog(const host::DialogCall& call, FarDialogItem* items, int count);

  AnswerMode mode_;
  std::istream* answers_;
  ProgressLine& progress_;
  std::ostream& conversation_;
  std::ostream& reports_;
  LineReader read_;
  int lineNumber_ = 0;
  bool ranOut_ = false;  // said once
};

// Passes every box on to `inner` and watches the answers: a question answered with Esc or
// with Cancel (the last of several buttons of a box, a dialog's button other than its
// default one) cancelled the command it belongs to.
class QuestionWatch : public host::Responder {
 public:
  explicit QuestionWatch(host::Responder& inner) : inner_(inner) {}
  int cancels = 0;
  // The last dialog was closed by its default button (OK, Copy): the person went on.
  bool dialogConfirmed = false;

  int OnMessage(const host::MessageCall& call) override;
  void OnNotice(const host::MessageCall& call) override { inner_.OnNotice(call); }
  void OnScreenRestored() override { inner_.OnScreenRestored(); }
  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override;
  int OnMenu(const host::MenuCall& call) override;

 private:
  host::Responder& inner_;
};

}  // namespace cli
