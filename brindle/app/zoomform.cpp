#include "app/zoomform.h"

#include <QKeyEvent>
#include <QPainter>

#include "app/picimage.h"
#include "app/placement.h"
#include "core/zoom.h"

TZoomForm::TZoomForm(const brindle::Pic& pic, const bool& smoothZoom, bool& shiftDown, QWidget* parent)
    : QDialog(parent), pic_(pic), smoothZoom_(smoothZoom), shiftDown_(shiftDown) {
  FormCreate();
}

void TZoomForm::FormCreate() {
  setObjectName(QStringLiteral("ZoomForm"));
  // A tool window with a title bar and its system menu (close) only. Qt paints widgets
  // through a back buffer already, so the picture does not flicker.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowTitle(QStringLiteral("Zoom"));
  setFixedSize(ZoomSize, ZoomSize);
}

void TZoomForm::FormShow() {
  ZoomSize = smoothZoom_ ? brindle::SmoothZoomSize : 2 * brindle::Pic::Width;
  setFixedSize(ZoomSize, ZoomSize);
  CentreWindow(this, true);
}

void TZoomForm::FormPaint() {
  QPainter painter(this);
  if (smoothZoom_) {
    // Computed afresh at every paint: nothing of it is kept.
    painter.drawImage(0, 0, RgbToImage(brindle::SmoothZoomed(pic_)));
  } else {
    // Nearest-pixel scaling by exactly two: every picture pixel becomes a 2 x 2 block.
    const QImage image = PicToImage(pic_);
    painter.drawImage(0, 0, image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation));
  }
}

void TZoomForm::FormKeyUp(int key) {
  if (key == Qt::Key_Shift) shiftDown_ = false;
  if (key == Qt::Key_Escape) close();
}

void TZoomForm::showEvent(QShowEvent* event) {
  keyRule_.reset();
  FormShow();
  QDialog::showEvent(event);
}

void TZoomForm::paintEvent(QPaintEvent*) { FormPaint(); }

void TZoomForm::keyPressEvent(QKeyEvent* event) {
  keyRule_.pressed(*event);
  // A dialog closes itself when Esc is pressed; this window closes when it is released.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TZoomForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  // Shift is up again whatever its presses were; Esc closes only on a release that counts.
  if (keyRule_.released(*event) || event->key() == Qt::Key_Shift) FormKeyUp(event->key());
}

void TZoomForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) keyRule_.reset();
  QDialog::changeEvent(event);
}
