#pragma once
// The about box: product name, version, rights holder and date on a bevelled panel, and
// an "OK" button that closes (hides) it.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  void FormCreate();
  void OKButtonClick();

  QPushButton* OKButton = nullptr;
  QFrame* Panel = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* Copyright = nullptr;
  QLabel* Date = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};
