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
#include <cstddef>

#include "app/window_session.h"
#include "common/status.h"
#include "core/printer_resolution.h"
#include "core/render_frame.h"
#include "core/render_pass.h"

class QPainter;

namespace quarto {

class Form1;

// The page of the window's current printer in the given orientation: the printable area of the
// session's printer, or a virtual A4 page at 300 dots per inch when there is no printer.
// The printer is looked up once per session, at the first call, and again after
// ForgetCurrentPrinterPage (for a printer chosen in the printer setup).
PrinterPage CurrentPrinterPage(WindowSession& session, bool landscape);
void ForgetCurrentPrinterPage(WindowSession& session);
// The printable area of a printer, in its device pixels.
PrinterPage PageOf(const QPrinter& printer);
// False for what Qt hands out when no printer is installed: a file printer without a file name.
bool IsPrinter(const QPrinter& printer);
// The view's printer resolution from the printer (its resolution as the device mode's quality),
// 300 x 300 for no printer.
PrinterDpi ResolutionOf(const QPrinter& printer, PrinterDpi current, bool colour);

// The frame input and the pass input of the main window's current state for a target.
FrameInput FrameInputOf(Form1& form, RenderTarget target);
PassInput PassInputOf(const Form1& form);

// A paint of a plot of at least this many records shows the wait cursor while it runs; prints
// and exports always do.
inline constexpr size_t kBusyPaintRecords = 50'000;

// Screen target: draws the page preview and the plot with the painter of the drawing area, the
// page centred in the area (CentreDrawingArea). Called from the paint event only. A plot file
// changed on disk is scanned again first (Form1::RefreshChangedPlot). A file problem is reported
// once per opened file, and a file that no longer opens or scans once per state it is found in,
// after the paint; such a file gets the page preview only.
void PaintScreenTarget(Form1& form, QPainter& painter);

// Printer target: prints the plot as one page on the printer (a PDF printer takes the resolution
// of the view state), a plot changed on disk scanned again first. Returns false after reporting
// a problem; a file printer without a file name (what Qt gives when no printer is installed) is
// reported as no printer, and nothing is drawn; a plot that no longer opens or scans is not
// printed. Nothing happens without a plot.
bool PrintPlot(Form1& form, QPrinter& printer);

// Bitmap target: saves the drawing at the preview's scale as an 8-bit BMP file in the plot's folder
// (BitmapFileName), replacing an existing file as common/replace_file.h does (a failed export
// leaves the old one; a protected file is refused). A plot changed on disk is scanned again
// first. Refuses, with a message, a size beyond the limits, a name that is the plot file itself
// or reaches it (a link, a hard link) and a plot that no longer opens or scans; a failed save is
// reported with the system's reason.
// Returns true when the BMP file was written; when the drawing stopped at a read problem, the
// file holds what was drawn, the problem is reported once and the result is still true.
// screen is the padding (the screen size).
bool SaveBitmap(Form1& form, QSize screen);

// The text of a failed save: the message, and the system's reason on a line of its own.
QString WithReason(const QString& message, const common::Status& failure);
bool SaveBitmap(Form1& form);

}  // namespace quarto
