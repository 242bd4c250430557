// Texts written later, in the language shown at that moment: the scan's layer statuses and unit,
// the unknown-format message and the open dialog's filter, the pseudo-inch command's unit, the
// messages of printing and of the bitmap export, and Qt's own dialogs and buttons.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "app/form1.h"
#include "app/form2.h"
#include "app/render_targets.h"
#include "app/startup.h"
#include "app/ui_seams.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

}  // namespace

class TextsOfTheMomentTest : public QObject, private test::StartedWindowFixture {
  Q_OBJECT

 private slots:
  void init() { StartWindow(); }
  void cleanup() { StopWindow(); }

  void textsWrittenLaterFollowTheLanguageOfTheMoment() {
    Form1& f = *form_;
    QTemporaryDir dir;
    const QString plot = test::WriteMilsPlot(dir.filePath("m.plt"));
    QFile unknown(dir.filePath("u.plt"));
    QVERIFY(unknown.open(QIODevice::WriteOnly));
    unknown.write("NOPE");
    unknown.close();

    f.English1Click();
    seams_->openAnswers << plot << unknown.fileName();
    f.N2Click();
    QCOMPARE(QString::fromStdString(f.form2()->table().Grid.At(ColStatus, 1)), U("   ON"));
    QCOMPARE(QString::fromStdString(f.form2()->table().Grid.At(ColStatus, 2)), U("   OFF"));
    QCOMPARE(f.statusPanel(7)->text(), U("Mils"));
    f.N2Click();
    QCOMPARE(seams_->messages, QStringList{U("Unknown format")});

    f.N20Click();
    seams_->openAnswers << plot << unknown.fileName();
    f.N2Click();
    QCOMPARE(QString::fromStdString(f.form2()->table().Grid.At(ColStatus, 3)), U("   Вкл."));
    QCOMPARE(QString::fromStdString(f.form2()->table().Grid.At(ColStatus, 4)), U("   Выкл."));
    QCOMPARE(f.statusPanel(7)->text(), U("Псевдодюйм"));
    f.N2Click();
    QCOMPARE(seams_->messages.last(), U("Формат не поддерживается"));
    // A run-time message: printing where the system has no printer (the seams give none).
    seams_->openAnswers << plot;
    f.N2Click();
    for (bool russian : {false, true}) {
      russian ? f.N20Click() : f.English1Click();
      seams_->errors.clear();
      QVERIFY(!PrintPlot(f, f.session().printer()));
      QCOMPARE(seams_->errors, QStringList{russian ? U("Принтер не установлен") : U("No printer is installed")});
    }
    // Each open dialog got the filter of the language then shown.
    QCOMPARE(seams_->openFilters.first(), U("PLT files PCAD 4.5, 8.5|*.plt|KIR files PIPE|*.kir"));
    QCOMPARE(seams_->openFilters.last(), U("PLT файлы PCAD 4.5, 8.5|*.plt|KIR файлы PIPE|*.kir"));
  }

  // The pseudo-inch command writes the unit of the language shown at that moment; a later switch
  // turns it into the other language's name.
  void thePseudoInchCommandWritesTheUnitOfTheMoment() {
    Form1& f = *form_;
    QTemporaryDir dir;
    seams_->openAnswers << test::WriteMilsPlot(dir.filePath("m.plt"));
    f.N2Click();
    QVERIFY(f.N21->isEnabled() && f.N21->isChecked());
    struct Step {
      enum { Russian, English, Command } action;
      const char* panel;
    };
    const Step steps[] = {
        {Step::English, "Mils"},       {Step::Command, "Inch"},       {Step::Russian, "Дюйм"},
        {Step::Command, "Псевдодюйм"}, {Step::English, "Mils"},       {Step::Command, "Inch"},
        {Step::Command, "Mils"},       {Step::Russian, "Псевдодюйм"}, {Step::Command, "Дюйм"},
    };
    for (const Step& s : steps) {
      if (s.action == Step::Command)
        f.N21->trigger();
      else
        (s.action == Step::Russian ? f.N20 : f.English1)->trigger();
      QCOMPARE(f.statusPanel(7)->text(), U(s.panel));
    }
  }

  // The bitmap export's messages are in the language shown when it runs.
  void bitmapExportMessagesFollowTheLanguageOfTheMoment() {
    Form1& f = *form_;
    QTemporaryDir dir;
    const QString own = test::WriteSamplePlot(dir.filePath("plot.bmp"));
    const QString locked = test::WriteSamplePlot(dir.filePath("locked.plt"));
    QVERIFY(QDir(dir.path()).mkdir("locked.bmp"));
    const QString big = test::WriteSamplePlot(dir.filePath("big.plt"), {.x2 = 2'000'000'000});
    for (bool russian : {true, false, true}) {
      struct Case {
        QString plot;
        double zoom;
        QString message;
      };
      const Case cases[] = {
          {own, 1.0,
           russian ? U("Рисунок не сохранён: его имя совпало бы с именем файла чертежа")
                   : U("The picture was not saved: its name would be that of the plot file")},
          {locked, 1.0,
           (russian ? U("Не удалось записать файл ") : U("Cannot write the file ")) + dir.filePath("locked.bmp") +
               '\n' + QString::fromLocal8Bit(std::strerror(EISDIR))},
          {big, 100.0,
           russian ? U("Рисунок слишком велик для сохранения в BMP") : U("The picture is too large to save as BMP")},
      };
      for (const Case& c : cases) {
        seams_->openAnswers << c.plot;
        f.N2Click();
        (russian ? f.N20 : f.English1)->trigger();
        f.view().FitPending = false;
        f.view().Zoom = c.zoom;
        seams_->errors.clear();
        QVERIFY(!SaveBitmap(f, QSize(10, 10)));
        QCOMPARE(seams_->errors, QStringList{c.message});
      }
    }
    QVERIFY(!QFile::exists(dir.filePath("big.bmp")));
  }

  // Qt's standard dialogs and buttons follow the interface language at once: the real open
  // dialog's buttons read in Russian after N20Click and in English after English1Click.
  void standardDialogsFollowTheInterfaceLanguage() {
    Form1& f = *form_;
    struct Case {
      void (Form1::*command)();
      const char* cancel;
      const char* fileName;
    };
    const Case cases[] = {
        {&Form1::N20Click, "Отмена", "&Имя файла:"},
        {&Form1::English1Click, "Cancel", "File &name:"},
        {&Form1::N20Click, "Отмена", "&Имя файла:"},
    };
    for (const Case& c : cases) {
      (f.*c.command)();
      QDialogButtonBox box(QDialogButtonBox::Cancel);
      QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), U(c.cancel));
      QStringList buttons, labels;
      QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) buttons << b->text();
        for (QLabel* l : dialog->findChildren<QLabel*>()) labels << l->text();
        dialog->close();
      });
      DefaultUiSeams real;
      QVERIFY(!real.OpenFileName(&f, f.openFilter()));
      QVERIFY2(buttons.contains(U(c.cancel)), qPrintable(buttons.join('|')));
      QVERIFY2(labels.contains(U(c.fileName)), qPrintable(labels.join('|')));
    }
  }
};

QTEST_MAIN(TextsOfTheMomentTest)
#include "shell_texts_of_the_moment_test.moc"
