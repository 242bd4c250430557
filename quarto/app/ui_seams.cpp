#include "app/ui_seams.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <QUrl>

#include "common_qt/file_dialog.h"

namespace quarto {

namespace {
const QString kTitle = QStringLiteral("Quarto");
}  // namespace

QString ToQtFilter(const QString& filter) {
  QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) +
               QLatin1Char(')');
  return out.join(QStringLiteral(";;"));
}

std::optional<QString> DefaultUiSeams::OpenFileName(QWidget* parent, const QString& filter) {
  // The dialog lists names that are not UTF-8 too, and gives them back in the FileNameToQt
  // form; a typed name that does not exist fails when opened. It starts where the last one
  // chose a file.
  static QString lastFolder;
  common_qt::FileDialogRequest request{.mode = common_qt::FileDialogRequest::Mode::Open,
                                       .title = QCoreApplication::translate("QFileDialog", "Open"),
                                       .folder = lastFolder,
                                       .proposedName = QString(),
                                       .nameFilters = ToQtFilter(filter).split(QStringLiteral(";;")),
                                       .filterIndex = 0};
  const QString chosen = common_qt::ChooseFile(parent, request);
  if (chosen.isEmpty()) return std::nullopt;
  lastFolder = chosen.left(chosen.lastIndexOf(QLatin1Char('/')));
  return chosen;
}

void DefaultUiSeams::Message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, kTitle, text, QMessageBox::Ok);
}

void DefaultUiSeams::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, kTitle, text, QMessageBox::Ok);
}

void DefaultUiSeams::ApplicationError(const QString& text) {
  QMessageBox::critical(nullptr, QStringLiteral("Application Error"), text, QMessageBox::Ok);
}

bool DefaultUiSeams::PrinterSetup(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  // A setup, not a print: the dialog's accepting button says "OK".
  for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
    for (QAbstractButton* button : box->buttons())
      if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) button->setText(QStringLiteral("OK"));
  return dialog.exec() == QDialog::Accepted;
}

void DefaultUiSeams::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

}  // namespace quarto
