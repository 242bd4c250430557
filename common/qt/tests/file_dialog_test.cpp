// The programs' file dialog: every name of a folder is listed, also one that is not UTF-8, and
// the chosen one comes back with its own bytes.
#include <sys/stat.h>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include <fstream>

#include "common_qt/file_dialog.h"
#include "common_qt/file_names.h"
#include "common_qt_test/file_dialog_answer.h"
#include "testsupport/temp_dir.h"

using namespace common_qt;

namespace {

// "café.spr" with é as the single byte 0xE9 (Latin-1; in code page 866 it is "щ").
const std::string kLatinName = "caf\xE9.spr";
const QChar kReplacement = QChar(QChar::ReplacementCharacter);

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

using common_qt::test::Listed;

QListWidgetItem* Item(const FileDialog& d, const QString& shown) {
  const auto found = d.list()->findItems(shown, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.first();
}

}  // namespace

class FileDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void listsEveryNameAndHandsBackItsBytes() {
    testsupport::TempDir dir;
    Touch(dir.File(kLatinName));
    Touch(dir.File("a.SPR"));
    Touch(dir.File("b.txt"));
    Touch(dir.File(".hidden.spr"));
    QVERIFY(::mkfifo(dir.File("pipe.spr").c_str(), 0644) == 0);
    std::filesystem::create_directory(dir / "p\xD0");  // a folder whose name is not UTF-8 either

    FileDialogRequest request;
    request.folder = FileNameToQt(dir.Path());
    request.nameFilters = {QStringLiteral("SPR (*.spr)"), QStringLiteral("All (*)")};
    FileDialog d(nullptr, request);
    const QString shownLatin = QStringLiteral("caf") + kReplacement + QStringLiteral(".spr");
    QCOMPARE(Listed(d), (QStringList{QStringLiteral("p") + kReplacement, QStringLiteral("a.SPR"), shownLatin}));

    d.list()->setCurrentItem(Item(d, shownLatin));
    QCOMPARE(d.nameEdit()->text(), shownLatin);
    d.confirm();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(FileNameFromQt(d.chosen()), dir.File(kLatinName));

    d.filterBox()->setCurrentIndex(1);
    QVERIFY(Listed(d).contains(QStringLiteral("b.txt")));
    QCOMPARE(d.filterIndex(), 1);
  }

  void foldersAreEnteredAndLeft() {
    testsupport::TempDir dir;
    const std::string folder = dir.File("p\xD0");
    std::filesystem::create_directory(folder);
    Touch(folder + "/" + kLatinName);
    FileDialogRequest request;
    request.folder = FileNameToQt(dir.Path());
    request.nameFilters = {QStringLiteral("All (*)")};
    FileDialog d(nullptr, request);
    emit d.list()->itemActivated(Item(d, QStringLiteral("p") + kReplacement));
    QCOMPARE(d.folder(), folder);
    QCOMPARE(d.list()->count(), 1);
    // A double click on a file chooses it.
    emit d.list()->itemActivated(d.list()->item(0));
    QCOMPARE(FileNameFromQt(d.chosen()), folder + "/" + kLatinName);

    FileDialog again(nullptr, request);
    again.nameEdit()->setText(QStringLiteral("p") + kReplacement);
    again.enterFolder(folder + "/..");
    QCOMPARE(again.folder(), dir.Path());
  }

  void aSaveKeepsTheProposedNameAndTakesATypedOne() {
    testsupport::TempDir dir;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.folder = FileNameToQt(dir.Path());
    request.proposedName = FileNameToQt("caf\xE9");
    request.nameFilters = {QStringLiteral("BMP (*.bmp)")};
    {
      FileDialog d(nullptr, request);
      QCOMPARE(d.nameEdit()->text(), QStringLiteral("caf") + kReplacement);
      d.confirm();
      QCOMPARE(FileNameFromQt(d.chosen()), dir.File("caf\xE9"));
    }
    {
      FileDialog d(nullptr, request);
      d.nameEdit()->setText(QStringLiteral("новый"));
      d.confirm();
      QCOMPARE(FileNameFromQt(d.chosen()), dir.File("новый"));
    }
  }
};

QTEST_MAIN(FileDialogTest)
#include "file_dialog_test.moc"
