#pragma once
// Form3: the page-margins window. Created hidden at start-up and kept for the life of the program.
#include <QDialog>

namespace quarto {

class Form3 : public QDialog {
  Q_OBJECT
 public:
  explicit Form3(QWidget* parent = nullptr);
};

}  // namespace quarto
