// The save command: proposed name, extension by format, caption, BMP content, failures.
#include <QImage>
#include <QtTest>

#include "app/mainform.h"
#include "support/form_fixture.h"
#include "support/spr_folder.h"

using namespace brindle;
namespace fs = std::filesystem;

namespace {
QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }
}  // namespace

class MainFormSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void saveNamesAndCaption() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "pic.spr", 0);
    f.open("pic.spr");

    f.dialogs.answers.push_back({f.path("pic"), 1});
    QTest::keyClick(&f.form, Qt::Key_S);
    QCOMPARE(f.dialogs.saveCalls.size(), size_t(1));
    QCOMPARE(f.dialogs.saveCalls[0].proposedName, QStringLiteral("pic"));
    QCOMPARE(f.dialogs.saveCalls[0].folder, Q(f.dir.path()));
    QCOMPARE(f.dialogs.saveCalls[0].filter, QStringLiteral("BMP|*.bmp|SPR|*.spr|RMB|*.rmb|GIF|*.gif|PNG|*.png"));
    QCOMPARE(f.dialogs.saveCalls[0].filterIndex, 1);
    QVERIFY(fs::exists(f.dir / "pic.bmp"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Brindle - pic.bmp"));
    QCOMPARE(f.form.session().PicFileName, (f.dir / "pic.bmp").string());

    f.dialogs.answers.push_back({f.path("name.txt"), 2});
    f.form.SaveItem->trigger();
    QCOMPARE(f.dialogs.saveCalls[1].proposedName, QStringLiteral("pic"));
    QVERIFY(fs::exists(f.dir / "name.spr"));
    QVERIFY(!fs::exists(f.dir / "name.txt"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Brindle - name.spr"));

    // The remembered index is offered next time; a cancel changes nothing.
    f.dialogs.answers.push_back({});
    f.form.SaveItem->trigger();
    QCOMPARE(f.dialogs.saveCalls[2].filterIndex, 2);
    QCOMPARE(f.dialogs.saveCalls[2].proposedName, QStringLiteral("name"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Brindle - name.spr"));
    QCOMPARE(f.form.session().SaveFilterIndex, 2);

    f.dialogs.answers.push_back({f.path("name.txt"), 3});
    f.form.SaveItem->trigger();
    QCOMPARE(fs::file_size(f.dir / "name.rmb"), std::uintmax_t(32787));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Brindle - name.rmb"));
    QCOMPARE(f.form.session().SaveFilterIndex, 3);
    QVERIFY(f.dialogs.errors.isEmpty());
  }

  void savedBmpHoldsThePicture() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "pic.spr", 5);
    f.open("pic.spr");
    f.form.session().pic.setPixel(3, 7, 15);
    f.dialogs.answers.push_back({f.path("out.bmp"), 1});
    f.form.SaveClick();

    QCOMPARE(fs::file_size(f.dir / "out.bmp"), std::uintmax_t(32886));
    QImage image(f.path("out.bmp"));
    QCOMPARE(image.size(), QSize(256, 256));
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.depth(), 8);
    QCOMPARE(image.colorCount(), 16);
    const Pic& pic = f.form.session().pic;
    for (int i = 0; i < 16; ++i) {
      const Rgb c = pic.palette[static_cast<std::size_t>(i)];
      QCOMPARE(image.color(i), qRgb(c.r, c.g, c.b));
    }
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        if (image.pixelIndex(x, y) != pic.pixel(x, y)) QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
  }

  void failedSaveKeepsNameAndCaption() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "pic.spr", 0);
    fs::create_directory(f.dir / "taken.spr");
    f.open("pic.spr");
    f.dialogs.answers.push_back({f.path("taken"), 2});
    f.dialogs.answers.push_back({f.path("missing/later"), 4});
    f.form.SaveClick();
    f.form.SaveClick();
    QCOMPARE(f.dialogs.errors.size(), 2);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("pic.spr   1/1"));
    QCOMPARE(f.form.session().PicFileName, std::string("pic.spr"));
    QCOMPARE(f.form.session().SaveFilterIndex, 1);
    QVERIFY(!fs::exists(f.dir / "missing"));
  }

  void steppingAfterSavingElsewhereStaysInTheListedFolder() {
    FormFixture f;
    test::TempDir other;
    test::WriteBandedSpr(f.dir / "a.spr", 1);
    test::WriteBandedSpr(f.dir / "b.spr", 2);
    test::WriteBandedSpr(other / "b.spr", 9);
    f.open("a.spr");
    f.dialogs.answers.push_back({Q(other / "x"), 2});
    f.form.SaveClick();
    // The dialogs start in the folder of the last save, and after stepping in the list's.
    f.form.OpenClick();
    QCOMPARE(f.dialogs.openCalls.back().folder, Q(other.path()));
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.session().pic.pixel(0, 0), 2);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.spr   2/2"));
    f.dialogs.answers.push_back({});
    f.form.SaveClick();
    QCOMPARE(f.dialogs.saveCalls.back().folder, Q(f.dir.path()));
  }
};

QTEST_MAIN(MainFormSaveTest)
#include "mainform_save_test.moc"
