#include "app/window_session.h"

#include <QPrinterInfo>

namespace quarto {

WindowSession::WindowSession(UiSeams* seams) : seams_(seams ? seams : &defaults_) {}

WindowSession::~WindowSession() = default;

QPrinter& WindowSession::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
  return *printer_;
}

}  // namespace quarto
