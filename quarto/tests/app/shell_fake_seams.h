#pragma once
// Dialog seams for the shell's tests: answers the open dialog from a queue and records every box
// and every link handed to the desktop; the system has no printer unless a test gives it a file
// printer. Hand them to StartUp (or Form1) for the window under test.
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

#include "app/ui_seams.h"

namespace quarto::test {

// Makes printer a file printer writing a PDF file: an A4 sheet at the resolution and in the
// orientation given, whatever printers the machine has. The file is never empty: Qt sends a
// printer without a file to the system's default print queue.
inline void MakePdfFilePrinter(QPrinter& printer, const QString& file, int dpi,
                               QPageLayout::Orientation orientation = QPageLayout::Portrait) {
  if (file.isEmpty()) qFatal("a file printer needs a file");
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(orientation);
  printer.setResolution(dpi);
}

// A new such printer, at the resolution a high-resolution file printer has.
inline std::unique_ptr<QPrinter> PdfFilePrinter(const QString& file, int dpi = 1200) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  MakePdfFilePrinter(*printer, file, dpi);
  return printer;
}

class FakeSeams : public UiSeams {
 public:
  // Each test's windows read and write their settings in a configuration folder of their own.
  FakeSeams() : hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The zoom texts of the tests are written with a comma, the separator of the Russian locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  }
  ~FakeSeams() override {
    // Seams made after these own the folder now (a test's init may make them first).
    if (qgetenv("XDG_CONFIG_HOME") != config.path().toLocal8Bit()) return;
    if (hadConfig_)
      qputenv("XDG_CONFIG_HOME", oldConfig_);
    else
      qunsetenv("XDG_CONFIG_HOME");
  }
  QTemporaryDir config;
  QString settingsFile() const { return config.filePath("desktools/Quarto.ini"); }

  // Answers of the open dialog in turn; an empty string, or none left, cancels it.
  QStringList openAnswers;
  int openDialogs = 0;
  // The filter each open dialog was given.
  QStringList openFilters;
  QStringList messages;
  QStringList errors;
  QStringList applicationErrors;

  QStringList urls;

  std::optional<QString> OpenFileName(QWidget*, const QString& filter) override {
    ++openDialogs;
    openFilters << filter;
    QString a = openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    if (a.isEmpty()) return std::nullopt;
    return a;
  }
  void Message(QWidget*, const QString& text) override { messages << text; }
  void Error(QWidget*, const QString& text) override { errors << text; }
  void ApplicationError(const QString& text) override { applicationErrors << text; }

  // The system's printer: none, or, while systemPrinterFile is set, a file printer of that file
  // at systemPrinterDpi.
  QString systemPrinterFile;
  int systemPrinterDpi = 600;

  // Printer setup: accepted when printerFile is set, the printer becoming a PDF file printer of
  // that file at printerDpi in the given orientation; cancelled otherwise.
  QString printerFile;
  int printerDpi = 600;
  QPageLayout::Orientation printerOrientation = QPageLayout::Landscape;
  int printerSetups = 0;

 private:
  bool hadConfig_;
  QByteArray oldConfig_;

 public:
  std::unique_ptr<QPrinter> SystemPrinter() override {
    if (systemPrinterFile.isEmpty()) return nullptr;
    return PdfFilePrinter(systemPrinterFile, systemPrinterDpi);
  }
  bool PrinterSetup(QWidget*, QPrinter& printer) override {
    ++printerSetups;
    if (printerFile.isEmpty()) return false;
    MakePdfFilePrinter(printer, printerFile, printerDpi, printerOrientation);
    return true;
  }
  void OpenUrl(const QString& url) override { urls << url; }
};

}  // namespace quarto::test
