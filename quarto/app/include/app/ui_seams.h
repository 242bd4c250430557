#pragma once
// Every dialog, message box and error box of the plot viewer goes through UiSeams, so that tests
// can answer them without a modal loop, and so does the question which printer the system has, so
// that no test depends on the machine's printers or prints on them. The main window's session
// holds the seams it uses.
#include <QString>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace quarto {

class UiSeams {
 public:
  virtual ~UiSeams() = default;
  // The open dialog with the given filter ("Name|*.ext|Name|*.ext"); nullopt when cancelled.
  virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) = 0;
  // A message box with an OK button.
  virtual void Message(QWidget* parent, const QString& text) = 0;
  // The application's standard error box for an error raised inside a command or a paint.
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // The last-resort box titled "Application Error" shown when start-up fails.
  virtual void ApplicationError(const QString& text) = 0;
  // The printer a window starts with: the system's default printer (or, without a default, the
  // first it has), at high resolution; nullptr where the system has no printer.
  virtual std::unique_ptr<QPrinter> SystemPrinter() = 0;
  // The printer setup dialog on the given printer (printer, paper, orientation); true when the
  // user accepted it, the printer then changed as chosen.
  virtual bool PrinterSetup(QWidget* parent, QPrinter& printer) = 0;
  // Hands a link (mail or web address) to the desktop's program for it; whether one opens is not
  // looked at.
  virtual void OpenUrl(const QString& url) = 0;
};

// The real dialogs and boxes.
class DefaultUiSeams : public UiSeams {
 public:
  std::optional<QString> OpenFileName(QWidget* parent, const QString& filter) override;
  void Message(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
  void ApplicationError(const QString& text) override;
  std::unique_ptr<QPrinter> SystemPrinter() override;
  bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
  void OpenUrl(const QString& url) override;
};

// Turns a filter of the form "Name|*.ext|Name|*.ext" into the file dialog's "Name (*.ext);;..." form.
QString ToQtFilter(const QString& filter);

}  // namespace quarto
