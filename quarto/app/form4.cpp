#include "app/form4.h"

namespace quarto {

Form4::Form4(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QString::fromUtf8("О программе"));
  setModal(false);
}

}  // namespace quarto
