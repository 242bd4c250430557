#include "app/ui_seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpacerItem>
#include <QStringList>
#include <QUrl>

#include "common_qt/file_dialog.h"

namespace quarto {

namespace {
const QString kTitle = QStringLiteral("Quarto");

// A box whose window is wide enough for its caption whole. Qt sizes a box by its text, so a
// short text left a caption like "Application Error" cut by the window manager, whose title bar
// also holds the window's icon and buttons: the box is widened to the title in a bold caption
// font and room for those.
void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  QFont captionFont = QApplication::font("QMdiSubWindowTitleBar");
  captionFont.setBold(true);
  const QFontMetrics caption(captionFont);
  const int width = caption.horizontalAdvance(title) + 8 * caption.height();
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  // A box shown while a print or an export waits shows the usual arrow over it.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}
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
  ShowBox(parent, QMessageBox::Information, kTitle, text);
}

void DefaultUiSeams::Error(QWidget* parent, const QString& text) {
  ShowBox(parent, QMessageBox::Critical, kTitle, text);
}

void DefaultUiSeams::ApplicationError(const QString& text) {
  ShowBox(nullptr, QMessageBox::Critical, QStringLiteral("Application Error"), text);
}

std::unique_ptr<QPrinter> DefaultUiSeams::SystemPrinter() {
  auto printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
  // Where the system has no printer Qt makes a file printer instead.
  if (printer->outputFormat() != QPrinter::NativeFormat) return nullptr;
  return printer;
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
