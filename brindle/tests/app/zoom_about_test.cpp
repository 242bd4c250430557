// The zoom window (stretch and smooth) and the about box, as shown on screen.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <random>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/zoomform.h"
#include "core/zoom.h"
#include "support/form_fixture.h"
#include "support/spr_folder.h"

using namespace brindle;

namespace {

// Random colour indices on a random palette (an SPR file can only carry palettes of the
// computer's own 256 colours).
void RandomPicture(Pic& pic, unsigned seed) {
  std::mt19937 rng(seed);
  for (Rgb& c : pic.palette)
    c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, static_cast<int>(rng() % 16));
}

QRgb ToQRgb(const Rgb& c) { return qRgb(c.r, c.g, c.b); }

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

void SendKey(QWidget* w, QEvent::Type type, int key, bool autoRepeat = false) {
  QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
  QApplication::sendEvent(w, &event);
}

}  // namespace

class ZoomAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void stretchShowsEveryPixelAsATwoByTwoBlock() {
    FormFixture f;
    test::WriteBytes(f.dir / "a.spr", test::SprFileFor(test::RandomScreen(5)));
    f.open("a.spr");
    QVERIFY(f.dialogs.errors.isEmpty());
    TZoomForm* zoom = f.form.zoomForm();
    f.form.SmoothZoom = false;
    zoom->show();
    const QImage shot = Grab(zoom);
    QCOMPARE(shot.size(), QSize(512, 512));
    const Pic& pic = f.form.session().pic;
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x)
        if (shot.pixel(x, y) != ToQRgb(pic.colourAt(x / 2, y / 2)))
          QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    zoom->close();
  }

  void smoothShowsTheSmoothZoomOneToOne() {
    FormFixture f;
    TZoomForm* zoom = f.form.zoomForm();
    RandomPicture(f.form.session().pic, 6);
    f.form.SmoothZoom = true;
    zoom->show();
    const QImage shot = Grab(zoom);
    QCOMPARE(shot.size(), QSize(511, 511));
    const RgbPicture expected = SmoothZoomed(f.form.session().pic);
    for (int y = 0; y < 511; ++y)
      for (int x = 0; x < 511; ++x)
        if (shot.pixel(x, y) != ToQRgb(expected.at(x, y)))
          QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    // Read at every paint: the picture changed while shown is drawn anew.
    f.form.session().pic.palette.fill(Rgb{1, 2, 3});
    QCOMPARE(Grab(zoom).pixel(100, 301), qRgb(1, 2, 3));
    zoom->close();
  }

  void sizeFollowsTheModeAtEveryShowingAndTheWindowIsCentred() {
    FormFixture f;
    TZoomForm* zoom = f.form.zoomForm();
    const QRect area = zoom->screen()->availableGeometry();
    for (bool smooth : {false, true, false}) {
      f.form.SmoothZoom = smooth;
      zoom->show();
      const int size = smooth ? 511 : 512;
      QCOMPARE(zoom->ZoomSize, size);
      QCOMPARE(zoom->size(), QSize(size, size));
      QCOMPARE(Grab(zoom).size(), QSize(size, size));
      const QRect frame = zoom->frameGeometry();
      QVERIFY2(qAbs(frame.left() - area.left() - (area.right() - frame.right())) <= 1,
               qPrintable(QString::number(frame.left())));
      QVERIFY(qAbs(frame.top() - area.top() - (area.bottom() - frame.bottom())) <= 1);
      zoom->move(0, 0);  // the next showing centres it again
      zoom->close();
      QVERIFY(!zoom->isVisible());
    }
    QCOMPARE(zoom->windowTitle(), QStringLiteral("Zoom"));
    const Qt::WindowFlags flags = zoom->windowFlags();
    QVERIFY(flags.testFlag(Qt::Tool));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(zoom->minimumSize(), zoom->maximumSize());
  }

  void escClosesOnItsReleaseAndOtherKeysDoNothing() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 0);
    f.open("a.spr");
    TZoomForm* zoom = f.form.zoomForm();
    zoom->show();
    for (int key : {Qt::Key_A, Qt::Key_Z, Qt::Key_S, Qt::Key_O, Qt::Key_E, Qt::Key_Right}) {
      SendKey(zoom, QEvent::KeyPress, key);
      SendKey(zoom, QEvent::KeyRelease, key);
    }
    QVERIFY(zoom->isVisible());
    QVERIFY(f.dialogs.shown.empty());
    QVERIFY(f.dialogs.openCalls.empty() && f.dialogs.saveCalls.empty());

    f.form.ShiftDown = true;
    SendKey(zoom, QEvent::KeyRelease, Qt::Key_Shift);
    QVERIFY(!f.form.ShiftDown);
    QVERIFY(zoom->isVisible());

    SendKey(zoom, QEvent::KeyPress, Qt::Key_Escape);
    QVERIFY(zoom->isVisible());
    SendKey(zoom, QEvent::KeyRelease, Qt::Key_Escape);
    QVERIFY(!zoom->isVisible());
  }

  // Esc held long closes the window when it is let go, not before.
  void heldEscClosesOnItsFinalRelease() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 0);
    f.open("a.spr");
    TZoomForm* zoom = f.form.zoomForm();
    zoom->show();
    SendKey(zoom, QEvent::KeyPress, Qt::Key_Escape);
    for (int i = 0; i < 20; ++i) {
      SendKey(zoom, QEvent::KeyRelease, Qt::Key_Escape, true);
      SendKey(zoom, QEvent::KeyPress, Qt::Key_Escape, true);
    }
    QVERIFY(zoom->isVisible());
    SendKey(zoom, QEvent::KeyRelease, Qt::Key_Escape);
    QVERIFY(!zoom->isVisible());
  }

  void modalShowingEndsOnAnEscRelease() {
    FormFixture f;
    test::WriteBandedSpr(f.dir / "a.spr", 0);
    f.open("a.spr");
    QWidget* modal = nullptr;
    f.dialogs.onShow = [&](QDialog* window) {
      QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget();
        if (modal) SendKey(modal, QEvent::KeyRelease, Qt::Key_Escape);
      });
      window->exec();
    };
    f.form.SmoothItem->trigger();
    QCOMPARE(modal, static_cast<QWidget*>(f.form.zoomForm()));
    QVERIFY(!f.form.zoomForm()->isVisible());
    QCOMPARE(f.form.zoomForm()->ZoomSize, 511);
    // A second showing works as the first.
    modal = nullptr;
    QTest::keyClick(&f.form, Qt::Key_Z);
    QCOMPARE(modal, static_cast<QWidget*>(f.form.zoomForm()));
    QCOMPARE(f.form.zoomForm()->ZoomSize, 512);
  }

  void aboutBoxLayout() {
    FormFixture f;
    TAboutBox* box = f.form.aboutBox();
    box->show();
    QCOMPARE(box->size(), QSize(190, 160));
    QCOMPARE(box->windowTitle(), QStringLiteral("About"));
    QVERIFY(box->windowFlags().testFlag(Qt::Tool));
    QVERIFY(!box->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QCOMPARE(box->OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(box->OKButton->geometry(), QRect(58, 122, 75, 25));
    QCOMPARE(box->Panel->parentWidget(), static_cast<QWidget*>(box));
    QCOMPARE(box->Panel->geometry(), QRect(10, 10, 170, 100));
    QCOMPARE(box->Panel->frameShape(), QFrame::Box);
    QCOMPARE(box->Panel->frameShadow(), QFrame::Sunken);
    struct Row {
      QLabel* label;
      int top;
      QString text;
    };
    const Row rows[] = {
        {box->ProductName, 10, QStringLiteral("Product Name\tBrindle")},
        {box->Version, 31, QStringLiteral("Version\t\t1.77")},
        {box->Copyright, 52, QString()},
        {box->Date, 73, QStringLiteral("Date\t\t16.04.2009")},
    };
    for (const Row& r : rows) {
      QCOMPARE(r.label->parentWidget(), static_cast<QWidget*>(box->Panel));
      QCOMPARE(r.label->pos(), QPoint(6, r.top));
      if (!r.text.isEmpty()) QCOMPARE(r.label->text(), r.text);
      // Sized to its text, and all of it inside the panel's bevel.
      QVERIFY2(box->Panel->contentsRect().contains(r.label->geometry()), qPrintable(r.label->text()));
    }
    const QString rights = box->Copyright->text();
    QVERIFY(rights.contains(QLatin1Char('\t')));
    QVERIFY(!rights.section(QLatin1Char('\t'), 0, 0).isEmpty());
    QVERIFY(!rights.section(QLatin1Char('\t'), -1).isEmpty());

    // Centred on the screen.
    const QRect screen = box->screen()->geometry();
    const QRect frame = box->frameGeometry();
    QVERIFY(qAbs(frame.left() - (screen.right() - frame.right())) <= 1);
    QVERIFY(qAbs(frame.top() - (screen.bottom() - frame.bottom())) <= 1);

    QTest::mouseClick(box->OKButton, Qt::LeftButton);
    QVERIFY(!box->isVisible());
  }

  void aboutBoxShowsAgainFromKeyAndMenu() {
    FormFixture f;
    TAboutBox* box = f.form.aboutBox();
    int endedByOk = 0;
    f.dialogs.onShow = [&](QDialog* window) {
      QTimer::singleShot(0, [&] {
        if (QApplication::activeModalWidget() == box && box->isVisible()) {
          QTest::mouseClick(box->OKButton, Qt::LeftButton);
          ++endedByOk;
        }
      });
      window->exec();
    };
    QTest::keyClick(&f.form, Qt::Key_A);
    f.form.AboutItem->trigger();
    QTest::keyClick(&f.form, Qt::Key_A);
    QCOMPARE(endedByOk, 3);
    QCOMPARE(f.dialogs.shown, (std::vector<QDialog*>{box, box, box}));
    QVERIFY(!box->isVisible());
  }
};

QTEST_MAIN(ZoomAboutTest)
#include "zoom_about_test.moc"
