#pragma once
// The zoom window: the picture enlarged twice. For now both modes stretch the picture.
#include <QDialog>

#include "core/screen.h"

class TZoomForm : public QDialog {
  Q_OBJECT
 public:
  // smoothZoom and shiftDown are the main window's flags: the first is read, the second
  // cleared when Shift is released here.
  TZoomForm(const brindle::Pic& pic, const bool& smoothZoom, bool& shiftDown, QWidget* parent = nullptr);

  int ZoomSize = 512;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  const brindle::Pic& pic_;
  const bool& smoothZoom_;
  bool& shiftDown_;
};
