// The save command: proposed name, extension by format, caption, BMP content, failures.
#include <QImage>
#include <QtTest>

#include "app/mainform.h"
#include "support/fake_dialogs.h"
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
        test::TempDir dir;
        test::WriteBandedSpr(dir / "pic.spr", 0);
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "pic.spr"));

        dialogs.answers.push_back({Q(dir / "pic"), 1});
        QTest::keyClick(&form, Qt::Key_S);
        QCOMPARE(dialogs.saveCalls.size(), size_t(1));
        QCOMPARE(dialogs.saveCalls[0].proposedName, QStringLiteral("pic"));
        QCOMPARE(dialogs.saveCalls[0].folder, Q(dir.path()));
        QCOMPARE(dialogs.saveCalls[0].filter, QStringLiteral("BMP|*.bmp|SPR|*.spr|RMB|*.rmb|GIF|*.gif|PNG|*.png"));
        QCOMPARE(dialogs.saveCalls[0].filterIndex, 1);
        QVERIFY(fs::exists(dir / "pic.bmp"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brindle - pic.bmp"));
        QCOMPARE(form.session().PicFileName, (dir / "pic.bmp").string());

        dialogs.answers.push_back({Q(dir / "name.txt"), 2});
        form.SaveItem->trigger();
        QCOMPARE(dialogs.saveCalls[1].proposedName, QStringLiteral("pic"));
        QVERIFY(fs::exists(dir / "name.spr"));
        QVERIFY(!fs::exists(dir / "name.txt"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brindle - name.spr"));

        // The remembered index is offered next time; a cancel changes nothing.
        dialogs.answers.push_back({});
        form.SaveItem->trigger();
        QCOMPARE(dialogs.saveCalls[2].filterIndex, 2);
        QCOMPARE(dialogs.saveCalls[2].proposedName, QStringLiteral("name"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Brindle - name.spr"));
        QCOMPARE(form.session().SaveFilterIndex, 2);
        QVERIFY(dialogs.errors.isEmpty());
    }

    void savedBmpHoldsThePicture() {
        test::TempDir dir;
        test::WriteBandedSpr(dir / "pic.spr", 5);
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "pic.spr"));
        form.session().pic.setPixel(3, 7, 15);
        dialogs.answers.push_back({Q(dir / "out.bmp"), 1});
        form.SaveClick();

        QCOMPARE(fs::file_size(dir / "out.bmp"), std::uintmax_t(32886));
        QImage image(Q(dir / "out.bmp"));
        QCOMPARE(image.size(), QSize(256, 256));
        QCOMPARE(image.format(), QImage::Format_Indexed8);
        QCOMPARE(image.depth(), 8);
        QCOMPARE(image.colorCount(), 16);
        const Pic& pic = form.session().pic;
        for (int i = 0; i < 16; ++i) {
            const Rgb c = pic.palette[static_cast<std::size_t>(i)];
            QCOMPARE(image.color(i), qRgb(c.r, c.g, c.b));
        }
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                if (image.pixelIndex(x, y) != pic.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }

    void failedSaveKeepsNameAndCaption() {
        test::TempDir dir;
        test::WriteBandedSpr(dir / "pic.spr", 0);
        fs::create_directory(dir / "taken.spr");
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "pic.spr"));
        dialogs.answers.push_back({Q(dir / "taken"), 2});
        dialogs.answers.push_back({Q(dir / "later"), 4});
        form.SaveClick();
        form.SaveClick();
        QCOMPARE(dialogs.errors.size(), 2);
        QCOMPARE(form.windowTitle(), QStringLiteral("pic.spr   1/1"));
        QCOMPARE(form.session().PicFileName, std::string("pic.spr"));
        QCOMPARE(form.session().SaveFilterIndex, 1);
        QVERIFY(!fs::exists(dir / "later.gif"));
    }

    void steppingAfterSavingElsewhereStaysInTheListedFolder() {
        test::TempDir dir, other;
        test::WriteBandedSpr(dir / "a.spr", 1);
        test::WriteBandedSpr(dir / "b.spr", 2);
        test::WriteBandedSpr(other / "b.spr", 9);
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "a.spr"));
        dialogs.answers.push_back({Q(other / "x"), 2});
        form.SaveClick();
        QTest::keyClick(&form, Qt::Key_Right);
        QCOMPARE(form.session().pic.pixel(0, 0), 2);
        QCOMPARE(form.windowTitle(), QStringLiteral("b.spr   2/2"));
    }
};

QTEST_MAIN(MainFormSaveTest)
#include "mainform_save_test.moc"
