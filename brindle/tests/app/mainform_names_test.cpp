// File names as the main window passes them between Qt and the core: names that are not
// UTF-8, "[*]" in a name, saving through a symbolic link.
#include <QWindow>
#include <QtTest>

#include "app/dialogs.h"
#include "app/mainform.h"
#include "common_qt/file_names.h"
#include "common_qt_test/file_dialog_answer.h"
#include "support/form_fixture.h"
#include "support/spr_folder.h"

using namespace brindle;
using common_qt::FileNameToQt;
namespace fs = std::filesystem;

namespace {
// "café.spr" with é as the single byte 0xE9 (Latin-1; in code page 866 it is "щ").
const std::string LatinName = "caf\xE9.spr";
const QString ShownLatinName = QStringLiteral("caf") + QChar(QChar::ReplacementCharacter) + QStringLiteral(".spr");
}  // namespace

class MainFormNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void nameThatIsNotUtf8OpensFromTheCommandLine() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 1);
    test::WriteBandedSpr(f.dir / LatinName, 7);
    // As the system passes the argument.
    f.form.OpenFromCommandLine(f.dir / LatinName);
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QCOMPARE(f.form.session().pic.pixel(0, 0), 7);
    QCOMPARE(f.form.session().PicFileName, LatinName);
    QCOMPARE(f.form.windowTitle(), ShownLatinName + QStringLiteral("   2/2"));
    // Stepping away and back onto it.
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.session().pic.pixel(0, 0), 1);
    QTest::keyClick(&f.form, Qt::Key_Left);
    QCOMPARE(f.form.session().pic.pixel(0, 0), 7);
  }

  // The dialogs hand names over in the FileNameToQt form (common_qt/file_names.h), which
  // keeps every byte: the folder and the proposed name go out so, the chosen name comes back so.
  void nameThatIsNotUtf8GoesThroughTheDialogsWithItsBytes() {
    FormFixture f;
    // The folder's name is not UTF-8 either (0xE9 again, and KOI8 "п" 0xD0).
    const fs::path folder = f.dir / "p\xD0\xE9";
    fs::create_directory(folder);
    test::WriteBandedSpr(folder / LatinName, 7);
    test::WriteBandedSpr(folder / "b.spr", 2);

    f.dialogs.answers.push_back({FileNameToQt((folder / LatinName).string()), 1});
    f.form.OpenClick();
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QCOMPARE(f.form.session().pic.pixel(0, 0), 7);
    QCOMPARE(f.form.session().PicFolder, folder);

    f.dialogs.answers.push_back({FileNameToQt((folder / "caf\xE9").string()), 2});
    f.form.SaveClick();
    QCOMPARE(f.dialogs.saveCalls[0].folder, FileNameToQt(folder.string()));
    QCOMPARE(f.dialogs.saveCalls[0].proposedName, FileNameToQt("caf\xE9"));
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QCOMPARE(f.form.session().PicFileName, (folder / LatinName).string());
    QVERIFY(fs::exists(folder / LatinName));
    QCOMPARE(std::distance(fs::directory_iterator(folder), {}), 2);

    // Two names that are shown alike are still two names.
    test::WriteBandedSpr(folder / "caf\xF1.spr", 9);
    f.form.OpenFromCommandLine(FileNameToQt((folder / "caf\xF1.spr").string()));
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QCOMPARE(f.form.session().pic.pixel(0, 0), 9);
  }

  // The real open dialog lists such a name and opens the one chosen.
  void theOpenDialogListsAndOpensANameThatIsNotUtf8() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / LatinName, 7);
    QtDialogs dialogs;
    const common_qt::test::FileDialogAnswer answer(ShownLatinName);
    int index = 1;
    const QString chosen =
        dialogs.openFile(nullptr, FileNameToQt(f.dir.Path()), QString::fromStdString(OpenFilter()), index);
    QCOMPARE(answer.listed(), QStringList{ShownLatinName});
    f.form.OpenFromCommandLine(chosen);
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QCOMPARE(f.form.session().PicFileName, LatinName);
    QCOMPARE(f.form.session().pic.pixel(0, 0), 7);
  }

  void markerInANameStaysInTheCaption() {
    FormFixture f;
    const std::string name = "x[*]y[*][*]z.spr";
    test::WriteBandedSpr(f.dir / name, 3);
    f.form.winId();
    f.open(name);
    QCOMPARE(f.form.windowHandle()->title(), QStringLiteral("x[*]y[*][*]z.spr   1/1"));
    f.form.setWindowModified(true);
    QCOMPARE(f.form.windowHandle()->title(), QStringLiteral("x[*]y[*][*]z.spr   1/1"));

    f.dialogs.answers.push_back({f.path("[*]"), 2});
    f.form.SaveClick();
    QCOMPARE(f.form.windowHandle()->title(), QStringLiteral("Brindle - [*].spr"));
  }

  void savingThroughALinkKeepsTheLink() {
    FormFixture f;
    test::TempDir real;
    test::WriteBandedSpr(f.dir / "pic.spr", 4);
    test::WriteBandedSpr(real / "target.spr", 5);
    fs::create_symlink(real / "target.spr", f.dir / "link.spr");
    f.open("pic.spr");
    f.dialogs.answers.push_back({f.path("link"), 2});
    f.form.SaveClick();
    QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join('\n')));
    QVERIFY(fs::is_symlink(fs::symlink_status(f.dir / "link.spr")));
    QCOMPARE(test::ReadBytes(real / "target.spr"), test::ReadBytes(f.dir / "pic.spr"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Brindle - link.spr"));
  }
};

QTEST_MAIN(MainFormNamesTest)
#include "mainform_names_test.moc"
