#include "app/dialogs.h"

#include <QDialog>
#include <QMessageBox>

#include "common_qt/file_dialog.h"

QStringList QtDialogs::NameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out;
}

QString QtDialogs::openFile(QWidget* parent, const QString& folder, const QString& filter, int& filterIndex) {
  common_qt::FileDialogRequest request{.mode = common_qt::FileDialogRequest::Mode::Open,
                                       .title = QStringLiteral("Open"),
                                       .folder = folder,
                                       .proposedName = QString(),
                                       .nameFilters = NameFilters(filter),
                                       .filterIndex = filterIndex - 1};
  const QString chosen = common_qt::ChooseFile(parent, request);
  if (!chosen.isEmpty()) filterIndex = request.filterIndex + 1;
  return chosen;
}

QString QtDialogs::saveFile(QWidget* parent, const QString& folder, const QString& proposedName, const QString& filter,
                            int& filterIndex) {
  // The chosen format gives the extension, and replacing happens without a question.
  common_qt::FileDialogRequest request{.mode = common_qt::FileDialogRequest::Mode::Save,
                                       .title = QStringLiteral("Save As"),
                                       .folder = folder,
                                       .proposedName = proposedName,
                                       .nameFilters = NameFilters(filter),
                                       .filterIndex = filterIndex - 1};
  const QString chosen = common_qt::ChooseFile(parent, request);
  if (!chosen.isEmpty()) filterIndex = request.filterIndex + 1;
  return chosen;
}

void QtDialogs::errorBox(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::critical(parent, title, text);
}

void QtDialogs::messageBox(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::showModal(QDialog* window) { window->exec(); }
