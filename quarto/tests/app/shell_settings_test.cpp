// The settings file of the main window: read at creation into the controls and the view state,
// written at closing, never replaced when it cannot be read, and never half-written.
#include <sys/stat.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/form1.h"
#include "app/form2.h"
#include "app/startup.h"
#include "common_qt/file_names.h"
#include "core/ini_file.h"
#include "shell_fake_seams.h"

using namespace quarto;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(path));
  f.write(bytes);
}

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

mode_t ModeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { seams_ = std::make_unique<test::FakeSeams>(); }
  void cleanup() { seams_.reset(); }

  // Without a file: the defaults.
  void noFileGivesTheDefaults() {
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    QVERIFY(form);
    QVERIFY(form->N20->isChecked() && !form->English1->isChecked());
    QVERIFY(form->PCAD1->isChecked() && !form->ANSI1->isEnabled());
    QVERIFY(form->N9->isChecked() && !form->N11->isChecked() && form->N21->isChecked());
    QCOMPARE(form->ComboBox2->currentIndex(), 0);
    QCOMPARE(form->RxSpinEdit1->value(), 0);
    QCOMPARE(form->view().PageMargins.left, 0.0);
    QCOMPARE(form->form2()->table().UserLayerColors, DefaultLayerColors);
    QVERIFY(!QFile::exists(seams_->settingsFile()));  // made by the first closing only
  }

  // A crafted file gives its states.
  void aFileGivesItsStates() {
    WriteAll(seams_->settingsFile(),
             "[Form]\nState=normal\n"
             "[File]\nFirstFile=/plots/\xE9.plt\nThirdFile=/plots/c.plt\n"
             "[Page]\nLeft=150\nUp=50\n"
             "[View]\nMirrorX=1\nMirrorY=1\nColor=0\nNegative=1\nMils=0\n"
             "[Font]\nType=0\nANSI=1\nOEM=1\nindexFont=999\n"
             "[Language]\nRussian=0\nEnglish=0\n"
             "[Other]\nFill=4\nWidthPen0=7\n"
             "[TableColor]\nDefaultColor=0\nColor3=255\n");
    std::unique_ptr<Form1> form = StartUp({}, seams_.get());
    QVERIFY(form);
    QCOMPARE(form->view().RecentFiles[0], std::string("/plots/\xE9.plt"));
    QCOMPARE(form->recentItem(1)->data().toByteArray(), QByteArray("/plots/\xE9.plt"));
    QCOMPARE(form->view().RecentFiles[2], std::string("/plots/c.plt"));
    QCOMPARE(form->view().PageMargins.left, 1.5);
    QCOMPARE(form->view().PageMargins.top, 0.5);
    QVERIFY(form->X2->isChecked() && form->ToolButton8->isChecked());
    QCOMPARE(form->view().SignY, +1);
    QVERIFY(form->Y1->isChecked() && form->ToolButton9->isChecked());
    QCOMPARE(form->view().SignX, -1);
    QVERIFY(!form->N9->isChecked() && form->N11->isChecked() && !form->N21->isChecked());
    QVERIFY(!form->PCAD1->isChecked() && form->ANSI1->isEnabled() && form->ComboBox1->isEnabled());
    QVERIFY(!form->ANSI1->isChecked() && form->OEM1->isChecked());  // the second true value wins
    QCOMPARE(form->ComboBox1->currentIndex(), -1);                  // past the list: nothing
    // Neither language read: start-up applies English.
    QVERIFY(form->English1->isChecked() && !form->N20->isChecked());
    QCOMPARE(form->ComboBox2->currentIndex(), 4);
    QCOMPARE(form->RxSpinEdit1->value(), 7);
    QVERIFY(!form->form2()->CheckBox1->isChecked());
    QCOMPARE(form->form2()->table().UserLayerColors[2], 255u);
    QVERIFY(seams_->errors.isEmpty());
  }

  // The window is shown in the state read: minimised, maximised, or normal (also for a state
  // that is none of the three).
  void theWindowIsShownInTheStateRead() {
    const struct {
      const char* state;
      Qt::WindowState shown;
    } cases[] = {{"Minimized", Qt::WindowMinimized},
                 {"Maximized", Qt::WindowMaximized},
                 {"Normal", Qt::WindowNoState},
                 {"Sideways", Qt::WindowNoState}};
    for (const auto& c : cases) {
      WriteAll(seams_->settingsFile(), QByteArray("[Form]\nState=") + c.state + "\n");
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      QVERIFY(form);
      form->ShowAsSettingsSay();
      QTRY_VERIFY2(form->isVisible(), c.state);
      const Qt::WindowStates state = form->windowState();
      if (c.shown == Qt::WindowNoState)
        QVERIFY2(!(state & (Qt::WindowMinimized | Qt::WindowMaximized)), c.state);
      else
        QVERIFY2(state & c.shown, c.state);
      if (c.shown == Qt::WindowMaximized) continue;
      // Shown normal, or restored, it has the design size outside its frame.
      form->showNormal();
      QTRY_COMPARE(form->frameGeometry().size(), QSize(Form1::kMinOuterWidth, Form1::kMinOuterHeight));
    }
  }

  // Closing writes every key; what was read comes back the same, a path that is no UTF-8 too.
  void closingWritesEveryKeyAndARestartReadsThemBack() {
    WriteAll(seams_->settingsFile(), "; kept\n[Page]\nLeft=150\n[File]\nFirstFile=/plots/\xE9.plt\n");
    {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->N11->trigger();
      form->close();
    }
    const QByteArray text = ReadAll(seams_->settingsFile());
    QVERIFY(text.startsWith("; kept\n[Page]\nLeft=150\n"));
    const IniFile ini(text.toStdString());
    const char* keys[][2] = {{"Form", "State"},
                             {"Form", "Width"},
                             {"Form", "Height"},
                             {"File", "NinthFile"},
                             {"Page", "Down"},
                             {"View", "MirrorX"},
                             {"View", "Mils"},
                             {"Font", "indexFont"},
                             {"Language", "English"},
                             {"Other", "WidthPen0"},
                             {"TableColor", "DefaultColor"},
                             {"TableColor", "Color16"}};
    for (const auto& [section, key] : keys) QVERIFY2(ini.Get(section, key).has_value(), key);
    QCOMPARE(ini.GetString("Form", "State", ""), std::string("Normal"));
    QCOMPARE(ini.GetInt("View", "Negative", -1), 1);
    QCOMPARE(ini.GetString("File", "FirstFile", ""), std::string("/plots/\xE9.plt"));
    QCOMPARE(ini.GetInt("TableColor", "Color1", -1), 0x008000);
    std::unique_ptr<Form1> again = StartUp({}, seams_.get());
    QVERIFY(again->N11->isChecked());
    QCOMPARE(again->view().PageMargins.left, 1.5);
    QCOMPARE(again->view().RecentFiles[0], std::string("/plots/\xE9.plt"));
  }

  // A file that cannot be read is never replaced; a file that cannot be written is reported once;
  // the window closes all the same.
  void filesThatCannotBeReadOrWrittenAreLeftAlone() {
    // A folder where the file should be: unreadable, so never replaced.
    QVERIFY(QDir().mkpath(seams_->settingsFile()));
    {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->show();
      form->close();
      QVERIFY(!form->isVisible());
    }
    QCOMPARE(seams_->errors, QStringList{"Unable to write to " + seams_->settingsFile() + '\n' + Reason(EISDIR)});
    QVERIFY(QFileInfo(seams_->settingsFile()).isDir());

    // A file where the settings folder should be: nothing can be written.
    seams_.reset();  // its folder goes back before the next one is made
    seams_ = std::make_unique<test::FakeSeams>();
    WriteAll(seams_->config.filePath("desktools"), "not a folder");
    {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->close();
    }
    QCOMPARE(seams_->errors, QStringList{"Unable to write to " + seams_->settingsFile() + '\n' + Reason(ENOTDIR)});
    QCOMPARE(ReadAll(seams_->config.filePath("desktools")), QByteArray("not a folder"));
    QCOMPARE(QDir(seams_->config.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
  }

  // The settings are saved as every save of the tools is (common/replace_file.h): the file keeps
  // the mode the user gave it, and one the user protected is refused with the write error.
  void theFileKeepsItsModeAndAProtectedOneIsLeftWhole() {
    WriteAll(seams_->settingsFile(), "[View]\nColor=0\n");
    QVERIFY(::chmod(QFile::encodeName(seams_->settingsFile()).constData(), 0600) == 0);
    StartUp({}, seams_.get())->close();
    QVERIFY(seams_->errors.isEmpty());
    QCOMPARE(ModeOf(seams_->settingsFile()), mode_t{0600});
    QVERIFY(ReadAll(seams_->settingsFile()).contains("[Form]"));

    WriteAll(seams_->settingsFile(), "[View]\nColor=0\n");
    QVERIFY(::chmod(QFile::encodeName(seams_->settingsFile()).constData(), 0444) == 0);
    StartUp({}, seams_.get())->close();
    QCOMPARE(seams_->errors, QStringList{"Unable to write to " + seams_->settingsFile() + '\n' + Reason(EACCES)});
    QCOMPARE(ReadAll(seams_->settingsFile()), QByteArray("[View]\nColor=0\n"));
  }

  // A start that fails on its command-line file leaves the settings file untouched.
  void aFailedStartLeavesTheFileAlone() {
    WriteAll(seams_->settingsFile(), "[View]\nColor=0\n");
    QVERIFY(!StartUp({seams_->config.filePath("missing.plt")}, seams_.get()));
    QCOMPARE(ReadAll(seams_->settingsFile()), QByteArray("[View]\nColor=0\n"));
  }

  // Without a settings file the window opens at its design size, 787 x 520 outside its frame;
  // Width and Height are that outer size, read and written alike, so three starts and closes
  // leave the same values and the same window.
  void startsAndClosesKeepTheDesignSize() {
    QVERIFY(!QFile::exists(seams_->settingsFile()));
    for (int start = 0; start < 3; ++start) {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->ShowAsSettingsSay();
      QVERIFY(QTest::qWaitForWindowExposed(form.get()));
      QApplication::processEvents();
      QCOMPARE(form->frameGeometry().size(), QSize(Form1::kMinOuterWidth, Form1::kMinOuterHeight));
      QVERIFY(form->frameGeometry().size() != form->geometry().size());  // the frame is counted
      form->close();
      const IniFile ini(ReadAll(seams_->settingsFile()).toStdString());
      QCOMPARE(ini.GetInt("Form", "Width", 0), Form1::kMinOuterWidth);
      QCOMPARE(ini.GetInt("Form", "Height", 0), Form1::kMinOuterHeight);
    }
  }

  // The outer size of a normal window survives two restarts; a maximised one is written as such.
  void theOuterSizeSurvivesRestarts() {
    const QSize wanted(795, 560);  // within the 800 x 800 offscreen screen, above the minimum
    {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->ShowAsSettingsSay();
      QVERIFY(QTest::qWaitForWindowExposed(form.get()));
      form->resize(wanted - (form->frameGeometry().size() - form->geometry().size()));
      QApplication::processEvents();
      QCOMPARE(form->frameGeometry().size(), wanted);
      form->close();
    }
    for (int restart = 0; restart < 2; ++restart) {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->ShowAsSettingsSay();
      QVERIFY(QTest::qWaitForWindowExposed(form.get()));
      QApplication::processEvents();
      QCOMPARE(form->frameGeometry().size(), wanted);
      form->close();
    }
    {
      std::unique_ptr<Form1> form = StartUp({}, seams_.get());
      form->showMaximized();
      QTRY_VERIFY(form->isMaximized());
      form->close();
    }
    const IniFile ini(ReadAll(seams_->settingsFile()).toStdString());
    QCOMPARE(ini.GetString("Form", "State", ""), std::string("Maximized"));
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
};

QTEST_MAIN(SettingsTest)
#include "shell_settings_test.moc"
