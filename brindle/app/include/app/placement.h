#pragma once
// Window placement shared by the main window, the zoom window and the about box.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

// Moves a top-level window so that its frame is centred on the screen it belongs to: on
// the screen's available area (without task bars), or on the whole screen.
inline void CentreWindow(QWidget* window, bool availableArea) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = availableArea ? screen->availableGeometry() : screen->geometry();
  const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
  const QSize outer = window->size().grownBy(frame);
  // move() places the frame's top-left corner.
  window->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}
