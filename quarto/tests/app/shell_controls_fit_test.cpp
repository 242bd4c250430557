// Every control and caption whole at the design size, in both languages, with the fonts the
// machine has: the tool bar's controls all on the bar (none behind its extension arrow), the
// zoom box holding "100,0000", the status panels their labels, versions and units, the layer
// table its headers and statuses, the buttons and check boxes of every window their texts, and
// the "Application Error" box room for its caption.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/startup.h"
#include "app/ui_seams.h"
#include "shell_fake_seams.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// The width a button's or check box's text has to be drawn in, by the widget's style.
int TextRoom(QAbstractButton* button) {
  if (auto* box = qobject_cast<QCheckBox*>(button)) {
    QStyleOptionButton opt;
    opt.initFrom(box);
    opt.text = box->text();
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, box).width();
  }
  QStyleOptionButton opt;
  opt.initFrom(button);
  opt.text = button->text();
  return button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button).width();
}

}  // namespace

class ControlsFitTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    seams_ = std::make_unique<test::FakeSeams>();
    form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
    form_->ShowAsSettingsSay();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QApplication::processEvents();
    QCOMPARE(form_->frameGeometry().size(), QSize(Form1::kMinOuterWidth, Form1::kMinOuterHeight));
  }
  void cleanup() {
    form_.reset();
    seams_.reset();
  }

  void theToolBarShowsEveryControl() {
    QToolBar* bar = form_->ToolBar1;
    int controls = 0;
    for (QWidget* w : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w->objectName() == QStringLiteral("qt_toolbar_ext_button")) {
        QVERIFY2(!w->isVisible(), "the extension arrow hides controls");
        continue;
      }
      if (w->objectName().isEmpty()) continue;  // separators
      ++controls;
      QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
      QVERIFY2(bar->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
    QCOMPARE(controls, 16);  // 11 buttons, the zoom box, two lists and two spin edits
    QVERIFY(form_->ToolButton16->isVisible());
  }

  void theZoomBoxHoldsItsWidestText() {
    QLineEdit* box = form_->Edit1;
    QStyleOptionFrame opt;
    opt.initFrom(box);
    opt.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box);
    // The line edit keeps 2 pixels on each side of its text.
    const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - 4;
    for (const char* text : {"100,0000", "100.0000"})
      QVERIFY2(box->fontMetrics().horizontalAdvance(QString::fromLatin1(text)) <= room, text);
  }

  void statusPanelsHoldTheirTexts() {
    const QStringList texts[] = {
        {U("Имя файла:"), U("File name:")},
        {},
        {U("Формат:"), U("Format:")},
        {U("PLT 4"), U("PLT 8")},
        {U("Версия:"), U("Version:")},
        {U("65535")},
        {U("Единица измерения:"), U("Unit:")},
        {U("Псевдодюйм"), U("Mils"), U("Метрика"), U("Metrics"), U("Дюйм"), U("Inch")},
    };
    for (int panel = 0; panel < 8; ++panel) {
      QLabel* label = form_->statusPanel(panel);
      for (const QString& text : texts[panel])
        QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("panel %1: %2").arg(panel).arg(text)));
    }
    // Together they still fit the design width.
    QVERIFY(form_->statusPanel(8)->geometry().right() < form_->width());
  }

  void layerTableHeadersAndStatusesFit() {
    Form2* table = form_->form2();
    StringGrid* grid = table->StringGrid1;
    for (bool russian : {true, false}) {
      russian ? form_->N20Click() : form_->English1Click();
      // Row 0 the headers, then an on and an off status.
      table->table().Grid.At(ColStatus, 2) = russian ? "   Выкл." : "   OFF";
      for (int row = 0; row < kLayerGridRows; ++row)
        for (int col = 0; col < kLayerGridColumns; ++col) {
          const QString text = QString::fromStdString(table->table().Grid.At(col, row));
          QVERIFY2(grid->fontMetrics().horizontalAdvance(text) <= grid->TextRect(col, row).width(),
                   qPrintable(QStringLiteral("%1,%2: %3").arg(col).arg(row).arg(text)));
        }
      QVERIFY(grid->CellRect(ColNames, 0).right() < grid->width());
    }
  }

  void buttonsAndCheckBoxesOfEveryWindowShowTheirTexts() {
    for (bool russian : {true, false}) {
      russian ? form_->N20Click() : form_->English1Click();
      for (QWidget* window : {static_cast<QWidget*>(form_->form2()), static_cast<QWidget*>(form_->form3()),
                              static_cast<QWidget*>(form_->form4())}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
          if (!button->isVisible() || button->text().isEmpty()) continue;
          QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= TextRoom(button),
                   qPrintable(window->objectName() + ": " + button->text()));
        }
        window->hide();
      }
    }
    // The fill styles in their list.
    QComboBox* fill = form_->ComboBox2;
    QStyleOptionComboBox opt;
    opt.initFrom(fill);
    const int room =
        fill->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, fill).width();
    for (int i = 0; i < fill->count(); ++i)
      QVERIFY2(fill->fontMetrics().horizontalAdvance(fill->itemText(i)) <= room, qPrintable(fill->itemText(i)));
  }

  // The box that ends a failed start is wide enough for its caption and the title bar's buttons.
  void theApplicationErrorBoxHasRoomForItsCaption() {
    QString title;
    int width = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      width = box->width();
      box->accept();
    });
    DefaultUiSeams real;
    real.ApplicationError(QStringLiteral("File not found"));
    QCOMPARE(title, QStringLiteral("Application Error"));
    QFont caption = QApplication::font("QMdiSubWindowTitleBar");
    caption.setBold(true);
    QVERIFY2(width >= QFontMetrics(caption).horizontalAdvance(title) + 100, qPrintable(QString::number(width)));
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
  std::unique_ptr<Form1> form_;
};

QTEST_MAIN(ControlsFitTest)
#include "shell_controls_fit_test.moc"
