// The Font menu and the system-font controls of the tool bar: while PCAD1 is checked the texts
// use the stroke font and the system-font choices (ANSI1, OEM1, the font list ComboBox1 and the
// height correction RxSpinEdit2) are off; cleared, they come alive.
#include <QFontDatabase>
#include <QSignalBlocker>

#include "app/form1.h"
#include "app/system_fonts.h"

namespace quarto {

void Form1::FillFontList() {
  const QSignalBlocker block(ComboBox1);
  const QStringList families = FontListFamilies(QFontDatabase::families());
  ComboBox1->addItems(families);
  ComboBox1->setCurrentIndex(static_cast<int>(families.indexOf(DefaultFontFace(families))));
}

void Form1::EnableSystemFontChoices(bool enabled) {
  ANSI1->setEnabled(enabled);
  OEM1->setEnabled(enabled);
  ComboBox1->setEnabled(enabled);
  RxSpinEdit2->setEnabled(enabled);
}

void Form1::ReadFontSettings(const QuartoSettings& s) {
  PCAD1->setChecked(s.Type);
  EnableSystemFontChoices(!s.Type);
  // Radio pairs: a true second value clears the first; two false values leave neither checked.
  ANSI1->setChecked(s.ANSI);
  OEM1->setChecked(s.OEM);
  if (s.IndexFont) {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentIndex(*s.IndexFont >= 0 && *s.IndexFont < ComboBox1->count() ? *s.IndexFont : -1);
  }
}

void Form1::PCAD1Click() {
  // Unchecked: the texts use the system fonts, whose choices come alive.
  EnableSystemFontChoices(!PCAD1->isChecked());
  ReDraw();
}

}  // namespace quarto
