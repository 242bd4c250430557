#pragma once
// Form4: the about box. Created hidden at start-up and kept for the life of the program; a tool
// window on top of the main window that does not block it. The language switch rewrites its
// texts and shows the pictures of the language; its links go to the desktop through the seams.
#include <QDialog>
#include <QFrame>

#include "app/rx_components.h"

namespace quarto {

class Form1;
class UiSeams;

class Form4 : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 234;
  static constexpr int kClientHeight = 504;

  explicit Form4(Form1* mainWindow);

  // Title pictures (Russian, English) on one place; second pictures (Russian, English) on another.
  PaintedPicture *RxGIFAnimator1, *RxGIFAnimator4, *RxGIFAnimator2, *RxGIFAnimator5;
  PaintedPicture* RxGIFAnimator3;
  PaintedPicture* Image1;
  QFrame* Bevel1;
  ShadowLabel *RxLabel1, *RxLabel2, *RxLabel3, *RxLabel4, *RxLabel5, *RxLabel6, *RxLabel7;

 public slots:
  // The mail link.
  void RxGIFAnimator2Click();
  void RxLabel3Click();
  // The web site's home page.
  void Image1Click();
  // The program's page.
  void RxLabel7Click();

 private:
  UiSeams& seams() const;
};

}  // namespace quarto
