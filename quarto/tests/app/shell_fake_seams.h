#pragma once
// Dialog seams for the shell's tests: answers the open dialog from a queue and records every box
// and every link handed to the desktop. Hand them to StartUp (or Form1) for the window under test.
#include <QLocale>
#include <QPageLayout>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include "app/ui_seams.h"

namespace quarto::test {

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
  bool PrinterSetup(QWidget*, QPrinter& printer) override {
    ++printerSetups;
    if (printerFile.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printerFile);
    printer.setResolution(printerDpi);
    printer.setPageOrientation(printerOrientation);
    return true;
  }
  void OpenUrl(const QString& url) override { urls << url; }
};

}  // namespace quarto::test
