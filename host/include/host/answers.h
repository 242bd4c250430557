// Answers given in advance to the plug-in's questions, one line per box, dialog or menu
// (the answers file of panoply-host). Boxes without buttons take no answer.
//
//   message box   Enter or an empty line: the first button; Esc; N: button N (1 first)
//   menu          Enter or an empty line: the selected item; Esc; N: item N (1 first)
//   dialog        Enter or an empty line: the default button (in a dialog without
//                 one, the item marked default, such as an edit line); Esc; N: the
//                 closing button or default item, item N of the dialog (0 first, as
//                 panoply-host lists them);
//                 after Enter or N, settings ITEM=VALUE, the words split as a POSIX
//                 shell splits them (host/words.h): an edit line's text (in quotes
//                 when it holds blanks) or a check box's state, on or off
//
// Esc and Enter are taken without regard to case. A line that fits no answer of the box
// it meets is no answer.
#pragma once

#include <optional>
#include <string_view>

#include "host/host.h"

namespace host {

// The button chosen (0 first), -1 for Esc; nothing when the line fits no button.
std::optional<int> ParseMessageAnswer(std::string_view line, const MessageCall& call);
// The item chosen (0 first), -1 for Esc; nothing when the line fits no item.
std::optional<int> ParseMenuAnswer(std::string_view line, const MenuCall& call);
// The closing item, -1 for Esc, with the line's settings written into the items; nothing,
// and the items unchanged, when the line fits no answer.
std::optional<int> ApplyDialogAnswer(std::string_view line, FarDialogItem* items, int count);

}  // namespace host
