#pragma once
#include <QDialog>

// The about box; its full content comes with the zoom window's work.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  void OKButtonClick();
};
