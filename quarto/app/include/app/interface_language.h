#pragma once
// The language commands' work: every window's texts in Russian or English from the interface
// texts of the core, the layer table's headers and statuses, the about box's date and version
// and its pictures, and the unit in status panel 7. Nothing is repainted but the texts themselves.
#include <QString>
#include <string_view>

#include "core/interface_texts.h"

class QObject;
class QWidget;

namespace quarto {

class Form1;

// A UTF-8 text of the core as a QString.
QString FromUtf8(std::string_view text);
// The text of one row of the interface texts in one language.
QString InterfaceQString(int row, bool russian);
// The text of one row as the window holds it when it is made.
QString DesignQString(int row);
// A text written at run time, in one language.
QString RunTimeQString(RunTimeText text, bool russian);
// A text that reads the same in both languages.
QString FixedQString(std::string_view form, std::string_view target);

// The component of one window with the given name: the window itself or one of its children,
// without looking into the other windows that are children of it (the secondary windows are
// children of the main window and reuse its component names).
QObject* FindFormComponent(QWidget* window, const QString& name);

// Checks N20 (russian) or English1 and writes the texts of that language into every window;
// Qt's own texts (standard dialogs and buttons) follow (ApplyQtTranslations).
void ApplyInterfaceLanguage(Form1& form, bool russian);

// Qt's own translations for the interface language: its Russian catalogue installed while the
// interface is Russian (false when it cannot be loaded), none for English, Qt's own language.
bool ApplyQtTranslations(bool russian);

}  // namespace quarto
