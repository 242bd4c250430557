// Quarto: shows, prints and exports PLT 4.5 and PLT 8.5 plot files.
// Usage: Quarto [plot file [@X1:Y1_X2:Y2]]
#include <QApplication>

#include "app/startup.h"
#include "common_qt/file_names.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quarto"));
  // The arguments' bytes as they are: a file name need not be valid UTF-8.
  return quarto::RunQuarto(common_qt::ArgumentsOf(argc, argv));
}
