// Window set-up: menu captions and states, the fixed client area, the caption, level files
// and the picture painted 1:1.
#include <QMenuBar>
#include <QtTest>

#include "app/dialogs.h"
#include "app/mainform.h"
#include "core/palette.h"
#include "core/picfiles.h"
#include "support/fake_dialogs.h"
#include "support/spr_folder.h"

using namespace brindle;

class MainFormMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void menuCaptionsAndInitialStates() {
    FakeDialogs dialogs;
    TMainForm form(&dialogs);
    QCOMPARE(form.windowTitle(), QStringLiteral("Brindle"));
    QStringList top;
    for (QAction* a : form.menuBar()->actions()) top << a->text();
    QCOMPARE(top, (QStringList{"File", "Image", "Help"}));

    const QList<QAction*> file = form.menuBar()->actions()[0]->menu()->actions();
    QCOMPARE(file.size(), 3);
    QCOMPARE(file[0]->text(), QStringLiteral("Open"));
    QCOMPARE(file[1]->text(), QStringLiteral("Save"));
    QCOMPARE(file[2]->text(), QStringLiteral("Exit"));
    const QList<QAction*> image = form.menuBar()->actions()[1]->menu()->actions();
    QCOMPARE(image.size(), 1);
    QCOMPARE(image[0]->text(), QStringLiteral("Zoom"));
    const QList<QAction*> zoom = image[0]->menu()->actions();
    QCOMPARE(zoom[0]->text(), QStringLiteral("Stretch"));
    QCOMPARE(zoom[1]->text(), QStringLiteral("Smooth"));
    QCOMPARE(form.menuBar()->actions()[2]->menu()->actions()[0]->text(), QStringLiteral("About"));

    QVERIFY(file[0]->isEnabled());
    QVERIFY(!file[1]->isEnabled());
    QVERIFY(file[2]->isEnabled());
    QVERIFY(!image[0]->isEnabled());
    for (QAction* a : file + image + zoom) QVERIFY(a->shortcut().isEmpty());
  }

  // The dialogs' filters keep their order, so the remembered indexes mean the same entries,
  // and the patterns without a dot stay as they are.
  void dialogFiltersKeepTheirEntries() {
    const QStringList open = QtDialogs::NameFilters(QString::fromStdString(OpenFilter()));
    QCOMPARE(open.size(), 8);
    QCOMPARE(open[0], QStringLiteral("All supported types (*.spr *.bmp *scr *.rmb *rbr *.gif *.pcx *.png)"));
    QCOMPARE(open[4], QStringLiteral("REMBRANDT (*.rmb *.rbr)"));
    const QStringList save = QtDialogs::NameFilters(QString::fromStdString(SaveFilter()));
    QCOMPARE(save, (QStringList{"BMP (*.bmp)", "SPR (*.spr)", "RMB (*.rmb)", "GIF (*.gif)", "PNG (*.png)"}));
  }

  void openingEnablesSaveAndZoom() {
    test::TempDir dir;
    test::WriteBandedSpr(dir / "b.spr", 0);
    FakeDialogs dialogs;
    dialogs.answers.push_back({QString::fromStdString((dir / "b.spr").string()), 2});
    TMainForm form(&dialogs);
    form.OpenClick();
    QVERIFY(dialogs.errors.isEmpty());
    QVERIFY(form.SaveItem->isEnabled());
    QVERIFY(form.ZoomMenu->isEnabled());
    QVERIFY(form.menuBar()->actions()[1]->menu()->actions()[0]->isEnabled());
    QCOMPARE(form.session().OpenFilterIndex, 2);
  }

  // A damaged file as the first picture: an error box, and the window stays as at start.
  void damagedFirstFileLeavesMenusAndCaption() {
    test::TempDir dir;
    test::WriteBytes(dir / "bad.spr", std::vector<std::uint8_t>(640, 0));
    FakeDialogs dialogs;
    dialogs.answers.push_back({QString::fromStdString((dir / "bad.spr").string()), 1});
    TMainForm form(&dialogs);
    form.OpenClick();
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(!form.SaveItem->isEnabled());
    QVERIFY(!form.ZoomMenu->isEnabled());
    QCOMPARE(form.windowTitle(), QStringLiteral("Brindle"));
    QVERIFY(!form.session().PicLoaded);
    QVERIFY(form.session().pic == Pic{});
    QTest::keyClick(&form, Qt::Key_S);
    QVERIFY(dialogs.saveCalls.empty());
  }

  void fixedWindowShowsPictureBelowTheMenu() {
    FakeDialogs dialogs;
    TMainForm form(&dialogs);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.view()->size(), QSize(256, 256));
    QCOMPARE(form.view()->mapTo(&form, QPoint(0, 0)), QPoint(0, form.menuBar()->height()));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
  }

  void grabShowsTheOpenedPicture() {
    test::TempDir dir;
    test::WriteBandedSpr(dir / "pic.spr", 4);
    FakeDialogs dialogs;
    TMainForm form(&dialogs);
    form.OpenFromCommandLine(QString::fromStdString((dir / "pic.spr").string()));
    QCOMPARE(form.windowTitle(), QStringLiteral("pic.spr   1/1"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage shot = form.grab().toImage();
    const QPoint origin = form.view()->mapTo(&form, QPoint(0, 0));
    const Levels levels;
    for (const QPoint p : {QPoint(0, 0), QPoint(63, 255), QPoint(64, 10), QPoint(150, 128), QPoint(255, 255)}) {
      const Rgb c = VecByteToRgb(DefaultVECPalette[static_cast<std::size_t>(4 + p.x() / 64)], levels);
      QCOMPARE(shot.pixelColor(origin + p), QColor(c.r, c.g, c.b));
    }
  }

  void badLevelFileIsReportedAtStart() {
    test::TempDir dir;
    test::WriteText(dir / "B.lvl", "1\n2\n");
    test::WriteText(dir / "RG.lvl", "9\n9\n9\n9\n9\n9\n9\n9\n");
    const QString old = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    FakeDialogs dialogs;
    TMainForm form(&dialogs);
    QDir::setCurrent(old);
    QCOMPARE(dialogs.errors.size(), 1);
    QCOMPARE(form.session().levels.BLevels[1], 2);
    QCOMPARE(form.session().levels.BLevels[2], 180);
    QCOMPARE(form.session().levels.RGLevels[1], 50);
    QCOMPARE(form.windowTitle(), QStringLiteral("Brindle"));
  }

  void levelFilesChangeTheColours() {
    test::TempDir dir;
    test::WriteText(dir / "B.lvl", "0\n85\n170\n255\n");
    test::WriteText(dir / "RG.lvl", "0\n36\n72\n108\n144\n180\n216\n255\n");
    test::WriteBandedSpr(dir / "pic.spr", 0);
    const QString old = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    FakeDialogs dialogs;
    TMainForm form(&dialogs);
    QDir::setCurrent(old);
    QVERIFY(dialogs.errors.isEmpty());
    form.OpenFromCommandLine(QString::fromStdString((dir / "pic.spr").string()));
    QCOMPARE(form.session().pic.palette[1], (Rgb{0, 0, 170}));  // VEC byte 0x80
  }
};

QTEST_MAIN(MainFormMenuTest)
#include "mainform_menu_test.moc"
