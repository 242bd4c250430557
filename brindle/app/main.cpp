#include <QApplication>

#include "app/mainform.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brindle"));
  TMainForm form;
  form.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) form.OpenFromCommandLine(args.at(1));
  return QApplication::exec();
}
