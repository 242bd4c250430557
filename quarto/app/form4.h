#pragma once
// Form4: the about box. Created hidden at start-up and kept for the life of the program.
#include <QDialog>

namespace quarto {

class Form4 : public QDialog {
  Q_OBJECT
 public:
  explicit Form4(QWidget* parent = nullptr);
};

}  // namespace quarto
