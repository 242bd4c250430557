// Keys of the main window, the open dialog and stepping through a folder.
#include <QtTest>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/zoomform.h"
#include "core/rmb.h"
#include "support/form_fixture.h"
#include "support/scr_files.h"
#include "support/spr_folder.h"

using namespace brindle;

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
    FormFixture f;
    writeThree(f.dir);
    f.dialogs.answers.push_back({f.path("a.spr"), 2});
    f.dialogs.answers.push_back({});
    f.form.OpenClick();
    f.form.OpenClick();
    QCOMPARE(f.dialogs.openCalls.size(), size_t(2));
    QCOMPARE(f.dialogs.openCalls[0].filter,
             QStringLiteral("All supported types|*.spr;*.bmp;*scr;*.rmb;*rbr;*.gif;*.pcx;*.png|SPR|*.spr|BMP|*.bmp|"
                            "SCR|*.scr|REMBRANDT|*.rmb;*.rbr|GIF|*.gif|PCX|*.pcx|PNG|*.png"));
    QCOMPARE(f.dialogs.openCalls[0].filterIndex, 1);
    QCOMPARE(f.dialogs.openCalls[1].filterIndex, 2);
    // The dialog starts where it was left: the opened picture's folder.
    QCOMPARE(f.dialogs.openCalls[1].folder, QString::fromStdString(f.dir.path().string()));
    // A cancelled open changes nothing.
    QCOMPARE(f.form.windowTitle(), QStringLiteral("a.spr   1/3"));
  }

  void folderCaptionCountsOnlyPictures() {
    FormFixture f;
    test::WriteText(f.dir / "a.bmp", "x");
    test::WriteBandedSpr(f.dir / "b.spr", 0);
    test::WriteText(f.dir / "c.txt", "x");
    test::WriteText(f.dir / "d.PNG", "x");
    f.dialogs.answers.push_back({f.path("b.spr"), 1});
    f.form.OpenClick();
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.spr   2/3"));
  }

  void rightAndLeftWrapAround() {
    FormFixture f;
    writeThree(f.dir);
    f.open("c.spr");
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("a.spr   1/3"));
    QCOMPARE(shown(f.form), 1);
    QTest::keyClick(&f.form, Qt::Key_Left);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("c.spr   3/3"));
    QCOMPARE(shown(f.form), 3);
    QTest::keyClick(&f.form, Qt::Key_Left);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.spr   2/3"));
    QVERIFY(f.dialogs.errors.isEmpty());
  }

  void keysActOnReleaseOnlyAndIgnoreAutoRepeat() {
    FormFixture f;
    writeThree(f.dir);
    f.open("a.spr");
    QTest::keyPress(&f.form, Qt::Key_Right);
    QCOMPARE(shown(f.form), 1);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&f.form, &repeat);
    QCOMPARE(shown(f.form), 1);
    QTest::keyRelease(&f.form, Qt::Key_Right);
    QCOMPARE(shown(f.form), 2);
  }

  void damagedFileIsReportedAndSteppedPast() {
    FormFixture f;
    writeThree(f.dir);
    test::WriteBytes(f.dir / "b.spr", std::vector<std::uint8_t>(300, 0));
    f.open("a.spr");
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].startsWith("SPR opening error: "));
    // The caption names the refused file at its place; the picture stays.
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.spr   2/3"));
    QCOMPARE(shown(f.form), 1);
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("c.spr   3/3"));
    QTest::keyClick(&f.form, Qt::Key_Left);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.spr   2/3"));
    QCOMPARE(shown(f.form), 3);
  }

  void heldKeyStepsExactlyOnce() {
    // Event sequences of Right: 'P' press, 'p' auto-repeated press, 'R' release, 'r'
    // auto-repeated release; how far each steps from a.spr.
    struct Case {
      const char* events;
      int steps;
    };
    const Case cases[] = {
        {"PR", 1},         {"PRPR", 2}, {"PrpR", 1},  // held, releases marked as repeats: once, at the end
        {"PrprprprpR", 1},                            // held long
        {"PRpRpRpR", 1},                              // held on a busy machine: the releases come unmarked
        {"PppR", 1},                                  // held, repeats without releases
        {"PPR", 1},                                   // repeated presses not marked as such
        {"Ppr", 0},                                   // still held: nothing yet
        {"PRpRPR", 2},                                // a fresh press after a hold acts again
        {"R", 1},                                     // a release whose press went to another window
    };
    for (const Case& c : cases) {
      FormFixture f;
      writeThree(f.dir);
      f.open("a.spr");
      for (const char* e = c.events; *e; ++e) {
        const bool press = *e == 'P' || *e == 'p';
        const bool repeat = *e == 'p' || *e == 'r';
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(),
                        repeat);
        QApplication::sendEvent(&f.form, &event);
      }
      QVERIFY2(shown(f.form) == 1 + c.steps, c.events);
    }
  }

  // Z held long opens the zoom window once, when it is let go.
  void heldZoomKeyOpensTheZoomOnce() {
    FormFixture f;
    writeThree(f.dir);
    f.open("a.spr");
    const auto send = [&](QEvent::Type type, bool repeat) {
      QKeyEvent event(type, Qt::Key_Z, Qt::NoModifier, QString(), repeat);
      QApplication::sendEvent(&f.form, &event);
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < 20; ++i) {
      send(QEvent::KeyRelease, true);
      send(QEvent::KeyPress, true);
    }
    QVERIFY(f.dialogs.shown.empty());
    send(QEvent::KeyRelease, false);
    QCOMPARE(f.dialogs.shown.size(), size_t(1));
    QCOMPARE(f.dialogs.shown[0], static_cast<QDialog*>(f.form.zoomForm()));
  }

  void heldShiftIsUpAfterItsRelease() {
    FormFixture f;
    writeThree(f.dir);
    f.open("a.spr");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(&f.form, &press);
    QApplication::sendEvent(&f.form, &repeat);
    QVERIFY(f.form.ShiftDown);
    QTest::keyRelease(&f.form, Qt::Key_Shift);
    QVERIFY(!f.form.ShiftDown);
  }

  void stepsThroughSprScrAndRmbAndReportsADamagedScr() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 1);
    test::ZxScreen zx;
    zx.attr(0, 0) = 0x47;  // bright white ink on black
    zx.bits(0, 0) = 0x80;
    test::WriteBytes(f.dir / "b.scr", zx.file());
    Pic rmb;
    rmb.pixels.fill(0x33);
    Mem scratch;
    SaveRMB(f.dir / "c.rmb", rmb, scratch, Levels{});
    test::WriteBytes(f.dir / "d.scr", std::vector<std::uint8_t>(10, 0x01));
    f.open("a.spr");
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.scr   2/4"));
    QCOMPARE(shown(f.form), 15);
    QCOMPARE(f.form.session().pic.pixel(1, 0), 8);
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("c.rmb   3/4"));
    QCOMPARE(shown(f.form), 3);
    const Pic before = f.form.session().pic;
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].startsWith("SCR opening error: "));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("d.scr   4/4"));
    QVERIFY(f.form.session().pic == before);
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
    FormFixture f;
    writeThree(f.dir);
    std::vector<bool> modes;
    f.dialogs.onShow = [&](QDialog* w) {
      if (w == f.form.zoomForm()) modes.push_back(f.form.SmoothZoom);
    };
    f.open("a.spr");

    QTest::keyPress(&f.form, Qt::Key_Shift);
    QTest::keyClick(&f.form, Qt::Key_Z, Qt::ShiftModifier);
    QTest::keyRelease(&f.form, Qt::Key_Shift);
    QTest::keyClick(&f.form, Qt::Key_Z);
    // Shift released first: stretch.
    QTest::keyPress(&f.form, Qt::Key_Shift);
    QTest::keyRelease(&f.form, Qt::Key_Shift);
    QTest::keyClick(&f.form, Qt::Key_Z);
    QCOMPARE(modes, (std::vector<bool>{true, false, false}));

    f.form.SmoothItem->trigger();
    f.form.StretchItem->trigger();
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
