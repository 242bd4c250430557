#include "app/zoomform.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "app/picimage.h"

TZoomForm::TZoomForm(const brindle::Pic& pic, const bool& smoothZoom, bool& shiftDown, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      pic_(pic),
      smoothZoom_(smoothZoom),
      shiftDown_(shiftDown) {
  setObjectName(QStringLiteral("ZoomForm"));
  setWindowTitle(QStringLiteral("Zoom"));
}

void TZoomForm::showEvent(QShowEvent* event) {
  ZoomSize = smoothZoom_ ? 511 : 512;
  setFixedSize(ZoomSize, ZoomSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QDialog::showEvent(event);
}

void TZoomForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QRect(0, 0, 512, 512), PicToImage(pic_));
}

void TZoomForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Shift) shiftDown_ = false;
  if (event->key() == Qt::Key_Escape) close();
}
