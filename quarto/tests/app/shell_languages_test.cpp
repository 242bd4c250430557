// The interface languages: every text of both languages in every window after each switch, the
// rules for the layer table, the about box's date and pictures and the unit in status panel 7,
// and what start-up applies.
#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/interface_language.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// What a row writes.
enum class K { Caption, Text, Hint, Filter, Cell, Statuses, DateVersion, Shown, Unit };

struct Row {
  int row;
  const char* form;
  const char* target;  // component name; for K::Cell the header column
  K kind;
  const char* russian;  // for K::Shown the picture shown in that language
  const char* english;
};

// The targets in the order written, with the texts each language gives them. Row 47 and the
// place and thanks texts (rows 43, 45) are the program's own.
const Row kRows[] = {
    {1, "Form1", "Form1", K::Caption, "Просмотр, печать PLT файлов PCAD 4.5, 8.5",
     "View, print PLT files PCAD 4.5, 8.5"},
    {2, "Form1", "N1", K::Text, "Файл", "File"},
    {3, "Form1", "N2", K::Text, "Открыть", "Open File"},
    {4, "Form1", "OpenDialog1", K::Filter, "PLT файлы PCAD 4.5, 8.5|*.plt|KIR файлы PIPE|*.kir",
     "PLT files PCAD 4.5, 8.5|*.plt|KIR files PIPE|*.kir"},
    {5, "Form1", "BMP1", K::Text, "Сохранить в BMP", "Save as BMP"},
    {6, "Form1", "N4", K::Text, "Параметры принтера", "Printer setup"},
    {7, "Form1", "N17", K::Text, "Параметры страницы", "Page setup"},
    {8, "Form1", "N5", K::Text, "Печать", "Print"},
    {9, "Form1", "N7", K::Text, "Выход", "Quit"},
    {10, "Form1", "X1", K::Text, "Вид", "View"},
    {11, "Form1", "X2", K::Text, "Зеркало X", "Mirror X"},
    {12, "Form1", "Y1", K::Text, "Зеркало Y", "Mirror Y"},
    {13, "Form1", "N9", K::Text, "Цветное", "Color"},
    {14, "Form1", "N11", K::Text, "Негатив", "Negative"},
    {15, "Form1", "N21", K::Text, "Псевдодюймы", "Mils"},
    {16, "Form1", "N14", K::Text, "Шрифт", "Font"},
    {17, "Form1", "N12", K::Text, "Позиция", "Position"},
    {18, "Form1", "N22", K::Text, "лево-верх", "left-up"},
    {19, "Form1", "N23", K::Text, "середина-верх", "center-up"},
    {20, "Form1", "N24", K::Text, "право-верх", "right-up"},
    {21, "Form1", "N26", K::Text, "лево-середина", "left-center"},
    {22, "Form1", "N27", K::Text, "середина-середина", "center-center"},
    {23, "Form1", "N28", K::Text, "право-середина", "right-center"},
    {24, "Form1", "N30", K::Text, "лево-низ", "left-down"},
    {25, "Form1", "N31", K::Text, "середина-низ", "center-down"},
    {26, "Form1", "N32", K::Text, "право-низ", "right-down"},
    {27, "Form1", "N16", K::Text, "О программе", "About"},
    {28, "Form2", "Form2", K::Caption, "Таблица цвета и приоритета слоев",
     "The table of colour and priority of layers"},
    {29, "Form2", "CheckBox1", K::Text, "Цвет по умолчанию", "Colour by default"},
    {30, "Form2", "BitBtn2", K::Text, "Применить", "Apply"},
    {31, "Form2", "0", K::Cell, "   Номер", "   Number"},
    {32, "Form2", "StringGrid1", K::Statuses, "   Выкл.", "   OFF"},
    {33, "Form2", "1", K::Cell, "Статус", "Status"},
    {34, "Form2", "2", K::Cell, "Цвет", "Colour"},
    {35, "Form2", "3", K::Cell, "Названия слоев", "The names of layers"},
    {36, "Form3", "Form3", K::Caption, "Параметры страницы", "Page setup"},
    {37, "Form3", "RxLabel1", K::Text, "Поля, см ______________________________",
     "Fields, см ____________________________"},
    {38, "Form3", "RxLabel2", K::Text, "Левое:", "Left:"},
    {39, "Form3", "RxLabel3", K::Text, "Правое:", "Right:"},
    {40, "Form3", "RxLabel4", K::Text, "Верхнее:", "Up:"},
    {41, "Form3", "RxLabel5", K::Text, "Нижнее:", "Down:"},
    {42, "Form4", "Form4", K::Caption, "О программе", "About program"},
    {43, "Form4", "RxLabel1", K::DateVersion, "03.05.2004, Россия\nВерсия 2.5", "03.05.2004, Russia\nVersion 2.5"},
    {44, "Form4", "RxLabel2", K::Text, "Изначально программа написана\nспециально для Папы",
     "From the beginning this program was\ndeveloped specially for Daddy"},
    {45, "Form4", "RxLabel4", K::Text,
     "Спасибо моему коллеге за:\n> шрифт PCAD (+ кириллица);\n> описание формата PLT 8   .",
     "Thanks to a colleague of mine for:\n> PCAD font (+ cyrillics)    ;\n> PLT 8 description format."},
    {46, "Form4", "RxLabel6", K::Text, "А также за разработку страницы\nи размещение на ней программы",
     "And also for the developing the web\npage and placing a program on it"},
    {47, "Form4", "RxLabel5", K::Text, "Программа бесплатная:\nпользуйтесь и делитесь ею",
     "The program is free:\nuse it and pass it on"},
    {48, "Form4", "RxGIFAnimator1", K::Shown, "RxGIFAnimator1", "RxGIFAnimator4"},
    {49, "Form4", "RxGIFAnimator2", K::Shown, "RxGIFAnimator2", "RxGIFAnimator5"},
    {50, "Form1", "ToolButton1", K::Hint, "Открыть", "Load file"},
    {51, "Form1", "ToolButton3", K::Hint, "Книжный лист", "Portrait"},
    {52, "Form1", "ToolButton4", K::Hint, "Альбомный лист", "Landscape"},
    {53, "Form1", "ToolButton6", K::Hint, "Распечатка", "Print"},
    {54, "Form1", "ToolButton8", K::Hint, "Зеркало относительно оси X", "Mirror around axis X"},
    {55, "Form1", "ToolButton9", K::Hint, "Зеркало относительно оси Y", "Mirror around axis Y"},
    {56, "Form1", "ToolButton11", K::Hint, "Разместить по центру, растянуть на страницу, кнопка \"F\"",
     "Center, fit to page, key \"F\""},
    {57, "Form1", "ToolButton21", K::Hint, "Разместить по центру, масштаб 1:1", "Center, 1:1"},
    {58, "Form1", "ToolButton13", K::Hint, "Увеличить, кнопка \"+\"", "Zoom in, key \"+\""},
    {59, "Form1", "Edit1", K::Hint, "Масштаб", "Scale"},
    {60, "Form1", "ToolButton14", K::Hint, "Уменьшить, кнопка \"-\"", "Zoom out, key \"-\""},
    {61, "Form1", "ToolButton16", K::Hint, "Таблица цвета и приоритета слоев",
     "The table of colour and priority of layers"},
    {62, "Form1", "ComboBox1", K::Hint, "Windows шрифты", "Windows fonts"},
    {63, "Form1", "ComboBox2", K::Hint, "Способ заливки полигона", "Poligon filling method"},
    {64, "Form1", "RxSpinEdit1", K::Hint, "Минимальная толщина линии принтера, в точках",
     "Printers line minimal thicknes,in points"},
    {65, "Form1", "RxSpinEdit2", K::Hint, "Коррекция высоты Windows шрифтов", "Windows fonts height correction"},
    {66, "Form1", "Panel0", K::Text, "Имя файла:", "File name:"},
    {67, "Form1", "Panel2", K::Text, "Формат:", "Format:"},
    {68, "Form1", "Panel4", K::Text, "Версия:", "Version:"},
    {69, "Form1", "Panel6", K::Text, "Единица измерения:", "Unit:"},
    {70, "Form1", "Panel7", K::Unit, "Псевдодюйм", "Mils"},
    {71, "Form1", "Panel7", K::Unit, "Метрика", "Metrics"},
    {72, "Form1", "Panel7", K::Unit, "Дюйм", "Inch"},
};

QWidget* Window(Form1& f, const char* name) {
  const QString n = QString::fromLatin1(name);
  if (n == "Form1") return &f;
  if (n == "Form2") return f.form2();
  if (n == "Form3") return f.form3();
  return f.form4();
}

QString TextOf(QObject* o) {
  if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
  if (auto* a = qobject_cast<QAction*>(o)) return a->text();
  if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
  return QStringLiteral("<no text property>");
}

QWidget* Component(Form1& f, const char* form, const char* name) {
  return qobject_cast<QWidget*>(FindFormComponent(Window(f, form), QString::fromLatin1(name)));
}

// The open dialog's filter as the dialog receives it.
QString FilterSeen(Form1& f, test::FakeSeams& seams) {
  f.N2Click();  // the fake dialog cancels
  return seams.openFilters.isEmpty() ? QString() : seams.openFilters.last();
}

// Checks every row in one language; `unitRow` is the unit row whose text panel 7 holds.
void CheckRows(Form1& f, test::FakeSeams& seams, bool russian, int unitRow) {
  const QString lang = russian ? "Russian" : "English";
  for (const Row& r : kRows) {
    const QString expected = U(russian ? r.russian : r.english);
    const QByteArray where = QStringLiteral("row %1 (%2) in %3").arg(r.row).arg(r.target, lang).toUtf8();
    QString actual;
    switch (r.kind) {
      case K::Caption: actual = Window(f, r.form)->windowTitle(); break;
      case K::Text: {
        QObject* o = FindFormComponent(Window(f, r.form), QString::fromLatin1(r.target));
        QVERIFY2(o, where.constData());
        actual = TextOf(o);
        break;
      }
      case K::Hint: {
        QWidget* w = Component(f, r.form, r.target);
        QVERIFY2(w, where.constData());
        actual = w->toolTip();
        break;
      }
      case K::Filter: actual = FilterSeen(f, seams); break;
      case K::Cell: actual = QString::fromStdString(f.form2()->table().Grid.At(QByteArray(r.target).toInt(), 0)); break;
      case K::Statuses:
        // No plot is open: every row is off.
        for (int row = 1; row <= 16; ++row) {
          QCOMPARE(QString::fromStdString(f.form2()->table().Grid.At(ColStatus, row)), expected);
        }
        continue;
      case K::DateVersion: actual = f.form4()->RxLabel1->text(); break;
      case K::Shown: {
        QWidget* shown = Component(f, r.form, russian ? r.russian : r.english);
        QWidget* hidden = Component(f, r.form, russian ? r.english : r.russian);
        QVERIFY2(shown && hidden, where.constData());
        QVERIFY2(!shown->isHidden() && hidden->isHidden(), where.constData());
        continue;
      }
      case K::Unit:
        if (r.row != unitRow) continue;
        actual = f.statusPanel(7)->text();
        break;
    }
    QVERIFY2(actual == expected,
             (where + ": \"" + actual.toUtf8() + "\" instead of \"" + expected.toUtf8() + "\"").constData());
  }
}

// Every text the switch may touch, to see that a switch to the language shown changes none.
QStringList Snapshot(Form1& f) {
  QStringList out;
  for (const Row& r : kRows) {
    QWidget* window = Window(f, r.form);
    out << window->windowTitle();
    if (QObject* o = FindFormComponent(window, QString::fromLatin1(r.target))) {
      out << TextOf(o);
      if (auto* w = qobject_cast<QWidget*>(o)) out << w->toolTip() << QString::number(w->isHidden());
    }
  }
  for (int i = 0; i < Form1::kStatusPanelCount; ++i) out << f.statusPanel(i)->text();
  for (const auto& cells : f.form2()->table().Grid.cells)
    for (const std::string& c : cells) out << QString::fromStdString(c);
  out << f.openFilter() << QString::number(f.N20->isChecked()) << QString::number(f.English1->isChecked());
  return out;
}

}  // namespace

class LanguagesTest : public QObject, private test::StartedWindowFixture {
  Q_OBJECT

 private slots:
  void init() { StartWindow(); }
  void cleanup() { StopWindow(); }

  void everyTargetHoldsItsTextAfterEachSwitch() {
    Form1& f = *form_;
    for (int unitRow : {70, 71, 72}) {
      for (const Row& r : kRows)
        if (r.row == unitRow) f.setStatusPanelText(7, U(r.russian));
      f.N20Click();
      CheckRows(f, *seams_, true, unitRow);
      f.English1Click();
      CheckRows(f, *seams_, false, unitRow);
      f.N20Click();
      CheckRows(f, *seams_, true, unitRow);
    }
  }

  void unchangedTextsStayAsTheyAre() {
    Form1& f = *form_;
    f.English1Click();
    const struct {
      QObject* o;
      const char* text;
    } fixed[] = {
        {f.Language1, "Language"},
        {f.N20, "Russian"},
        {f.English1, "English"},
        {f.PCAD1, "PCAD"},
        {f.ANSI1, "ANSI"},
        {f.OEM1, "OEM"},
        {f.form2()->BitBtn1, "OK"},
        {f.form3()->BitBtn1, "OK"},
        {f.form4()->RxLabel3, "E-mail: author@example.org"},
        {f.form4()->RxLabel7, "https://example.org/quarto/"},
    };
    for (const auto& [o, text] : fixed) QCOMPARE(TextOf(o), U(text));
    QStringList styles;
    for (int i = 0; i < f.ComboBox2->count(); ++i) styles << f.ComboBox2->itemText(i);
    QCOMPARE(styles, (QStringList{"Solid", "BDiagonal", "FDiagonal", "Cross", "DiagCross", "Horizontal", "Vertical"}));
  }

  void switchingToTheLanguageShownChangesNothing() {
    Form1& f = *form_;
    for (bool russian : {true, false}) {
      russian ? f.N20Click() : f.English1Click();
      f.setStatusPanelText(7, russian ? U("Метрика") : U("Metrics"));
      const QStringList before = Snapshot(f);
      russian ? f.N20Click() : f.English1Click();
      QCOMPARE(Snapshot(f), before);
    }
  }

  void unitPanelFollowsTheSwitchOnlyForUnitTexts() {
    struct Case {
      const char* before;
      bool toRussian;
      const char* after;
    };
    const Case cases[] = {
        {"Псевдодюйм", false, "Mils"},
        {"Метрика", false, "Metrics"},
        {"Дюйм", false, "Inch"},
        {"Mils", true, "Псевдодюйм"},
        {"Metrics", true, "Метрика"},
        {"Inch", true, "Дюйм"},
        {"", false, ""},
        {"", true, ""},
        {"Футы", false, "Футы"},
        {"Mils", false, "Mils"},
        {"Дюйм", true, "Дюйм"},
        {"mils", true, "mils"},
    };
    Form1& f = *form_;
    for (const Case& c : cases) {
      // Start from the other language, so the switch is a real one.
      c.toRussian ? f.English1Click() : f.N20Click();
      f.setStatusPanelText(7, U(c.before));
      c.toRussian ? f.N20Click() : f.English1Click();
      QCOMPARE(f.statusPanel(7)->text(), U(c.after));
    }
  }

  void fiveSwitchesKeepStatesDateVersionAndOnePictureOfEachPair() {
    Form1& f = *form_;
    QTemporaryDir dir;
    seams_->openAnswers << test::WriteMilsPlot(dir.filePath("m.plt"));
    f.N2Click();
    QCOMPARE(f.statusPanel(7)->text(), U("Псевдодюйм"));
    LayerGrid& g = f.form2()->table().Grid;
    QVERIFY(f.form2()->isHidden());
    const std::vector<uint8_t> order(f.form2()->table().LayerOrder.begin(),
                                     f.form2()->table().LayerOrder.begin() + f.form2()->table().LayerOrderCount);
    QCOMPARE(order.size(), size_t(2));
    Form4* about = f.form4();
    for (int i = 1; i <= 5; ++i) {
      const bool russian = i % 2 == 0;
      russian ? f.N20Click() : f.English1Click();
      for (int row = 1; row <= 16; ++row) {
        const bool on = row == 1 || row == 3;
        QCOMPARE(QString::fromStdString(g.At(ColStatus, row)),
                 on ? (russian ? U("   Вкл.") : U("   ON")) : (russian ? U("   Выкл.") : U("   OFF")));
      }
      const QString date = about->RxLabel1->text();
      QVERIFY(date.startsWith(QStringLiteral("03.05.2004")));
      QVERIFY(date.endsWith(russian ? U("\nВерсия 2.5") : U("\nVersion 2.5")));
      QCOMPARE(about->RxGIFAnimator1->isHidden(), !russian);
      QCOMPARE(about->RxGIFAnimator4->isHidden(), russian);
      QCOMPARE(about->RxGIFAnimator2->isHidden(), !russian);
      QCOMPARE(about->RxGIFAnimator5->isHidden(), russian);
      QCOMPARE(f.statusPanel(7)->text(), russian ? U("Псевдодюйм") : U("Mils"));
      // The drawing order is not rebuilt by a switch.
      QCOMPARE(std::vector<uint8_t>(f.form2()->table().LayerOrder.begin(),
                                    f.form2()->table().LayerOrder.begin() + f.form2()->table().LayerOrderCount),
               order);
    }
  }

  void aSwitchPaintsNoPlot() {
    Form1& f = *form_;
    QTemporaryDir dir;
    seams_->openAnswers << test::WriteMilsPlot(dir.filePath("m.plt"));
    f.N2Click();
    test::PaintCounter counter;
    f.drawingArea()->installEventFilter(&counter);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    test::SettlePaints(counter);
    QVERIFY(counter.paints > 0);
    counter.paints = 0;
    f.English1Click();
    f.N20Click();
    f.English1Click();
    QApplication::processEvents();
    QCOMPARE(counter.paints, 0);
  }

  void startUpAppliesTheCheckedLanguage() {
    Form1& f = *form_;
    // The form's own texts last only until start-up applies a language.
    QCOMPARE(f.windowTitle(), U("Просмотр, печать PLT файлов PCAD 4.5, 8.5"));
    QCOMPARE(f.BMP1->text(), U("Сохранить в BMP"));
    QCOMPARE(f.N28->text(), U("право-середина"));
    QCOMPARE(f.ToolButton1->toolTip(), U("Открыть"));
    QVERIFY(f.N20->isChecked() && !f.English1->isChecked());
  }
};

QTEST_MAIN(LanguagesTest)
#include "shell_languages_test.moc"
