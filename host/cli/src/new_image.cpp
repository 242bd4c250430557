#include "cli/new_image.h"

#include <cstring>

namespace cli {

namespace {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

// A chooser item names the format, after a hot-key label of one character and a blank.
bool NamesFormat(const std::string& item, const std::string& format) {
  return SameText(item, format) ||
         (item.size() == format.size() + 2 && item[1] == ' ' && SameText(item.substr(2), format));
}

int ItemWithText(const host::MenuCall& call, const char* text) {
  for (size_t i = 0; i < call.items.size(); ++i)
    if (!call.items[i].separator && call.items[i].text == text) return static_cast<int>(i);
  return -1;
}

}  // namespace

NewImageResponder::NewImageResponder(const host::LanguageFile& texts, std::string file, std::string format,
                                     host::Responder& others, std::ostream& reports)
    : texts_(texts), file_(std::move(file)), format_(std::move(format)), others_(others), reports_(reports) {}

int NewImageResponder::OnMenu(const host::MenuCall& call) {
  if (failed) return others_.OnMenu(call);  // after a failure nothing goes on
  if (call.title == texts_.Text(NewImageTexts::kChooserTitle) && !chosen_) {
    chosen_ = true;
    for (size_t i = 0; i < call.items.size(); ++i) {
      if (call.items[i].separator) continue;
      if (format_.empty() || NamesFormat(call.items[i].text, format_)) return static_cast<int>(i);
    }
    reports_ << "panoply-host: no format module has the format \"" << format_ << "\"\n";
    failed = true;
    return -1;
  }
  const int newImage = ItemWithText(call, texts_.Text(NewImageTexts::kNewImageItem));
  const int defaultFormat = ItemWithText(call, texts_.Text(NewImageTexts::kDefaultFormatItem));
  if (newImage >= 0 && defaultFormat >= 0 && menus_ < 2) {
    ++menus_;
    // A wanted format replaces the stored default through the menu's chooser item.
    return !format_.empty() && !chosen_ ? defaultFormat : newImage;
  }
  failed = true;
  return others_.OnMenu(call);
}

int NewImageResponder::OnDialog(const host::DialogCall& call, FarDialogItem* items, int count) {
  bool prompted = false;
  for (int i = 0; i < count; ++i)
    prompted = prompted ||
               (items[i].Type == DI_TEXT && std::strcmp(items[i].Data, texts_.Text(NewImageTexts::kNamePrompt)) == 0);
  for (int i = 0; i < count && prompted && !named && !failed; ++i) {
    if (items[i].Type != DI_EDIT) continue;
    if (file_.size() >= sizeof items[i].Data) break;
    std::memcpy(items[i].Data, file_.c_str(), file_.size() + 1);
    named = true;
    return i;  // Enter on the edit line closes the dialog
  }
  failed = true;
  return others_.OnDialog(call, items, count);
}

int NewImageResponder::OnMessage(const host::MessageCall& call) {
  failed = true;
  return others_.OnMessage(call);
}

int RunNew(host::Host& h, host::Responder& others, const std::string& file, const std::string& format,
           std::ostream& reports) {
  NewImageResponder answers(h.language(), file, format, others, reports);
  h.SetResponder(&answers);
  h.OpenFromMenu();
  h.ClosePanel();
  h.SetResponder(&others);
  if (!answers.named) reports << "panoply-host: no new image was made\n";
  return answers.named && !answers.failed ? 0 : 1;
}

}  // namespace cli
