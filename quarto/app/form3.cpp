#include "app/form3.h"

namespace quarto {

Form3::Form3(QWidget* parent) : QDialog(parent, Qt::Tool) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QString::fromUtf8("Параметры страницы"));
  setModal(false);
}

}  // namespace quarto
