// Keys of the main window, the open dialog and stepping through a folder.
#include <QtTest>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/zoomform.h"
#include "support/fake_dialogs.h"
#include "support/spr_folder.h"

using namespace brindle;

namespace {
QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }
}  // namespace

class MainFormKeysTest : public QObject {
    Q_OBJECT

private:
    // Folder of three SPR pictures a, b, c with colours 1, 2, 3 at their left edge.
    void writeThree(const test::TempDir& dir) {
        test::WriteBandedSpr(dir / "a.spr", 1);
        test::WriteBandedSpr(dir / "b.spr", 2);
        test::WriteBandedSpr(dir / "c.spr", 3);
    }
    static int shown(TMainForm& form) { return form.session().pic.pixel(0, 0); }

private slots:
    void openDialogGetsTheFilterAndRemembersItsIndex() {
        test::TempDir dir;
        writeThree(dir);
        FakeDialogs dialogs;
        dialogs.answers.push_back({Q(dir / "a.spr"), 2});
        dialogs.answers.push_back({});
        TMainForm form(&dialogs);
        form.OpenClick();
        form.OpenClick();
        QCOMPARE(dialogs.openCalls.size(), size_t(2));
        QCOMPARE(dialogs.openCalls[0].filter,
                 QStringLiteral("All supported types|*.spr;*.bmp;*scr;*.rmb;*rbr;*.gif;*.pcx;*.png|SPR|*.spr|BMP|*.bmp|"
                                "SCR|*.scr|REMBRANDT|*.rmb;*.rbr|GIF|*.gif|PCX|*.pcx|PNG|*.png"));
        QCOMPARE(dialogs.openCalls[0].filterIndex, 1);
        QCOMPARE(dialogs.openCalls[1].filterIndex, 2);
        // A cancelled open changes nothing.
        QCOMPARE(form.windowTitle(), QStringLiteral("a.spr   1/3"));
    }

    void folderCaptionCountsOnlyPictures() {
        test::TempDir dir;
        test::WriteText(dir / "a.bmp", "x");
        test::WriteBandedSpr(dir / "b.spr", 0);
        test::WriteText(dir / "c.txt", "x");
        test::WriteText(dir / "d.PNG", "x");
        FakeDialogs dialogs;
        dialogs.answers.push_back({Q(dir / "b.spr"), 1});
        TMainForm form(&dialogs);
        form.OpenClick();
        QCOMPARE(form.windowTitle(), QStringLiteral("b.spr   2/3"));
    }

    void rightAndLeftWrapAround() {
        test::TempDir dir;
        writeThree(dir);
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "c.spr"));
        QTest::keyClick(&form, Qt::Key_Right);
        QCOMPARE(form.windowTitle(), QStringLiteral("a.spr   1/3"));
        QCOMPARE(shown(form), 1);
        QTest::keyClick(&form, Qt::Key_Left);
        QCOMPARE(form.windowTitle(), QStringLiteral("c.spr   3/3"));
        QCOMPARE(shown(form), 3);
        QTest::keyClick(&form, Qt::Key_Left);
        QCOMPARE(form.windowTitle(), QStringLiteral("b.spr   2/3"));
        QVERIFY(dialogs.errors.isEmpty());
    }

    void keysActOnReleaseOnlyAndIgnoreAutoRepeat() {
        test::TempDir dir;
        writeThree(dir);
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "a.spr"));
        QTest::keyPress(&form, Qt::Key_Right);
        QCOMPARE(shown(form), 1);
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&form, &repeat);
        QCOMPARE(shown(form), 1);
        QTest::keyRelease(&form, Qt::Key_Right);
        QCOMPARE(shown(form), 2);
    }

    void damagedFileIsReportedAndSteppedPast() {
        test::TempDir dir;
        writeThree(dir);
        test::WriteBytes(dir / "b.spr", std::vector<std::uint8_t>(300, 0));
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.OpenFromCommandLine(Q(dir / "a.spr"));
        QTest::keyClick(&form, Qt::Key_Right);
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].startsWith("SPR opening error: "));
        QCOMPARE(form.windowTitle(), QStringLiteral("a.spr   1/3"));
        QCOMPARE(shown(form), 1);
        QTest::keyClick(&form, Qt::Key_Right);
        QCOMPARE(form.windowTitle(), QStringLiteral("c.spr   3/3"));
    }

    void saveAndZoomKeysWaitForAPicture() {
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        QTest::keyClick(&form, Qt::Key_S);
        QTest::keyClick(&form, Qt::Key_Z);
        QTest::keyClick(&form, Qt::Key_Right);
        QVERIFY(dialogs.saveCalls.empty());
        QVERIFY(dialogs.shown.empty());
        QTest::keyClick(&form, Qt::Key_A);
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0], static_cast<QDialog*>(form.aboutBox()));
        QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
        // Modifiers are not examined.
        QCOMPARE(dialogs.openCalls.size(), size_t(1));
    }

    void shiftHeldWhileZIsReleasedChoosesSmoothZoom() {
        test::TempDir dir;
        writeThree(dir);
        FakeDialogs dialogs;
        std::vector<bool> modes;
        TMainForm form(&dialogs);
        dialogs.onShow = [&](QDialog* w) {
            if (w == form.zoomForm())
                modes.push_back(form.SmoothZoom);
        };
        form.OpenFromCommandLine(Q(dir / "a.spr"));

        QTest::keyPress(&form, Qt::Key_Shift);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ShiftModifier);
        QTest::keyRelease(&form, Qt::Key_Shift);
        QTest::keyClick(&form, Qt::Key_Z);
        // Shift released first: stretch.
        QTest::keyPress(&form, Qt::Key_Shift);
        QTest::keyRelease(&form, Qt::Key_Shift);
        QTest::keyClick(&form, Qt::Key_Z);
        QCOMPARE(modes, (std::vector<bool>{true, false, false}));

        form.SmoothItem->trigger();
        form.StretchItem->trigger();
        QCOMPARE(modes, (std::vector<bool>{true, false, false, true, false}));
    }

    void zoomWindowSizeFollowsTheMode() {
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.SmoothZoom = true;
        form.zoomForm()->show();
        QCOMPARE(form.zoomForm()->ZoomSize, 511);
        QCOMPARE(form.zoomForm()->windowTitle(), QStringLiteral("Zoom"));
        form.ShiftDown = true;
        QTest::keyClick(form.zoomForm(), Qt::Key_Shift);
        QVERIFY(!form.ShiftDown);
        form.zoomForm()->close();
        form.SmoothZoom = false;
        form.zoomForm()->show();
        QCOMPARE(form.zoomForm()->ZoomSize, 512);
        form.zoomForm()->close();
    }

    void exitKeyClosesTheWindow() {
        FakeDialogs dialogs;
        TMainForm form(&dialogs);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_E);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(MainFormKeysTest)
#include "mainform_keys_test.moc"
