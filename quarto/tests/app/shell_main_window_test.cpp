// The main window: its components, start-up without and with a command-line file, the open
// command through its three sources and its failures.
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "app/form1.h"
#include "app/form2.h"
#include "app/startup.h"
#include "app/system_fonts.h"
#include "app/tool_icons.h"
#include "app/ui_seams.h"
#include "common_qt/file_names.h"
#include "common_qt_test/file_dialog_answer.h"
#include "shell_fake_seams.h"
#include "testsupport/plt_writer.h"
#include "testsupport/temp_dir.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// A small PLT 8.5 plot with one named layer and one line.
QString WriteSample(const QString& path) {
  test::PltWriter w(PltFormat::Plt85);
  w.Header({});
  w.LayerName("TOP", 1);
  w.Layer(1);
  w.Line(0, 1, 10, 10, 500, 500);
  w.Save(path.toStdString());
  return path;
}

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
  f.write(bytes);
  return path;
}

// The recent items at the end of the File menu, after the last separator, in menu order.
QStringList RecentCaptions(Form1& form) {
  QStringList out;
  const QList<QAction*> actions = form.fileMenu()->actions();
  qsizetype sep = actions.indexOf(form.N18);
  for (qsizetype i = sep + 1; i < actions.size(); ++i) out << actions[i]->text();
  return out;
}

bool AnyWindowVisible() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return true;
  return false;
}

}  // namespace

class MainWindowTest : public QObject {
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

  void startedWithoutArgumentsShowsAnEmptyWindowNoSmallerThanTheMinimum() {
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    QVERIFY(form);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->view().PlotLoaded());
    QVERIFY(form->N20->isChecked());
    for (int i : {1, 3, 5, 7, 8}) QVERIFY(form->statusPanel(i)->text().isEmpty());
    QVERIFY(RecentCaptions(*form).isEmpty());
    QCOMPARE(form->drawingArea()->cursor().shape(), Qt::CrossCursor);
    QVERIFY(!form->form2()->isVisible());
    QVERIFY(form->form2()->CheckBox1->isChecked());
    QCOMPARE(form->form2()->table().LayerColors, DefaultLayerColors);

    // Becoming the active window arms the swallowing of the next pan click.
    QVERIFY(!form->view().IgnoreNextClick);
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QVERIFY(form->view().IgnoreNextClick);
    form->resize(100, 100);
    QApplication::processEvents();
    QVERIFY2(form->frameGeometry().width() >= Form1::kMinOuterWidth,
             qPrintable(QString::number(form->frameGeometry().width())));
    QVERIFY(form->frameGeometry().height() >= Form1::kMinOuterHeight);
    QVERIFY(seams_->messages.isEmpty() && seams_->errors.isEmpty());
  }

  void commandLineFileIsOpenedBeforeAnyWindowShows() {
    QTemporaryDir dir;
    QString path = WriteSample(dir.filePath("sample&1.plt"));
    std::unique_ptr<Form1> form = StartUp({path, "@-50:-30_50:30"}, seams_.get());
    QVERIFY(form);
    QVERIFY(!AnyWindowVisible());
    QCOMPARE(form->statusPanel(1)->text(), QStringLiteral("sample&1.plt"));
    QCOMPARE(form->statusPanel(3)->text(), QStringLiteral("PLT 8"));
    QCOMPARE(RecentCaptions(*form), QStringList{"1. " + QString(path).replace("&", "&&")});
    QCOMPARE(form->recentItem(1)->data().toString(), path);
    QVERIFY(form->view().Plot85Loaded);
    QVERIFY(form->view().FitPending);
    QVERIFY(form->view().ViewWindowSet);
    QCOMPARE(form->view().ViewWindow, (ViewWindowBox{-50, 50, -30, 30}));
    QVERIFY(form->N27->isChecked());
    QVERIFY(!form->view().OpenFromCommandLine);
    QCOMPARE(form->form2()->table().LayerOrderCount, 1);
    QVERIFY(seams_->messages.isEmpty() && seams_->errors.isEmpty() && seams_->applicationErrors.isEmpty());
  }

  void unreadableCommandLineFileEndsStartUp() {
    QTemporaryDir dir;
    struct Case {
      QString path;
      const char* text;
    };
    const Case cases[] = {
        {dir.filePath("missing.plt"), "File not found"},
        {WriteBytes(dir.filePath("three.plt"), QByteArray("\x4E\x80\x00", 3)), "Read beyond end of file"}};
    for (const Case& c : cases) {
      seams_->applicationErrors.clear();
      std::unique_ptr<Form1> form = StartUp({c.path}, seams_.get());
      QVERIFY(!form);
      QCOMPARE(seams_->applicationErrors, QStringList{QString::fromLatin1(c.text)});
      QVERIFY(!AnyWindowVisible());
    }
    QCOMPARE(RunQuarto({dir.filePath("missing.plt")}, seams_.get()), 1);
  }

  void unknownFormatMessageFollowsTheLanguageItem() {
    QTemporaryDir dir;
    QString path = WriteBytes(dir.filePath("text.plt"), "hello");
    std::unique_ptr<Form1> form = StartUp({path}, seams_.get());
    QVERIFY(form);
    QCOMPARE(seams_->messages, QStringList{U("Формат не поддерживается")});
    QCOMPARE(form->statusPanel(1)->text(), QStringLiteral("text.plt"));
    QCOMPARE(form->recentItem(1)->data().toString(), path);
    QVERIFY(!form->view().PlotLoaded());

    struct Case {
      bool russian, english;
      const char* text;
    };
    const Case cases[] = {
        {false, true, "Unknown format"}, {false, false, "Unknown format"}, {true, false, "Формат не поддерживается"}};
    for (const Case& c : cases) {
      form->N20->setChecked(c.russian);
      form->English1->setChecked(c.english);
      seams_->messages.clear();
      seams_->openAnswers = {path};
      form->N2Click();
      QCOMPARE(seams_->messages, QStringList{U(c.text)});
    }
  }

  void recentItemOpensItsStoredPath() {
    QTemporaryDir dir;
    QString a = WriteSample(dir.filePath("R&D a.plt"));
    QString b = WriteSample(dir.filePath("b.plt"));
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    seams_->openAnswers = {a, b};
    form->N2Click();
    form->N2Click();
    QCOMPARE(seams_->openDialogs, 2);
    QCOMPARE(RecentCaptions(*form), (QStringList{"1. " + b, "2. " + QString(a).replace("&", "&&")}));

    form->recentItem(2)->trigger();
    QCOMPARE(seams_->openDialogs, 2);
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(form->view().PlotFileName, a.toStdString());
    QCOMPARE(form->recentItem(1)->data().toString(), a);
    QCOMPARE(form->recentItem(2)->data().toString(), b);
    QVERIFY(form->view().Plot85Loaded);

    // A cancelled dialog changes nothing.
    form->N2Click();
    QCOMPARE(form->view().PlotFileName, a.toStdString());
    QCOMPARE(RecentCaptions(*form).size(), 2);
  }

  void openErrorIsReportedOnceAndLeavesAnEmptyView() {
    QTemporaryDir dir;
    QString good = WriteSample(dir.filePath("good.plt"));
    QString missing = dir.filePath("gone.plt");
    std::unique_ptr<Form1> form = StartUp({good}, seams_.get());
    QVERIFY(form->view().Plot85Loaded);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    seams_->openAnswers = {missing};
    form->N2Click();
    form->drawingArea()->repaint();
    QApplication::processEvents();
    QCOMPARE(seams_->errors, QStringList{"File not found"});
    QVERIFY(!form->view().PlotLoaded());
    QCOMPARE(form->statusPanel(1)->text(), QStringLiteral("gone.plt"));
    QCOMPARE(form->recentItem(1)->data().toString(), missing);
    QCOMPARE(form->recentItem(2)->data().toString(), good);
  }

  void truncatedPlotIsReportedOnceAndStaysOpen() {
    QTemporaryDir dir;
    test::PltWriter w(PltFormat::Plt45);
    w.Header({});
    w.LayerName("A", 2);
    w.Layer(2);
    w.Line(0, 1, 0, 0, 100, 100);
    w.Truncate(w.size() - 3);
    QString path = dir.filePath("cut.plt");
    w.Save(path.toStdString());
    // From the dialog, and from the command line, where it does not end the program.
    for (const bool commandLine : {false, true}) {
      seams_->errors.clear();
      std::unique_ptr<Form1> form = StartUp(commandLine ? QStringList{path} : QStringList{}, seams_.get());
      QVERIFY(form);
      if (!commandLine) {
        seams_->openAnswers = {path};
        form->N2Click();
      }
      QCOMPARE(seams_->errors, QStringList{"Read beyond end of file"});
      QVERIFY(seams_->applicationErrors.isEmpty());
      QVERIFY(form->view().Plot45Loaded);
      QVERIFY(form->view().FitPending);
      QCOMPARE(form->statusPanel(3)->text(), QStringLiteral("PLT 4"));
      QCOMPARE(form->form2()->table().LayerOrderCount, 1);
    }
  }

  // A pipe named as the plot is refused at once like a folder, from the command line and from the
  // dialog; the window never waits for a writer.
  void aPipeIsRefusedWithoutBlocking() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.plt");
    QVERIFY(::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0);
    QVERIFY(!StartUp({fifo}, seams_.get()));
    QCOMPARE(seams_->applicationErrors, QStringList{"File access denied"});
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    seams_->openAnswers = {fifo};
    form->N2Click();
    QCOMPARE(seams_->errors, QStringList{"File access denied"});
    QVERIFY(!form->view().PlotLoaded());
  }

  // A relative argument is stored as the full path (the recent list and PlotFileName).
  void aRelativeArgumentShowsAsAFullPath() {
    QTemporaryDir dir;
    WriteSample(dir.filePath("rel.plt"));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    std::unique_ptr<Form1> form = StartUp({"rel.plt"}, seams_.get());
    QDir::setCurrent(before);
    QVERIFY(form);
    const QString full = QDir(dir.path()).canonicalPath() + "/rel.plt";
    QCOMPARE(QString::fromStdString(form->view().PlotFileName), full);
    QCOMPARE(form->recentItem(1)->data().toString(), full);
    QCOMPARE(form->statusPanel(1)->text(), QStringLiteral("rel.plt"));
    QVERIFY(seams_->applicationErrors.isEmpty() && seams_->errors.isEmpty());
  }

  // A name in another code page (byte 0xE9 is no UTF-8) opens from the command line and, after
  // another file, again from the recent list; the path's bytes stay exactly as they were.
  void aNameThatIsNoUtf8OpensFromTheCommandLineAndTheRecentList() {
    // QTemporaryDir cannot remove a name that is no UTF-8: the folder would stay behind.
    const testsupport::TempDir dir;
    const QString folder = QDir(QString::fromStdString(dir.Path())).canonicalPath();
    const std::string odd = folder.toStdString() + "/plan\xE9.plt";
    {
      test::PltWriter w(PltFormat::Plt85);
      w.Header({});
      w.Layer(1);
      w.Line(0, 1, 10, 10, 500, 500);
      w.Save(odd);
    }
    const QString other = WriteSample(folder + "/other.plt");
    std::unique_ptr<Form1> form = StartUp({common_qt::FileNameToQt(odd)}, seams_.get());
    QVERIFY(form);
    QVERIFY(seams_->applicationErrors.isEmpty());
    QCOMPARE(form->view().PlotFileName, odd);
    QVERIFY(form->view().Plot85Loaded);
    seams_->openAnswers = {other};
    form->N2Click();
    QCOMPARE(form->view().PlotFileName, other.toStdString());
    form->recentItem(2)->trigger();
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(form->view().PlotFileName, odd);
    QVERIFY(form->view().Plot85Loaded);
    QCOMPARE(form->scan().Index.RecordCount(KindLine, 1), size_t{1});
  }

  // The real open dialog (common_qt/file_dialog.h) lists such a name and the plot chosen opens.
  void theOpenDialogListsAndOpensANameThatIsNoUtf8() {
    testsupport::TempDir dir;
    const std::string folder = QDir(QString::fromStdString(dir.Path())).canonicalPath().toStdString();
    const std::string odd = folder + "/plan\xE9.plt";
    {
      test::PltWriter w(PltFormat::Plt85);
      w.Header({});
      w.Layer(1);
      w.Line(0, 1, 10, 10, 500, 500);
      w.Save(odd);
    }
    const common_qt::test::FileDialogAnswer answer(QStringLiteral("plan") + QChar(QChar::ReplacementCharacter) + ".plt",
                                                   folder);
    DefaultUiSeams real;
    const std::optional<QString> chosen = real.OpenFileName(nullptr, QStringLiteral("PLT|*.plt"));
    QCOMPARE(answer.listed(), QStringList{QStringLiteral("plan") + QChar(QChar::ReplacementCharacter) + ".plt"});
    QVERIFY(chosen);
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    seams_->openAnswers = {*chosen};
    form->N2Click();
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(form->view().PlotFileName, odd);
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

  void quitEndsTheProgramWithTheLayerTableOpen() {
    QTimer::singleShot(0, [] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<Form1*>(w);
        if (!form) continue;
        form->ToolButton16->click();
        form->N7->trigger();
      }
    });
    QCOMPARE(RunQuarto({}, seams_.get()), 0);
    QVERIFY(!AnyWindowVisible());
  }

  void layerTableButtonShowsTheHiddenWindow() {
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    QPointer<Form2> form2 = form->form2();
    form->ToolButton16->click();
    QVERIFY(form2->isVisible());
    form2->close();
    QVERIFY(form2 && !form2->isVisible());
    form->ToolButton16->click();
    QVERIFY(form2->isVisible());
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
};

QTEST_MAIN(MainWindowTest)
#include "shell_main_window_test.moc"
