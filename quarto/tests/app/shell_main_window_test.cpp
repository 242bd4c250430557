// The main window: start-up without and with a command-line file, the open command through its
// three sources and its failures, quitting, and showing the layer table.
#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "app/form1.h"
#include "app/form2.h"
#include "app/startup.h"
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
