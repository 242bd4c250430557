#include "app/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

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

namespace {

QString RunFileDialog(QFileDialog& dialog, const QString& filter, int& filterIndex) {
  const QStringList filters = QtDialogs::NameFilters(filter);
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  if (chosen >= 0) filterIndex = static_cast<int>(chosen) + 1;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

QString QtDialogs::openFile(QWidget* parent, const QString& folder, const QString& filter, int& filterIndex) {
  QFileDialog dialog(parent, QStringLiteral("Open"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog, filter, filterIndex);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& folder, const QString& proposedName, const QString& filter,
                            int& filterIndex) {
  QFileDialog dialog(parent, QStringLiteral("Save As"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The chosen format gives the extension and replacing happens without a question.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.selectFile(proposedName);
  return RunFileDialog(dialog, filter, filterIndex);
}

void QtDialogs::errorBox(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::critical(parent, title, text);
}

void QtDialogs::messageBox(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

void QtDialogs::showModal(QDialog* window) { window->exec(); }
