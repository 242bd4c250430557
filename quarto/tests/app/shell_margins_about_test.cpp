// The page-margins window and the about box: the margins' mapping to the spin edits, OK and the
// close box, limits and text that is no number, the preview's margin lines; the about box's links,
// cursors, pictures and labels; both windows' kind.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

void SetEditText(QDoubleSpinBox* spin, const QString& text) { spin->findChild<QLineEdit*>()->setText(text); }

// The leftmost vertical margin line of the preview: the first column of the drawing area in which
// at least a fifth of the pixels are pure red (the horizontal margin lines add one pixel a column).
int LeftMarginLineColumn(QWidget* area) {
  const QImage img = area->grab().toImage();
  for (int x = 0; x < img.width(); ++x) {
    int red = 0;
    for (int y = 0; y < img.height(); ++y) red += img.pixel(x, y) == qRgb(255, 0, 0);
    if (red > img.height() / 5) return x;
  }
  return -1;
}

}  // namespace

class MarginsAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    seams_ = std::make_unique<test::FakeSeams>();
    form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
    form3_ = form_->form3();
    form4_ = form_->form4();
  }
  void cleanup() {
    form_.reset();
    seams_.reset();
  }

  void marginsWindowLayout() {
    QCOMPARE(form3_->size(), QSize(247, 136));
    const struct {
      QWidget* w;
      QRect geometry;
    } parts[] = {
        {form3_->RxLabel1, {8, 8, 231, 13}},      {form3_->RxLabel2, {26, 40, 37, 13}},
        {form3_->RxSpinEdit1, {72, 40, 49, 21}},  {form3_->RxLabel3, {136, 40, 43, 13}},
        {form3_->RxSpinEdit3, {184, 40, 49, 21}}, {form3_->RxLabel4, {16, 72, 47, 13}},
        {form3_->RxSpinEdit2, {72, 72, 49, 21}},  {form3_->RxLabel5, {134, 72, 45, 13}},
        {form3_->RxSpinEdit4, {184, 72, 49, 21}}, {form3_->BitBtn1, {160, 104, 75, 25}},
    };
    for (const auto& [w, geometry] : parts) QCOMPARE(w->geometry(), geometry);
    QVERIFY(form3_->BitBtn1->isDefault());
    QCOMPARE(form3_->BitBtn1->text(), QStringLiteral("OK"));
    // Tab order: left, top, right, bottom, OK.
    form_->N17Click();
    QVERIFY(QTest::qWaitForWindowExposed(form3_));
    form3_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form3_));
    QWidget* order[] = {form3_->RxSpinEdit1, form3_->RxSpinEdit2, form3_->RxSpinEdit3, form3_->RxSpinEdit4,
                        form3_->BitBtn1};
    order[0]->setFocus();
    for (int i = 0; i + 1 < 5; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      QVERIFY(focus == order[i + 1] || focus->parentWidget() == order[i + 1]);
    }
  }

  void activationShowsTheMarginsAndOkStoresThemByTheirEdits() {
    PageMarginsCm& m = form_->view().PageMargins;
    m = {.left = 1.0, .right = 2.5, .top = 0.5, .bottom = 4.0};
    form_->N17Click();
    QCOMPARE(form3_->RxSpinEdit1->value(), 1.0);  // left
    QCOMPARE(form3_->RxSpinEdit2->value(), 0.5);  // top
    QCOMPARE(form3_->RxSpinEdit3->value(), 2.5);  // right
    QCOMPARE(form3_->RxSpinEdit4->value(), 4.0);  // bottom

    form3_->RxSpinEdit1->setValue(3.0);
    form3_->RxSpinEdit2->setValue(1.5);
    form3_->RxSpinEdit3->setValue(0.0);
    form3_->RxSpinEdit4->setValue(5.0);
    form3_->BitBtn1->click();
    QCOMPARE(m, (PageMarginsCm{.left = 3.0, .right = 0.0, .top = 1.5, .bottom = 5.0}));
    QVERIFY(form3_->isHidden());
  }

  // The margins and the language come from the settings file: the dialog shows the margins read,
  // in the language read, and what OK stores is what closing writes, each edit under its own key.
  void theSettingsFileFillsTheDialogAndOkGoesBackIntoIt() {
    form_.reset();
    QDir().mkpath(QFileInfo(seams_->settingsFile()).path());
    {
      QFile ini(seams_->settingsFile());
      QVERIFY(ini.open(QIODevice::WriteOnly));
      ini.write("[Page]\nLeft=150\nRight=25\nUp=400\nDown=5\n[Language]\nRussian=0\nEnglish=1\n");
    }
    form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
    form3_ = form_->form3();
    form_->N17Click();
    QCOMPARE(form3_->windowTitle(), U("Page setup"));
    QCOMPARE(form3_->RxLabel2->text(), U("Left:"));
    QCOMPARE(form3_->RxSpinEdit1->value(), 1.5);   // left
    QCOMPARE(form3_->RxSpinEdit2->value(), 4.0);   // top ("Up")
    QCOMPARE(form3_->RxSpinEdit3->value(), 0.25);  // right
    QCOMPARE(form3_->RxSpinEdit4->value(), 0.05);  // bottom ("Down")

    SetEditText(form3_->RxSpinEdit1, QStringLiteral("2,5"));
    SetEditText(form3_->RxSpinEdit2, QStringLiteral("0,75"));
    SetEditText(form3_->RxSpinEdit3, QStringLiteral("5"));
    SetEditText(form3_->RxSpinEdit4, QStringLiteral("0"));
    form3_->BitBtn1->click();
    form_->close();
    form_.reset();
    QFile ini(seams_->settingsFile());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.startsWith("[Page]\nLeft=250\nRight=500\nUp=75\nDown=0\n"), text.constData());
    QVERIFY2(text.contains("[Language]\nRussian=0\nEnglish=1\n"), text.constData());
    QVERIFY(seams_->errors.isEmpty());
  }

  void okRepaintsTheMainWindowOnceEvenWithoutChanges() {
    test::PaintCounter counter;
    form_->drawingArea()->installEventFilter(&counter);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    form_->N17Click();
    test::SettlePaints(counter);
    counter.paints = 0;
    form3_->BitBtn1->click();
    test::SettlePaints(counter);
    QCOMPARE(counter.paints, 1);
  }

  void closeBoxAndComingBackDropEdits() {
    PageMarginsCm& m = form_->view().PageMargins;
    m = {.left = 1.0, .right = 1.5, .top = 2.0, .bottom = 2.5};
    const PageMarginsCm stored = m;
    form_->N17Click();
    form3_->RxSpinEdit1->setValue(4.0);
    form3_->close();
    QCOMPARE(m, stored);
    QVERIFY(form3_->isHidden());
    form_->N17Click();
    QCOMPARE(form3_->RxSpinEdit1->value(), 1.0);

    // Leaving the window and coming back: the window is active again, the edit is gone.
    // (A tool window counts as active while its main window is: wait for the window system's focus.)
    form3_->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form3_->windowHandle());
    form3_->RxSpinEdit3->setValue(4.5);
    form_->show();
    form_->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form_->windowHandle());
    QCOMPARE(form3_->RxSpinEdit3->value(), 4.5);
    form3_->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form3_->windowHandle());
    QCOMPARE(form3_->RxSpinEdit3->value(), 1.5);
    QCOMPARE(m, stored);
  }

  void spinEditsHoldLimitsStepAndTwoDecimals() {
    for (DecimalSpinEdit* s : {form3_->RxSpinEdit1, form3_->RxSpinEdit2, form3_->RxSpinEdit3, form3_->RxSpinEdit4}) {
      QCOMPARE(s->minimum(), 0.0);
      QCOMPARE(s->maximum(), 5.0);
      QCOMPARE(s->singleStep(), 0.5);
      QCOMPARE(s->decimals(), 2);
    }
    DecimalSpinEdit* s = form3_->RxSpinEdit1;
    s->setValue(4.5);
    s->stepUp();
    QCOMPARE(s->value(), 5.0);
    s->stepUp();
    QCOMPARE(s->value(), 5.0);
    s->setValue(0.5);
    s->stepDown();
    s->stepDown();
    QCOMPARE(s->value(), 0.0);
  }

  void textThatIsNoNumberGivesZero() {
    PageMarginsCm& m = form_->view().PageMargins;
    m = {.left = 2.0, .right = 2.0, .top = 2.0, .bottom = 2.0};
    form_->show();
    form_->N17Click();
    QVERIFY(QTest::qWaitForWindowExposed(form3_));
    // The text at OK counts, not the last valid value: an emptied box typed into by the user...
    form3_->RxSpinEdit1->setFocus();
    form3_->RxSpinEdit1->selectAll();
    QTest::keyClick(form3_->RxSpinEdit1, Qt::Key_Backspace);
    QCOMPARE(form3_->RxSpinEdit1->text(), QString());
    // ... and a text put in the edit that is no number.
    SetEditText(form3_->RxSpinEdit4, QStringLiteral("abc"));
    QTest::mouseClick(form3_->BitBtn1, Qt::LeftButton);
    QCOMPARE(m.left, 0.0);
    QCOMPARE(m.bottom, 0.0);
    QCOMPARE(m.top, 2.0);
    QCOMPARE(m.right, 2.0);
  }

  void theLocaleChoosesTheDecimalSeparator() {
    struct Case {
      QLocale locale;
      const char* text;
    };
    const Case cases[] = {{QLocale::c(), "1.50"}, {QLocale(QLocale::Russian, QLocale::Russia), "1,50"}};
    const QLocale saved;
    for (const Case& c : cases) {
      QLocale::setDefault(c.locale);
      {
        Form1 main(seams_.get());
        Form3 dialog(&main);
        main.view().PageMargins.left = 1.5;
        dialog.FormActivate();
        QCOMPARE(dialog.RxSpinEdit1->text(), QString::fromLatin1(c.text));
        main.view().PageMargins.left = 0;
        SetEditText(dialog.RxSpinEdit1, QString::fromLatin1(c.text));
        dialog.BitBtn1Click();
        QCOMPARE(main.view().PageMargins.left, 1.5);
      }
    }
    QLocale::setDefault(saved);
  }

  void afterOkThePreviewsMarginLinesMove() {
    QTemporaryDir dir;
    seams_->openAnswers << test::WriteSamplePlot(dir.filePath("a.plt"));
    form_->N2Click();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    const int before = LeftMarginLineColumn(form_->drawingArea());
    QVERIFY(before >= 0);
    form_->N17Click();
    form3_->RxSpinEdit1->setValue(5.0);
    const int stillBefore = LeftMarginLineColumn(form_->drawingArea());
    QCOMPARE(stillBefore, before);  // nothing moves before OK
    form3_->BitBtn1->click();
    QApplication::processEvents();
    // 5 cm of a portrait page at least a few pixels wide in the preview.
    QTRY_VERIFY(LeftMarginLineColumn(form_->drawingArea()) > before + 10);
  }

  void bothWindowsAreNonModalOnTopAndHiddenWhenClosed() {
    for (QDialog* w : {static_cast<QDialog*>(form3_), static_cast<QDialog*>(form4_)}) {
      QVERIFY(!w->isModal());
      QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
      QVERIFY(w->windowFlags().testFlag(Qt::Tool));
      QVERIFY(w->isHidden());
      QPointer<QDialog> alive(w);
      w->show();
      QVERIFY(QTest::qWaitForWindowExposed(w));
      w->close();
      QVERIFY(alive);
      QVERIFY(w->isHidden());
    }
    form_->N16Click();
    QVERIFY(form4_->isVisible());
    QVERIFY(!form4_->isModal());
  }

  void aboutBoxLayout() {
    QCOMPARE(form4_->size(), QSize(234, 504));
    const struct {
      QWidget* w;
      QRect geometry;
    } parts[] = {
        {form4_->RxGIFAnimator1, {16, 0, 200, 70}},   {form4_->RxGIFAnimator4, {16, 0, 200, 70}},
        {form4_->RxGIFAnimator2, {40, 72, 150, 69}},  {form4_->RxGIFAnimator5, {40, 72, 150, 69}},
        {form4_->RxLabel1, {11, 144, 208, 32}},       {form4_->RxLabel2, {14, 177, 204, 26}},
        {form4_->RxLabel3, {10, 208, 214, 19}},       {form4_->Bevel1, {8, 229, 217, 140}},
        {form4_->RxLabel4, {27, 234, 176, 39}},       {form4_->Image1, {27, 274, 176, 45}},
        {form4_->RxLabel6, {14, 320, 204, 26}},       {form4_->RxLabel7, {14, 344, 206, 15}},
        {form4_->RxGIFAnimator3, {48, 376, 135, 90}}, {form4_->RxLabel5, {5, 472, 223, 26}},
    };
    for (const auto& [w, geometry] : parts) QCOMPARE(w->geometry(), geometry);
    // Fonts: the stand-ins of the design fonts, at most the design height, bold or italic as designed.
    const struct {
      ShadowLabel* label;
      const char* family;
      int pixels;
      bool bold, italic;
      QColor colour;
    } fonts[] = {
        {form4_->RxLabel1, "Liberation Sans", 13, true, false, QColor(0, 0, 128)},
        {form4_->RxLabel2, "Liberation Sans", 12, true, false, QColor(0, 128, 0)},
        {form4_->RxLabel3, "Liberation Serif", 16, true, false, QColor(0, 0, 255)},
        {form4_->RxLabel4, "Liberation Sans", 11, true, false, QColor(255, 0, 0)},
        {form4_->RxLabel6, "Liberation Sans", 11, true, false, QColor(128, 0, 0)},
        {form4_->RxLabel7, "Liberation Serif", 13, false, true, QColor(0, 0, 255)},
        {form4_->RxLabel5, "Liberation Sans", 12, true, false, form4_->palette().color(QPalette::WindowText)},
    };
    for (const auto& f : fonts) {
      const QByteArray name = f.label->objectName().toLatin1();
      QCOMPARE(QFontInfo(f.label->font()).family(), U(f.family));
      QVERIFY2(f.label->font().pixelSize() <= f.pixels && f.label->font().pixelSize() >= f.pixels - 4, name);
      QCOMPARE(f.label->font().bold(), f.bold);
      QCOMPARE(f.label->font().italic(), f.italic);
      QCOMPARE(f.label->palette().color(QPalette::WindowText), f.colour);
      QVERIFY2(f.label->graphicsEffect(), name);  // the shadow
    }
  }

  void noLabelIsClippedInEitherLanguage() {
    for (bool russian : {true, false, true}) {
      russian ? form_->N20Click() : form_->English1Click();
      for (QWidget* window : {static_cast<QWidget*>(form3_), static_cast<QWidget*>(form4_)}) {
        for (ShadowLabel* label : window->findChildren<ShadowLabel*>()) {
          const QRect inside = label->contentsRect();
          const QRect text =
              QFontMetrics(label->font()).boundingRect(inside, static_cast<int>(label->alignment()), label->text());
          QVERIFY2(inside.contains(text), qPrintable(label->objectName() + ": " + label->text()));
        }
      }
    }
  }

  void linksGoToTheSeam() {
    form_->N16Click();
    QVERIFY(QTest::qWaitForWindowExposed(form4_));
    const struct {
      QWidget* item;
      const char* url;
    } links[] = {
        {form4_->RxLabel3, "mailto:author@example.org"},
        {form4_->RxGIFAnimator2, "mailto:author@example.org"},
        {form4_->Image1, "https://example.org/"},
        {form4_->RxLabel7, "https://example.org/quarto/"},
    };
    for (const auto& [item, url] : links) {
      seams_->urls.clear();
      QTest::mouseClick(item, Qt::LeftButton, Qt::NoModifier, item->rect().center());
      QCOMPARE(seams_->urls, QStringList{QString::fromLatin1(url)});
      QCOMPARE(item->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(form4_->RxGIFAnimator5->cursor().shape(), Qt::ArrowCursor);
    // A right click opens nothing.
    seams_->urls.clear();
    QTest::mouseClick(form4_->RxLabel3, Qt::RightButton, Qt::NoModifier, form4_->RxLabel3->rect().center());
    QVERIFY(seams_->urls.isEmpty());
  }

  void withEnglishTheSecondPictureOpensNothingButTheMailLabelDoes() {
    form_->N16Click();
    QVERIFY(QTest::qWaitForWindowExposed(form4_));
    const QPoint pairCentre = form4_->RxGIFAnimator2->geometry().center();
    const QPoint mailCentre = form4_->RxLabel3->geometry().center();
    struct Case {
      bool russian;
      QStringList expected;
    };
    const Case cases[] = {
        {false, {"mailto:author@example.org"}},
        {true, {"mailto:author@example.org", "mailto:author@example.org"}},
    };
    for (const Case& c : cases) {
      c.russian ? form_->N20Click() : form_->English1Click();
      seams_->urls.clear();
      for (QPoint p : {pairCentre, mailCentre}) {
        QWidget* under = form4_->childAt(p);
        QVERIFY(under);
        QTest::mouseClick(under, Qt::LeftButton, Qt::NoModifier, under->mapFrom(form4_, p));
      }
      QCOMPARE(seams_->urls, c.expected);
    }
  }

  void picturesAnimateOnlyWhileTheBoxIsVisible() {
    PaintedPicture* const all[] = {form4_->RxGIFAnimator1, form4_->RxGIFAnimator2, form4_->RxGIFAnimator3,
                                   form4_->RxGIFAnimator4, form4_->RxGIFAnimator5, form4_->Image1};
    for (PaintedPicture* p : all) QVERIFY2(!p->animating(), qPrintable(p->objectName()));
    form_->N16Click();
    QVERIFY(QTest::qWaitForWindowExposed(form4_));
    QVERIFY(form4_->RxGIFAnimator1->animating());
    QVERIFY(form4_->RxGIFAnimator2->animating());
    QVERIFY(form4_->RxGIFAnimator3->animating());
    QVERIFY(!form4_->RxGIFAnimator4->animating());
    QVERIFY(!form4_->RxGIFAnimator5->animating());
    QVERIFY(!form4_->Image1->animating());  // a still picture
    const int frame = form4_->RxGIFAnimator3->frame();
    QTRY_VERIFY(form4_->RxGIFAnimator3->frame() != frame);
    form_->English1Click();
    QVERIFY(!form4_->RxGIFAnimator1->animating());
    QVERIFY(form4_->RxGIFAnimator4->animating());
    QVERIFY(form4_->RxGIFAnimator5->animating());
    form4_->close();
    for (PaintedPicture* p : all) QVERIFY2(!p->animating(), qPrintable(p->objectName()));
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
  std::unique_ptr<Form1> form_;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
};

QTEST_MAIN(MarginsAboutTest)
#include "shell_margins_about_test.moc"
