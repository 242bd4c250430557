#pragma once
// Form3: the page-margins window. Created hidden at start-up and kept for the life of the program;
// a tool window on top of the main window that does not block it. Its four spin edits show the
// view state's PageMargins each time the window becomes active, and "OK" stores them; anything
// else (the close box, leaving the window and coming back) drops the edits.
#include <QDialog>
#include <QPushButton>

#include "app/rx_components.h"

namespace quarto {

class Form1;

class Form3 : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 247;
  static constexpr int kClientHeight = 136;

  explicit Form3(Form1* mainWindow);

  ShadowLabel *RxLabel1, *RxLabel2, *RxLabel3, *RxLabel4, *RxLabel5;
  // Left, top, right and bottom margin in centimetres.
  DecimalSpinEdit *RxSpinEdit1, *RxSpinEdit2, *RxSpinEdit3, *RxSpinEdit4;
  QPushButton* BitBtn1;

 public slots:
  // Loads the spin edits from PageMargins.
  void FormActivate();
  // Stores the spin edits into PageMargins, repaints the main window once and hides the window.
  void BitBtn1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Form1* main_;
};

}  // namespace quarto
