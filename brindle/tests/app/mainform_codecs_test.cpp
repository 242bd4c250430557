// The PC formats in the window: stepping onto a refused picture shows the plain box and
// keeps the picture; a good one opens; saved GIF and PNG files read back the same.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/dialogs.h"
#include "app/mainform.h"
#include "support/codec_fixtures.h"
#include "support/form_fixture.h"
#include "support/spr_folder.h"

using namespace brindle;
namespace fs = std::filesystem;

class MainFormCodecsTest : public QObject {
  Q_OBJECT

 private slots:
  void refusedGifKeepsPictureAndNamesItsPlace() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 1);
    test::GifSpec spec;
    spec.globalBits = 8;
    test::WriteBytes(f.dir / "b.gif", test::MakeGif(spec, [](int x, int) { return x; }));
    f.open("a.spr");
    const Pic before = f.form.session().pic;
    const Mem memBefore = f.form.session().mem;

    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.dialogs.messages,
             QStringList{"GIF opening error: Only 16 colors GIFs of size less or equal to 256x256 allowed"});
    QVERIFY(f.dialogs.errors.isEmpty());
    QVERIFY(f.form.session().pic == before);
    QVERIFY(f.form.session().mem == memBefore);
    // The caption names the refused file where Left and Right step from; Save still proposes
    // the picture shown, so it cannot be written over the refused file by accident.
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.gif   2/2"));
    QCOMPARE(f.form.session().PicFileName, std::string("a.spr"));

    f.dialogs.answers.push_back({});
    QTest::keyClick(&f.form, Qt::Key_S);
    QCOMPARE(f.dialogs.saveCalls.size(), size_t(1));
    QCOMPARE(f.dialogs.saveCalls[0].proposedName, QStringLiteral("a"));
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("a.spr   1/2"));
  }

  void plainBoxHasOneOkButtonAndNoIcon() {
    QtDialogs dialogs;
    QString title, text;
    int buttons = -1;
    QMessageBox::Icon icon = QMessageBox::Critical;
    // Looks for the box once its loop runs, then answers it.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      poll.stop();
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = static_cast<int>(box->buttons().size());
      if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
      else
        box->reject();
    });
    poll.start();
    dialogs.messageBox(nullptr, QStringLiteral("GIF opening error"),
                       QStringLiteral("Only 16 colors GIFs of size less or equal to 256x256 allowed"));
    QCOMPARE(title, QStringLiteral("GIF opening error"));
    QCOMPARE(text, QStringLiteral("Only 16 colors GIFs of size less or equal to 256x256 allowed"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, 1);
  }

  void goodPngOpensAndEnablesSaving() {
    FormFixture f;
    test::PngSpec spec;
    spec.entries = 3;
    test::WriteBytes(f.dir / "p.png", test::MakePng(spec, [](int x, int y) { return (x + y) % 3; }));
    QVERIFY(!f.form.SaveItem->isEnabled());
    f.open("p.png");
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(f.form.windowTitle(), QStringLiteral("p.png   1/1"));
    QVERIFY(f.form.SaveItem->isEnabled());
    QCOMPARE(f.form.session().pic.pixel(2, 0), 2);
    QCOMPARE(f.form.session().pic.pixel(16, 0), 0);
  }

  void damagedPngGivesAnErrorBoxNamingTheFile() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 1);
    test::WriteText(f.dir / "b.png", "not a picture at all");
    f.open("a.spr");
    const Pic before = f.form.session().pic;
    QTest::keyClick(&f.form, Qt::Key_Right);
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].startsWith(QStringLiteral("PNG opening error: ")));
    QVERIFY(f.dialogs.errors[0].contains(QStringLiteral("b.png")));
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.form.session().pic == before);
    QCOMPARE(f.form.windowTitle(), QStringLiteral("b.png   2/2"));
  }
};

QTEST_MAIN(MainFormCodecsTest)
#include "mainform_codecs_test.moc"
