#pragma once
// WindowSession: what one main window keeps for its drawing targets and dialogs besides its view
// state: the dialog seams it reports through, the page of the current printer, and which drawing
// problems of the current plot were already reported. The window owns it and hands it on, so two
// windows (or two tests) never see each other's state.
#include <QPrinter>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "app/ui_seams.h"
#include "core/plot_reader.h"
#include "core/render_frame.h"

namespace quarto {

// The page size in dots of a printer page.
struct PrinterPage {
  int32_t width = kFallbackPageWidth;
  int32_t height = kFallbackPageHeight;
};

class WindowSession {
 public:
  // seams: the dialogs and boxes to use; nullptr uses the real ones.
  explicit WindowSession(UiSeams* seams = nullptr);
  ~WindowSession();
  WindowSession(const WindowSession&) = delete;
  WindowSession& operator=(const WindowSession&) = delete;

  UiSeams& seams() const { return *seams_; }

  // The session's current printer, made at first use: the seams' system printer, or where the
  // system has none a file printer without a file, which prints nowhere (IsPrinter is false for
  // it) and shows an A4 page, until the printer setup chooses another. Printer setup changes it,
  // printing prints on it, the preview reads its page.
  QPrinter& printer();

  // The page of the current printer in portrait, looked up at the first drawing (asking the system
  // for its printers costs far more than a paint); cleared when another printer is chosen.
  std::optional<PrinterPage> printerPage;

  // A plot was opened: its drawing problems are new again. alreadyReported: the open itself told
  // the user that the file ends inside a record, so the paints do not tell it again.
  void ResetProblemReport(bool alreadyReported) {
    problemReported_ = alreadyReported;
    changeReported_ = false;
    changeFound_.reset();
  }
  // True the first time a read or open problem of the current plot is seen.
  bool FirstProblem() { return !std::exchange(problemReported_, true); }
  // True the first time the file is found in this changed state (nullopt: gone).
  bool FirstOfChange(const std::optional<FileStamp>& found) {
    if (changeReported_ && changeFound_ == found) return false;
    changeReported_ = true;
    changeFound_ = found;
    return true;
  }

 private:
  DefaultUiSeams defaults_;
  UiSeams* seams_;
  std::unique_ptr<QPrinter> printer_;
  bool problemReported_ = false;
  bool changeReported_ = false;
  std::optional<FileStamp> changeFound_;
};

}  // namespace quarto
