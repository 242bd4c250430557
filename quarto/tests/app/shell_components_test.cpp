// The main window's components as it is made: the menu items with their captions, states and
// groups, the tool bar and the status bar in order with their hints and limits, the font list and
// the tool buttons' icons; and the table of components they are built from.
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>
#include <QtTest>

#include "app/form1.h"
#include "app/form1_components.h"
#include "app/startup.h"
#include "app/system_fonts.h"
#include "app/tool_icons.h"
#include "core/interface_texts.h"
#include "shell_fake_seams.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

}  // namespace

class ComponentsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { seams_ = std::make_unique<test::FakeSeams>(); }
  void cleanup() { seams_.reset(); }

  void menuItemsHaveTheirNamesCaptionsAndStates() {
    Form1 form(seams_.get());
    struct Item {
      const char* name;
      const char* caption;
      bool checkable, checked, enabled;
      QActionGroup* group;
    };
    const Item items[] = {
        {"N2", "Открыть", false, false, true, nullptr},
        {"BMP1", "Сохранить как BMP", false, false, true, nullptr},
        {"N4", "Параметры принтера", false, false, true, nullptr},
        {"N17", "Параметры страницы", false, false, true, nullptr},
        {"N5", "Печать", false, false, true, nullptr},
        {"N7", "Выход", false, false, true, nullptr},
        {"X2", "Зеркало X", true, false, true, nullptr},
        {"Y1", "Зеркало Y", true, false, true, nullptr},
        {"N9", "Цветное", true, true, true, nullptr},
        {"N11", "Негатив", true, false, true, nullptr},
        {"N21", "Псевдодюймы", true, true, false, nullptr},
        {"PCAD1", "PCAD", true, true, true, nullptr},
        {"ANSI1", "ANSI", true, true, false, form.FontGroup},
        {"OEM1", "OEM", true, false, false, form.FontGroup},
        {"N22", "лево-верх", true, false, true, form.PositionGroup},
        {"N23", "середина-верх", true, false, true, form.PositionGroup},
        {"N24", "право-верх", true, false, true, form.PositionGroup},
        {"N26", "лево-середина", true, false, true, form.PositionGroup},
        {"N27", "середина-середина", true, false, true, form.PositionGroup},
        {"N28", "середина-право", true, false, true, form.PositionGroup},
        {"N30", "лево-низ", true, false, true, form.PositionGroup},
        {"N31", "середина-низ", true, false, true, form.PositionGroup},
        {"N32", "право-низ", true, false, true, form.PositionGroup},
        {"N20", "Russian", true, true, true, form.LanguageGroup},
        {"English1", "English", true, false, true, form.LanguageGroup},
        {"N16", "О программе", false, false, true, nullptr},
        {"N1", "Файл", false, false, true, nullptr},
        {"X1", "Вид", false, false, true, nullptr},
        {"N14", "Шрифт", false, false, true, nullptr},
        {"N12", "Позиция", false, false, true, nullptr},
        {"Language1", "Language", false, false, true, nullptr},
    };
    for (const Item& it : items) {
      QAction* a = form.findChild<QAction*>(QString::fromLatin1(it.name));
      QVERIFY2(a, it.name);
      QCOMPARE(a->text(), U(it.caption));
      QVERIFY2(a->isCheckable() == it.checkable, it.name);
      QVERIFY2(a->isChecked() == it.checked, it.name);
      QVERIFY2(a->isEnabled() == it.enabled, it.name);
      QVERIFY2(a->actionGroup() == it.group, it.name);
    }
    // The File menu in order, separators included; no recent item before a file was opened.
    QList<QAction*> file = form.fileMenu()->actions();
    QStringList names;
    for (QAction* a : file) names << a->objectName();
    QCOMPARE(names, (QStringList{"N2", "N13", "BMP1", "N3", "N4", "N17", "N5", "N6", "N7", "N18"}));
    for (const char* sep : {"N13", "N3", "N6", "N18"}) QVERIFY(form.findChild<QAction*>(sep)->isSeparator());
    // The menus of the bar, left to right.
    QStringList bar;
    for (QAction* a : form.menuBar()->actions()) bar << a->objectName();
    QCOMPARE(bar, (QStringList{"N1", "X1", "N14", "N12", "Language1", "N16"}));
  }

  void radioGroupsCanEndWithNoneChecked() {
    Form1 form(seams_.get());
    form.N27->setChecked(true);
    form.N22->setChecked(true);
    QVERIFY(!form.N27->isChecked());
    form.N22->setChecked(false);
    QCOMPARE(form.PositionGroup->checkedAction(), nullptr);

    form.ANSI1->setEnabled(true);
    form.OEM1->setEnabled(true);
    form.OEM1->trigger();
    QVERIFY(form.OEM1->isChecked() && !form.ANSI1->isChecked());
    form.OEM1->trigger();  // clicking the checked one clears it
    QVERIFY(!form.OEM1->isChecked() && !form.ANSI1->isChecked());

    form.N20->setChecked(false);
    QVERIFY(!form.N20->isChecked() && !form.English1->isChecked());
    form.English1->trigger();
    QVERIFY(form.English1->isChecked() && !form.N20->isChecked());
  }

  void toolBarAndStatusBar() {
    Form1 form(seams_.get());
    // The controls left to right, "|" for a separator, each with its hint.
    struct Control {
      const char* name;
      const char* hint;
    };
    const Control controls[] = {
        {"ToolButton1", "Загрузить файл"},
        {"|", ""},
        {"ToolButton3", "Книжный лист"},
        {"ToolButton4", "Альбомный лист"},
        {"|", ""},
        {"ToolButton6", ""},
        {"|", ""},
        {"ToolButton8", "Зеркало относительно оси X"},
        {"ToolButton9", "Зеркало относительно оси Y"},
        {"|", ""},
        {"ToolButton11", "Разместить по центру, растянуть на страницу, кнопка \"F\""},
        {"|", ""},
        {"ToolButton21", "Разместить по центру, масштаб 1:1"},
        {"|", ""},
        {"ToolButton13", "Увеличить, кнопка \"+\""},
        {"Edit1", "Масштаб"},
        {"ToolButton14", "Уменьшить, кнопка \"-\""},
        {"|", ""},
        {"ComboBox1", "Windows шрифты"},
        {"|", ""},
        {"RxSpinEdit2", "Коррекция высоты Windows шрифтов"},
        {"|", ""},
        {"ComboBox2", "Способ заливки полигона"},
        {"|", ""},
        {"RxSpinEdit1", "Минимальная толщина линии принтера, в точках"},
        {"|", ""},
        {"ToolButton16", "Таблица цвета и приоритета слоев"},
    };
    const QList<QAction*> actions = form.ToolBar1->actions();
    QCOMPARE(actions.size(), qsizetype(std::size(controls)));
    for (qsizetype i = 0; i < actions.size(); ++i) {
      const Control& c = controls[i];
      if (QString::fromLatin1(c.name) == "|") {
        QVERIFY2(actions[i]->isSeparator(), qPrintable(QString::number(i)));
        continue;
      }
      QWidget* w = form.ToolBar1->widgetForAction(actions[i]);
      QVERIFY2(w, c.name);
      QCOMPARE(w->objectName(), QString::fromLatin1(c.name));
      QCOMPARE(w->toolTip(), U(c.hint));
    }
    QVERIFY(form.ToolButton3->isChecked() && !form.ToolButton4->isChecked());
    QCOMPARE(form.Edit1->maxLength(), 8);
    QCOMPARE(form.Edit1->text(), QStringLiteral("1,0000"));
    QCOMPARE(form.RxSpinEdit1->minimum(), 0);
    QCOMPARE(form.RxSpinEdit1->maximum(), 20);
    QCOMPARE(form.RxSpinEdit2->minimum(), 0);
    QCOMPARE(form.RxSpinEdit2->maximum(), 25);
    QVERIFY(!form.RxSpinEdit2->isEnabled() && !form.ComboBox1->isEnabled());
    QStringList fills;
    for (int i = 0; i < form.ComboBox2->count(); ++i) fills << form.ComboBox2->itemText(i);
    QCOMPARE(fills, (QStringList{"Solid", "BDiagonal", "FDiagonal", "Cross", "DiagCross", "Horizontal", "Vertical"}));
    QCOMPARE(form.ComboBox2->currentIndex(), 0);

    // The design widths, grown only where the font needs more room for a panel's texts.
    const int widths[] = {63, 150, 55, 50, 55, 30, 120, 100, 50};
    const char* texts[] = {"Имя файла:", "", "Формат:", "", "Версия:", "", "Единица измерения:", "", ""};
    for (int i = 0; i < Form1::kStatusPanelCount; ++i) {
      QCOMPARE(form.statusPanel(i)->text(), U(texts[i]));
      if (i < 8) QVERIFY2(form.statusPanel(i)->width() >= widths[i], qPrintable(QString::number(i)));
    }
    QCOMPARE(form.statusPanel(1)->width(), 150);  // a file name gets the design width
    QCOMPARE(form.statusPanel(8)->minimumWidth(), 50);

    // The font list is in case-blind alphabetical order (each neighbour pair compared by its
    // case-folded text) and selects "Arial Narrow", or its stand-in where the machine lacks it.
    QStringList fonts;
    for (int i = 0; i < form.ComboBox1->count(); ++i) fonts << form.ComboBox1->itemText(i);
    QVERIFY(fonts.size() > 1);
    for (qsizetype i = 1; i < fonts.size(); ++i)
      QVERIFY2(fonts[i - 1].toCaseFolded() <= fonts[i].toCaseFolded(), qPrintable(fonts[i - 1] + " > " + fonts[i]));
    // One entry per family, however many foundries provide it; the family name alone reaches
    // one of them.
    QCOMPARE(QStringList(fonts).count(), QSet<QString>(fonts.begin(), fonts.end()).size());
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : fonts) {
      QVERIFY2(!family.contains(QStringLiteral(" [")), qPrintable(family));
      if (installed.contains(family)) continue;
      const QString reached = QFontInfo(QFont(family)).family();  // "Family [Foundry]"
      QVERIFY2(FontListFamilies({reached}) == QStringList{family}, qPrintable(family + " reaches " + reached));
    }
    QCOMPARE(FontListFamilies({"Nimbus Sans [UKWN]", "arial", "Nimbus Sans [urw]", "DejaVu Sans", "Nimbus Sans [URW ]",
                               "Odd [name] here"}),
             (QStringList{"arial", "DejaVu Sans", "Nimbus Sans", "Odd [name] here"}));
    QString narrow;
    for (const char* family : {"Arial Narrow", "Liberation Sans Narrow"})
      if (narrow.isEmpty() && fonts.contains(QString::fromLatin1(family))) narrow = QString::fromLatin1(family);
    if (narrow.isEmpty()) QSKIP("neither Arial Narrow nor Liberation Sans Narrow is installed (scripts/deps.sh)");
    QCOMPARE(form.ComboBox1->currentText(), narrow);
  }

  // Every tool button shows an icon: the theme's where it has one, else one of our own, which is
  // drawn (not empty) for every glyph.
  void toolButtonsShowIcons() {
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    for (QToolButton* b : {form->ToolButton1, form->ToolButton3, form->ToolButton4, form->ToolButton6,
                           form->ToolButton8, form->ToolButton9, form->ToolButton11, form->ToolButton21,
                           form->ToolButton13, form->ToolButton14, form->ToolButton16})
      QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
    QCOMPARE(form->ToolButton13->toolTip(), U("Увеличить, кнопка \"+\""));
    for (int g = 0; g <= static_cast<int>(ToolGlyph::Layers); ++g) {
      const QImage own = OwnToolIcon(static_cast<ToolGlyph>(g)).pixmap(16, 16).toImage();
      int inked = 0;
      for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) inked += qAlpha(own.pixel(x, y)) > 0;
      QVERIFY2(inked > 10, ThemeIconName(static_cast<ToolGlyph>(g)));
    }
  }

  // Each component of the table takes its text from a row of its own: the row names it, as a
  // caption on the menu bar, as a hint on the tool bar; every such row of the main window has its
  // component. A component without a row has a text alike in both languages; only separators go
  // without a name, and no name stands twice.
  void eachComponentTakesItsTextFromItsOwnRow() {
    QSet<QString> names;
    int rows = 0;
    for (const Component& c : Form1Components()) {
      const bool separator = c.kind == ComponentKind::Separator || c.kind == ComponentKind::ToolSeparator;
      if (separator) QCOMPARE(c.textRow, 0);
      if (!c.name) {
        QVERIFY(separator);
        continue;
      }
      QVERIFY2(!names.contains(QString::fromLatin1(c.name)), c.name);
      names.insert(QString::fromLatin1(c.name));
      if (separator) continue;
      if (c.kind == ComponentKind::Button) QVERIFY2(!FixedTextOf("Form1", c.name).empty(), c.name);
      if (c.textRow == 0) {
        QVERIFY2(!FixedTextOf("Form1", c.name).empty(), c.name);
        continue;
      }
      const InterfaceText& row = InterfaceTextRow(c.textRow);
      const bool menuBar =
          c.kind == ComponentKind::Menu || c.kind == ComponentKind::BarItem || c.kind == ComponentKind::Item;
      QVERIFY2(row.form == "Form1" && row.target == c.name, c.name);
      QVERIFY2(row.property == (menuBar ? TextProperty::Text : TextProperty::Hint), c.name);
      ++rows;
    }
    int componentRows = 0;
    for (const InterfaceText& row : InterfaceTexts())
      if (row.form == "Form1" && (row.property == TextProperty::Hint ||
                                  (row.property == TextProperty::Text && !row.target.starts_with("Panel"))))
        ++componentRows;
    QCOMPARE(rows, componentRows);
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
};

QTEST_MAIN(ComponentsTest)
#include "shell_components_test.moc"
