#include "app/window_session.h"

#include <QPageSize>

namespace quarto {

WindowSession::WindowSession(UiSeams* seams) : seams_(seams ? seams : &defaults_) {}

WindowSession::~WindowSession() = default;

QPrinter& WindowSession::printer() {
  if (printer_) return *printer_;
  printer_ = seams_->SystemPrinter();
  if (!printer_) {
    // As Qt makes it where there is no printer. Its file name stays unset: setting it to an empty
    // one would turn the printer into the system's default queue.
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setPageSize(QPageSize(QPageSize::A4));
  }
  return *printer_;
}

}  // namespace quarto
