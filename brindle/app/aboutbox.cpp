#include "app/aboutbox.h"

#include <QPushButton>

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(190, 160);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(190 / 2 - 75 / 2, 122, 75, 25);
  connect(ok, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick() { close(); }
