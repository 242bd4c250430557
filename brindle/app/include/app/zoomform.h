#pragma once
// The zoom window: the picture enlarged twice, stretched (2 x 2 blocks, 512 x 512) or
// smoothed (511 x 511, the pixels between the picture's own averaged). Closed by Esc and
// only hidden; the main window shows it modally.
#include <QDialog>

#include "app/keyrelease.h"
#include "core/screen.h"

class TZoomForm : public QDialog {
  Q_OBJECT
 public:
  // smoothZoom and shiftDown are the main window's flags: the first is read at every
  // showing and paint, the second cleared when Shift is released here.
  TZoomForm(const brindle::Pic& pic, const bool& smoothZoom, bool& shiftDown, QWidget* parent = nullptr);

  int ZoomSize = 512;  // client width and height, set at each showing

  void FormCreate();
  void FormShow();
  void FormPaint();
  void FormKeyUp(int key);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  const brindle::Pic& pic_;
  const bool& smoothZoom_;
  bool& shiftDown_;
  KeyReleaseRule keyRule_;
};
