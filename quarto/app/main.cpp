// Quarto: shows, prints and exports PLT 4.5 and PLT 8.5 plot files.
// Usage: Quarto [plot file [@X1:Y1_X2:Y2]]
#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quarto"));
  return quarto::RunQuarto(QApplication::arguments().mid(1));
}
