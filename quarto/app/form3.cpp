#include "app/form3.h"

#include <QGuiApplication>
#include <QWindow>

#include "app/form1.h"
#include "app/interface_language.h"
#include "core/interface_texts.h"

namespace quarto {

Form3::Form3(Form1* mainWindow) : QDialog(mainWindow, kSecondaryWindowFlags), main_(mainWindow) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(InterfaceQString(kRowForm3Caption, true));
  setModal(false);
  setFixedSize(kClientWidth, kClientHeight);
  const QFont font = PixelFont(kSansFamily, 11);
  setFont(font);

  const Qt::Alignment right = Qt::AlignRight | Qt::AlignTop;
  RxLabel1 = new ShadowLabel(this, "RxLabel1", {8, 8, 231, 13}, font, Qt::AlignLeft | Qt::AlignTop);
  RxLabel2 = new ShadowLabel(this, "RxLabel2", {26, 40, 37, 13}, font, right);
  RxLabel3 = new ShadowLabel(this, "RxLabel3", {136, 40, 43, 13}, font, right);
  RxLabel4 = new ShadowLabel(this, "RxLabel4", {16, 72, 47, 13}, font, right);
  RxLabel5 = new ShadowLabel(this, "RxLabel5", {134, 72, 45, 13}, font, right);
  // The labels' rows of the interface texts follow the heading's, in label order.
  ShadowLabel* const labels[] = {RxLabel1, RxLabel2, RxLabel3, RxLabel4, RxLabel5};
  for (int i = 0; i < 5; ++i) labels[i]->SetText(InterfaceQString(kRowForm3Caption + 1 + i, true));

  auto spin = [this](const char* name, int left, int top) {
    return new DecimalSpinEdit(this, name, {left, top, 49, 21}, 0.0, 5.0, 0.5, 2);
  };
  RxSpinEdit1 = spin("RxSpinEdit1", 72, 40);
  RxSpinEdit3 = spin("RxSpinEdit3", 184, 40);
  RxSpinEdit2 = spin("RxSpinEdit2", 72, 72);
  RxSpinEdit4 = spin("RxSpinEdit4", 184, 72);

  BitBtn1 = new QPushButton(FixedQString("Form3", "BitBtn1"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(160, 104, 75, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &Form3::BitBtn1Click);

  setTabOrder(RxSpinEdit1, RxSpinEdit2);
  setTabOrder(RxSpinEdit2, RxSpinEdit3);
  setTabOrder(RxSpinEdit3, RxSpinEdit4);
  setTabOrder(RxSpinEdit4, BitBtn1);

  // Activation of this window itself: a tool window counts as active while its main window is, so
  // its own activation change would not tell when the user comes back to it.
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
      if (window && window == windowHandle()) FormActivate();
    });
  }

  CentreOnScreen(this);
}

void Form3::FormActivate() {
  const PageMarginsCm& m = main_->view().PageMargins;
  RxSpinEdit1->setValue(m.left);
  RxSpinEdit2->setValue(m.top);
  RxSpinEdit3->setValue(m.right);
  RxSpinEdit4->setValue(m.bottom);
}

void Form3::BitBtn1Click() {
  PageMarginsCm& m = main_->view().PageMargins;
  m.left = RxSpinEdit1->TextValue();
  m.right = RxSpinEdit3->TextValue();
  m.top = RxSpinEdit2->TextValue();
  m.bottom = RxSpinEdit4->TextValue();
  main_->ReDraw();
  close();  // hidden, not destroyed
}

void Form3::showEvent(QShowEvent* event) {
  // Showing makes the window active; where the window system does not say so, the edits still
  // show the stored margins.
  FormActivate();
  QDialog::showEvent(event);
}

}  // namespace quarto
