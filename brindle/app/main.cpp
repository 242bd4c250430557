#include <QApplication>
#include <filesystem>

#include "app/mainform.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brindle"));
  TMainForm form;
  form.show();
  // The name as the system passed it (Qt has taken out its own options): decoding it
  // would lose the bytes of a name that is not UTF-8.
  if (argc > 1) form.OpenFromCommandLine(std::filesystem::path(argv[1]));
  return QApplication::exec();
}
