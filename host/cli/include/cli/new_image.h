// --new: one new image made through the plug-in's own menu without questions. The host
// knows the menus only by what the plug-in shows, the texts of its language file: the
// format chooser by its title, the menu by its new-image and default-format items, the
// name dialog by its prompt.
#pragma once

#include <ostream>
#include <string>

#include "host/host.h"

namespace cli {

// Numbers of the language file's texts the answers look for.
struct NewImageTexts {
  static constexpr int kChooserTitle = 21, kNewImageItem = 34, kDefaultFormatItem = 36, kNamePrompt = 38;
};

// The format chooser answered with the format wanted (any case; the first format without
// one), the menu with its new-image item (with a format wanted, its default-format item
// first, once), the name dialog with the file name. Every other box, or one of these
// coming back, goes to `others` (which shows it and answers Esc) and counts as a failure.
class NewImageResponder : public host::Responder {
 public:
  NewImageResponder(const host::LanguageFile& texts, std::string file, std::string format, host::Responder& others,
                    std::ostream& reports);
  bool failed = false;
  bool named = false;  // the name dialog was answered with the file

  int OnMenu(const host::MenuCall& call) override;
  int OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) override;
  int OnMessage(const host::MessageCall& call) override;
  void OnNotice(const host::MessageCall& call) override { others_.OnNotice(call); }
  void OnScreenRestored() override { others_.OnScreenRestored(); }

 private:
  const host::LanguageFile& texts_;
  std::string file_, format_;
  host::Responder& others_;
  std::ostream& reports_;
  bool chosen_ = false;
  int menus_ = 0;
};

// The whole command: 0 when the image was named without another box, else 1.
int RunNew(host::Host& h, host::Responder& others, const std::string& file, const std::string& format,
           std::ostream& reports);

}  // namespace cli
