// The view commands of the main window: zoom by buttons, keys and the zoom box, fit and 1:1, pan
// by clicking, mirroring, the font and pseudo-inch items, one repaint per command.
#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>
#include <tuple>

#include "app/form1.h"
#include "app/render_targets.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"
#include "testsupport/plt_writer.h"

using namespace quarto;

namespace {

using test::PaintCounter;

QString Zoom4(double z) { return QString::number(z, 'f', 4).replace('.', ','); }

}  // namespace

class ViewCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    const QString path = dir_.filePath("view.plt");
    test::PltWriter w(PltFormat::Plt85);
    w.Header({1, 0, 0, 2'000'000, 1'000'000, 8, 1});  // a mil file: N21 enabled
    w.LayerName("TOP", 1);
    w.Layer(1);
    w.Bar(100'000, 100'000, 900'000, 900'000);
    w.Save(path.toStdString());
    form_ = StartUp({path}, &seams_);
    QVERIFY(form_);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->drawingArea()->repaint();  // the first paint fits
    QVERIFY(!form_->view().FitPending);
    form_->view().IgnoreNextClick = false;
    form_->drawingArea()->installEventFilter(&counter_);
  }
  void cleanup() {
    form_.reset();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  }

  // Zoom steps through the buttons and the keys, with Shift for the small step, held to 0..100.
  void zoomStepsAreHeldAndShowFourDecimals() {
    struct Case {
      double before;
      int key;
      Qt::KeyboardModifiers mods;
      double after;
    };
    const Case cases[] = {
        {99.8, '+', Qt::NoModifier, 100},        {0.3, '-', Qt::NoModifier, 0},
        {1.0, '+', Qt::ShiftModifier, 1.05},     {1.0, '=', Qt::NoModifier, 1.5},
        {1.0, '_', Qt::ShiftModifier, 0.95},     {2.0, '-', Qt::NoModifier, 1.5},
        {0.123456, '+', Qt::NoModifier, 0.6235},
    };
    for (const Case& c : cases) {
      form_->view().Zoom = c.before;
      Type(static_cast<char>(c.key), c.mods);
      QCOMPARE(form_->view().Zoom, c.after);
      QCOMPARE(form_->Edit1->text(), Zoom4(c.after));
    }
    // The buttons step as the keys do.
    form_->view().Zoom = 3.0;
    form_->ToolButton13->click();
    QCOMPARE(form_->view().Zoom, 3.5);
    form_->ToolButton14->click();
    form_->ToolButton14->click();
    QCOMPARE(form_->view().Zoom, 2.5);
  }

  // At 100 a step changes no text and draws nothing; any other step draws once.
  void aStepThatChangesNothingDrawsNothing() {
    form_->Edit1->setText("100,0000");
    Settle();
    form_->ToolButton13->click();
    QApplication::processEvents();
    QCOMPARE(counter_.paints, 0);
    form_->ToolButton14->click();
    QTRY_COMPARE(counter_.paints, 1);
  }

  // "+" typed into the focused zoom box zooms and is not typed; the box takes digits and the
  // separator ("." becomes ","), drops letters, and shows the zoom again for a text that is no
  // number.
  void theZoomBoxFiltersItsKeys() {
    form_->activateWindow();
    form_->Edit1->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->view().Zoom = 1.0;
    form_->Edit1->setText("1,0000");
    QTest::keyClick(form_->Edit1, '+');
    QCOMPARE(form_->Edit1->text(), QStringLiteral("1,5000"));
    QCOMPARE(form_->view().Zoom, 1.5);
    form_->Edit1->selectAll();
    QTest::keyClicks(form_->Edit1, "2.5x");
    QCOMPARE(form_->Edit1->text(), QStringLiteral("2,5"));
    QCOMPARE(form_->view().Zoom, 2.5);
    // Keys that type nothing pass to the box.
    QTest::keyClick(form_->Edit1, Qt::Key_Backspace);
    QCOMPARE(form_->Edit1->text(), QStringLiteral("2,"));
    QTest::keyClick(form_->Edit1, Qt::Key_Home);
    QTest::keyClick(form_->Edit1, Qt::Key_Delete);
    QCOMPARE(form_->Edit1->text(), Zoom4(2.0));  // "," alone is no number: the zoom comes back
    QCOMPARE(form_->view().Zoom, 2.0);
  }

  // A typed zoom beyond 100 is held there and the box shows the zoom in force with four
  // decimals, so the next step starts from what the box shows.
  void aTypedZoomBeyondTheRangeIsHeldAndShown() {
    form_->activateWindow();
    form_->Edit1->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->Edit1->selectAll();
    QTest::keyClicks(form_->Edit1, "150");
    QCOMPARE(form_->view().Zoom, 100.0);
    QCOMPARE(form_->Edit1->text(), QStringLiteral("100,0000"));
    QTest::keyClick(form_->Edit1, '-');
    QCOMPARE(form_->Edit1->text(), QStringLiteral("99,5000"));
    form_->Edit1->selectAll();
    QTest::keyClicks(form_->Edit1, "200");
    QTest::keyClick(form_->Edit1, Qt::Key_Tab);
    QCOMPARE(form_->Edit1->text(), QStringLiteral("100,0000"));
    QCOMPARE(form_->view().Zoom, 100.0);
    // Within the range a typed value stays as typed.
    form_->Edit1->setFocus();
    form_->Edit1->selectAll();
    QTest::keyClicks(form_->Edit1, "100");
    QCOMPARE(form_->Edit1->text(), QStringLiteral("100"));
  }

  // Fit and 1:1 centre the drawing, check N27 and zero the shifts; 1:1 shows 1,0000.
  void fitAndOneToOneCentre() {
    form_->view().ShiftX = 40, form_->view().ShiftY = -7;
    form_->view().ViewWindowSet = true;
    form_->N22->setChecked(true);
    Type('f');
    QVERIFY(form_->view().FitPending && !form_->view().ViewWindowSet && form_->N27->isChecked());
    QCOMPARE(form_->view().ShiftX, 0);
    form_->drawingArea()->repaint();
    QVERIFY(!form_->view().FitPending);
    form_->view().ShiftY = 12;
    form_->ToolButton21->click();
    QCOMPARE(form_->view().Zoom, 1.0);
    QCOMPARE(form_->Edit1->text(), QStringLiteral("1,0000"));
    QCOMPARE(form_->view().ShiftY, 0);
  }

  // A click moves the clicked point of the drawing to the page centre (within a pixel) and leaves
  // no position item checked; the first click after activation is swallowed.
  void aClickPansTheClickedPointToThePageCentre() {
    // The drawing area lies at (areaLeft, areaTop) in the frame's coordinates.
    const FrameInput in = FrameInputOf(*form_, RenderTarget::Screen);
    const FrameLayout before = ComputeFrame(in);
    const QPoint inFrame(before.PageLeft + 60, before.PageTop + 50);
    const QPoint click = inFrame - QPoint(in.areaLeft, in.areaTop);
    form_->view().IgnoreNextClick = true;
    QTest::mouseClick(form_->drawingArea(), Qt::LeftButton, Qt::NoModifier, click);
    QCOMPARE(form_->view().ShiftX, 0);
    QVERIFY(!form_->view().IgnoreNextClick);
    QTest::mouseClick(form_->drawingArea(), Qt::LeftButton, Qt::NoModifier, click);
    QVERIFY(form_->PositionGroup->checkedAction() == nullptr);
    const FrameLayout after = ComputeFrame(FrameInputOf(*form_, RenderTarget::Screen));
    // The file point that was under the click now lies at the page centre.
    const double fx = (inFrame.x() - before.place.OffsetX) / (before.place.SignX * before.place.ScaleX);
    const double fy = (inFrame.y() - before.place.OffsetY) / (before.place.SignY * before.place.ScaleY);
    const double nx = after.place.SignX * fx * after.place.ScaleX + after.place.OffsetX;
    const double ny = after.place.SignY * fy * after.place.ScaleY + after.place.OffsetY;
    QVERIFY2(std::abs(nx - (after.PageLeft + after.PageRight) / 2.0) <= 1.0, qPrintable(QString::number(nx)));
    QVERIFY2(std::abs(ny - (after.PageTop + after.PageBottom) / 2.0) <= 1.0, qPrintable(QString::number(ny)));
  }

  // Mirroring: the item and its tool button move together; twice restores the sign.
  void mirroringKeepsItemButtonAndSignTogether() {
    QCOMPARE(form_->view().SignY, -1);
    form_->X2->trigger();
    QVERIFY(form_->X2->isChecked() && form_->ToolButton8->isChecked());
    QCOMPARE(form_->view().SignY, +1);
    form_->ToolButton8->click();
    QVERIFY(!form_->X2->isChecked() && !form_->ToolButton8->isChecked());
    QCOMPARE(form_->view().SignY, -1);
    form_->ToolButton9->click();
    QVERIFY(form_->Y1->isChecked());
    QCOMPARE(form_->view().SignX, -1);
    form_->Y1->trigger();
    QVERIFY(!form_->ToolButton9->isChecked());
    QCOMPARE(form_->view().SignX, +1);
  }

  // The font item switches the system-font controls; pseudo-inch names its unit in the panel.
  void fontAndPseudoInchItems() {
    QVERIFY(!form_->ANSI1->isEnabled());
    form_->PCAD1->trigger();
    QVERIFY(form_->ANSI1->isEnabled() && form_->OEM1->isEnabled() && form_->ComboBox1->isEnabled() &&
            form_->RxSpinEdit2->isEnabled());
    form_->PCAD1->trigger();
    QVERIFY(!form_->OEM1->isEnabled() && !form_->RxSpinEdit2->isEnabled());

    QVERIFY(form_->N21->isEnabled() && form_->N21->isChecked());
    const std::tuple<bool, const char*, const char*> cases[] = {
        {true, "Дюйм", "Псевдодюйм"},
        {false, "Inch", "Mils"},
    };
    for (const auto& [russian, inch, mils] : cases) {
      (russian ? form_->N20 : form_->English1)->trigger();
      form_->N21->trigger();
      QCOMPARE(form_->statusPanel(7)->text(), QString::fromUtf8(inch));
      form_->N21->trigger();
      QCOMPARE(form_->statusPanel(7)->text(), QString::fromUtf8(mils));
    }
  }

  // In a locale whose separator is a point, the zoom box writes, reads and types a point.
  void theZoomBoxFollowsTheLocalesSeparator() {
    form_.reset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::unique_ptr<Form1> form = StartUp({dir_.filePath("view.plt")}, &seams_);
    QCOMPARE(form->zoomSeparator(), '.');
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->drawingArea()->repaint();  // the fit writes its zoom with a point
    QCOMPARE(form->Edit1->text(), QString::number(form->view().Zoom, 'f', 4));
    form->view().Zoom = 1.0;
    form->ToolButton13->click();
    QCOMPARE(form->Edit1->text(), QStringLiteral("1.5000"));
    form->activateWindow();
    form->Edit1->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, "3,25");
    QCOMPARE(form->Edit1->text(), QStringLiteral("3.25"));
    QCOMPARE(form->view().Zoom, 3.25);
  }

  // Each command draws once, printer setup too.
  void eachCommandDrawsOnce() {
    const std::function<void()> commands[] = {
        [&] { form_->ToolButton13->click(); },
        [&] { form_->ToolButton11->click(); },
        [&] { form_->ToolButton21->click(); },
        [&] { form_->X2->trigger(); },
        [&] { form_->ToolButton9->click(); },
        [&] { form_->N9->trigger(); },
        [&] { form_->N24->trigger(); },
        [&] { form_->N21->trigger(); },
        [&] { form_->PCAD1->trigger(); },
        [&] { form_->ToolButton4->click(); },
        [&] {  // printer setup accepted: a 600 dpi portrait file printer
          seams_.printerFile = dir_.filePath("setup.pdf");
          seams_.printerDpi = 600;
          seams_.printerOrientation = QPageLayout::Portrait;
          form_->N4Click();
        },
    };
    int i = 0;
    for (const auto& command : commands) {
      Settle();
      command();
      QTRY_COMPARE(counter_.paints, 1);
      QApplication::processEvents();
      QVERIFY2(counter_.paints == 1, qPrintable(QString("command %1: %2 paints").arg(i).arg(counter_.paints)));
      ++i;
    }
  }

 private:
  // A key typed where the keyboard is: to the focused widget, or the window when none has focus.
  void Type(char key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
    QTest::keyClick(target, key, mods);
  }
  // Paints now whatever is pending and starts the count afresh.
  void Settle() {
    form_->drawingArea()->repaint();
    QApplication::processEvents();
    counter_.paints = 0;
  }

  QTemporaryDir dir_;
  test::FakeSeams seams_;
  PaintCounter counter_;
  std::unique_ptr<Form1> form_;
};

QTEST_MAIN(ViewCommandsTest)
#include "shell_view_commands_test.moc"
