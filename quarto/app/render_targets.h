#pragma once
// The three targets of a renderer call on the Qt side: the main window's drawing area (painted
// only inside its paint event), the printer (one page through QPrinter) and a bitmap saved as a
// BMP file beside the plot. Each fills the frame input from the main window, runs the frame and
// the passes through a QPainterCanvas, applies what the frame leaves behind (a fitted zoom, the
// shifts of a position item) and reports file problems through the dialog seams.
#include <QPoint>
#include <QPrinter>
#include <QSize>
#include <QString>

#include "core/render_frame.h"
#include "core/render_pass.h"

class QPainter;

namespace quarto {

class Form1;

// The page size in dots and the resolution of a printer page.
struct PrinterPage {
  int32_t width = kFallbackPageWidth;
  int32_t height = kFallbackPageHeight;
};

// The page of the current printer in the given orientation: the printable area of the system's
// default printer, or a virtual A4 page at 300 dots per inch when no printer is installed. The
// printer is looked up once, at the first call, and again after ForgetCurrentPrinterPage (for a
// printer chosen in the printer setup).
PrinterPage CurrentPrinterPage(bool landscape);
void ForgetCurrentPrinterPage();
// The printable area of a printer, in its device pixels.
PrinterPage PageOf(const QPrinter& printer);

// Top-left of the drawing area in the main window's client coordinates, the ones the frame draws
// in: like a classic window's client area they start below the menu bar.
QPoint DrawingAreaOrigin(const Form1& form);

// The frame input and the pass input of the main window's current state for a target.
FrameInput FrameInputOf(const Form1& form, RenderTarget target);
PassInput PassInputOf(const Form1& form);

// Screen target: draws the page preview and the plot with the painter of the drawing area, which
// is translated to the main window's client coordinates. Called from the paint event only. A file
// problem is reported once per opened file, after the paint.
void PaintScreenTarget(Form1& form, QPainter& painter);

// A plot file was opened (scanned): its drawing problems are new again and will be reported once,
// after a paint.
void ResetProblemReport(Form1& form);

// Printer target: prints the plot as one page on the printer (a PDF printer takes the resolution
// of the view state). Returns false after reporting a problem; a file printer without a file
// name (what Qt gives when no printer is installed) is reported as no printer, and nothing is
// drawn. Nothing happens without a plot.
bool PrintPlot(Form1& form, QPrinter& printer);

// Bitmap target: saves the drawing at the preview's scale as a BMP file beside the plot (the plot
// name with its last three characters replaced by "bmp"), over an existing file. Refuses, with a
// message, a size beyond the limits and a name that is the plot file itself; a failed save is
// reported. Returns true when the file was written. screen is the padding (the screen size).
bool SaveBitmap(Form1& form, QSize screen);
bool SaveBitmap(Form1& form);

}  // namespace quarto
