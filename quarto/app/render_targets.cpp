#include "app/render_targets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "app/form1.h"
#include "app/form2.h"
#include "app/interface_language.h"
#include "app/qpainter_canvas.h"
#include "app/ui_seams.h"
#include "common/file_facts.h"
#include "common/replace_file.h"
#include "common_qt/file_names.h"
#include "core/bmp_file.h"
#include "core/interface_texts.h"
#include "core/text_records.h"

namespace quarto {

namespace {

// A run-time text in the language shown now.
QString Text(const Form1& form, RunTimeText text) { return RunTimeQString(text, form.russian()); }

PrinterPage Oriented(PrinterPage page, bool landscape) {
  if (landscape != (page.width > page.height)) std::swap(page.width, page.height);
  return page;
}

// The drawing as an 8-bit image with its own colours exact. The colour table is padded past 16
// entries: the BMP writer stores an image of 16 colours or fewer with 4 bits per pixel. A drawing
// of more than 256 colours takes the nearest colours of a reduced table.
QImage ToIndexed8(const QImage& rgb) {
  QList<QRgb> table;
  QHash<QRgb, int> indexOf;
  QImage out(rgb.size(), QImage::Format_Indexed8);
  if (out.isNull()) return out;
  bool fits = true;
  for (int y = 0; y < rgb.height() && fits; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* dst = out.scanLine(y);
    QRgb last = 0;
    int lastIndex = -1;
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = line[x] | 0xFF000000u;
      if (lastIndex < 0 || c != last) {
        auto it = indexOf.constFind(c);
        if (it == indexOf.constEnd()) {
          if (table.size() == 256) {
            fits = false;
            break;
          }
          it = indexOf.insert(c, static_cast<int>(table.size()));
          table.push_back(c);
        }
        last = c;
        lastIndex = it.value();
      }
      dst[x] = static_cast<uchar>(lastIndex);
    }
  }
  if (!fits) {
    out = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    table = out.colorTable();
  }
  while (table.size() < 256) table.push_back(qRgb(0, 0, 0));
  out.setColorTable(table);
  return out;
}

PagePosition CheckedPosition(const Form1& form) {
  const std::pair<QAction*, PagePosition> items[] = {
      {form.N22, PagePosition::TopLeft},    {form.N23, PagePosition::TopCentre},
      {form.N24, PagePosition::TopRight},   {form.N26, PagePosition::MiddleLeft},
      {form.N27, PagePosition::Centre},     {form.N28, PagePosition::MiddleRight},
      {form.N30, PagePosition::BottomLeft}, {form.N31, PagePosition::BottomCentre},
      {form.N32, PagePosition::BottomRight}};
  for (const auto& [action, item] : items)
    if (action && action->isChecked()) return item;
  return PagePosition::None;
}

// The wait cursor while a drawing that takes more than a moment runs, given back however the
// drawing ends (an exception included). Boxes shown meanwhile bring their own arrow (ui_seams).
class BusyCursor {
 public:
  explicit BusyCursor(bool busy) : busy_(busy) {
    if (busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~BusyCursor() {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool busy_;
};

// A paint reads and draws every record again: past this many it takes more than a moment.
bool LongPaint(const Form1& form) { return form.scan().Index.Total() >= kBusyPaintRecords; }

// What a call leaves behind: the fitted zoom in the zoom box, FitPending cleared, the shifts.
void ApplyFrame(Form1& form, const FrameLayout& layout) {
  ViewState& v = form.view();
  if (layout.Fitted) {
    // The fit writes the zoom box without running its handler: no further paint, and the zoom
    // keeps the exact fitted value.
    const QSignalBlocker block(form.Edit1);
    form.Edit1->setText(QString::fromStdString(layout.ZoomText));
    v.Zoom = layout.Zoom;
    v.FitPending = false;
  }
  v.ShiftX = layout.ShiftX;
  v.ShiftY = layout.ShiftY;
}

// A new scan that found the file cut short tells it, unless the drawing tells the same.
void TellTailOnce(Form1& form, const Form1::PlotRefresh& refresh, const RenderOutcome& out) {
  if (refresh.cutShort && out.cause != PlotIoError::Kind::ShortFile)
    form.session().seams().Error(&form, refresh.report);
}

}  // namespace

PrinterPage PageOf(const QPrinter& printer) {
  const QRect r = printer.pageLayout().paintRectPixels(printer.resolution());
  return {r.width(), r.height()};
}

bool IsPrinter(const QPrinter& printer) {
  return !(printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty());
}

PrinterDpi ResolutionOf(const QPrinter& printer, PrinterDpi current, bool colour) {
  const int r = printer.resolution();
  const auto quality = static_cast<int16_t>(std::clamp(r, -32768, 32767));
  return GetPrinterResolution(current, IsPrinter(printer), PrinterDeviceMode{quality, 0}, colour);
}

PrinterPage CurrentPrinterPage(WindowSession& session, bool landscape) {
  if (!session.printerPage) {
    const QPrinter& printer = session.printer();
    session.printerPage = IsPrinter(printer) ? PageOf(printer) : PrinterPage{kFallbackPageWidth, kFallbackPageHeight};
  }
  return Oriented(*session.printerPage, landscape);
}

void ForgetCurrentPrinterPage(WindowSession& session) { session.printerPage.reset(); }

FrameInput FrameInputOf(Form1& form, RenderTarget target) {
  const ViewState& v = form.view();
  const PlotScanResult& scan = form.scan();
  FrameInput in;
  if (v.Plot85Loaded)
    SetFrameHeader(in, scan.Header85);
  else
    SetFrameHeader(in, scan.Header45);
  in.target = target;
  const QSize outer = form.frameGeometry().size();
  in.windowWidth = outer.width();
  in.windowHeight = outer.height();
  // The page is centred in what the bars leave visible, whatever their heights.
  const DrawingArea* area = form.drawingArea();
  CentreDrawingArea(in, area->width(), area->height());
  const PrinterPage page = CurrentPrinterPage(form.session(), form.pageOrientation() == PageOrientation::Landscape);
  in.pageWidth = page.width, in.pageHeight = page.height;
  in.printerDpiX = v.PrinterDpiX, in.printerDpiY = v.PrinterDpiY;
  in.margins = v.PageMargins;
  in.zoom = v.Zoom;
  in.fitPending = v.FitPending;
  in.signX = v.SignX, in.signY = v.SignY;
  in.shiftX = v.ShiftX, in.shiftY = v.ShiftY;
  in.viewWindowSet = v.ViewWindowSet;
  in.viewWindow = v.ViewWindow;
  in.drawBounds = scan.DrawBounds;
  in.colour = form.N9->isChecked();
  in.negative = form.N11->isChecked();
  in.pseudoInch = form.N21->isChecked();
  in.position = CheckedPosition(form);
  const QColor face = area->palette().color(QPalette::Button);
  in.zoomSeparator = form.zoomSeparator();
  in.buttonFace = Color(face.red()) | Color(face.green()) << 8 | Color(face.blue()) << 16;
  return in;
}

PassInput PassInputOf(const Form1& form) {
  PassInput pass;
  const RecordIndex* index = &form.scan().Index;
  pass.positions = [index](int kind, int layer) { return index->Positions(kind, layer); };
  if (const Form2* f2 = form.form2()) {
    const LayerTable& t = f2->table();
    pass.layers.colors = t.LayerColors;
    pass.layers.order = t.LayerOrder;
    pass.layers.orderCount = t.LayerOrderCount;
  }
  pass.fillStyle = form.ComboBox2->currentIndex();
  if (pass.fillStyle < 0) pass.fillStyle = kFillStyleUnchanged;
  pass.printerMinPenWidth = form.RxSpinEdit1->value();
  pass.texts = &PlotTextHook();
  pass.strokeFont = form.PCAD1->isChecked();
  // The face as the box shows it: the list holds installed families only.
  pass.systemFont.face = form.ComboBox1->currentText().toStdString();
  pass.systemFont.heightCorrection = form.RxSpinEdit2->value();
  pass.systemFont.ansi = form.ANSI1->isChecked();
  pass.systemFont.oem = form.OEM1->isChecked();
  pass.scannedStamp = form.scan().Stamp;
  return pass;
}

QString PlotChangedWhileDrawnText(const Form1& form) { return Text(form, RunTimeText::PlotChangedWhileDrawn); }

void PaintScreenTarget(Form1& form, QPainter& painter) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return;
  QStringList texts;
  {
    const BusyCursor busy(LongPaint(form));
    const Form1::PlotRefresh refresh = form.RefreshChangedPlot();
    // A file that no longer opens or scans is told once in each state it is found in.
    if (!refresh.report.isEmpty() && (!refresh.failed || form.session().FirstOfChange(refresh.found)))
      texts << refresh.report;
    const FrameInput in = FrameInputOf(form, RenderTarget::Screen);
    const FrameLayout layout = ComputeFrame(in);
    ApplyFrame(form, layout);
    painter.translate(-in.areaLeft, -in.areaTop);
    QPainterCanvas canvas(painter);
    const RenderOutcome out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
    if (out.problem == RenderOutcome::Problem::Changed) {
      // Rewritten again since the check above: the next paint scans it again.
      if (!refresh.failed) QTimer::singleShot(0, &form, [&form] { form.ReDraw(); });
    } else if (out.problem != RenderOutcome::Problem::None && form.session().FirstProblem()) {
      texts << QString::fromStdString(out.message);
    }
  }
  // No modal box inside a paint event: the reports follow once the paint is over.
  for (const QString& text : texts)
    QTimer::singleShot(0, &form, [&form, text] { form.session().seams().Error(&form, text); });
}

bool PrintPlot(Form1& form, QPrinter& printer) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return false;
  const BusyCursor busy(true);
  // No printer installed: the session's printer is a file printer without a file name.
  if (!IsPrinter(printer)) {
    form.session().seams().Error(&form, Text(form, RunTimeText::NoPrinter));
    return false;
  }
  const bool landscape = form.pageOrientation() == PageOrientation::Landscape;
  printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    // A file printer has no resolution of its own: it takes the view's, on the whole sheet.
    printer.setResolution(v.PrinterDpiX > 0 ? v.PrinterDpiX : kFallbackDpi);
    printer.setFullPage(true);
  }
  const Form1::PlotRefresh refresh = form.RefreshChangedPlot();
  if (refresh.failed) {
    form.session().seams().Error(&form, refresh.report);
    return false;
  }
  FrameInput in = FrameInputOf(form, RenderTarget::Printer);
  const PrinterPage page = PageOf(printer);
  in.pageWidth = page.width, in.pageHeight = page.height;
  const FrameLayout layout = ComputeFrame(in);
  RenderOutcome out;
  {
    QPainter painter;
    if (!painter.begin(&printer)) {
      form.session().seams().Error(&form, Text(form, RunTimeText::PrintingNotStarted));
      return false;
    }
    ApplyFrame(form, layout);
    QPainterCanvas canvas(painter);
    out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
    painter.end();  // ends the document: the page is printed
  }
  TellTailOnce(form, refresh, out);
  if (out.problem != RenderOutcome::Problem::None) {
    form.session().seams().Error(&form, out.problem == RenderOutcome::Problem::Changed
                                            ? PlotChangedWhileDrawnText(form)
                                            : QString::fromStdString(out.message));
    return false;
  }
  return true;
}

bool SaveBitmap(Form1& form, QSize screen) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return false;
  const BusyCursor busy(true);
  const Form1::PlotRefresh refresh = form.RefreshChangedPlot();
  if (refresh.failed) {
    form.session().seams().Error(&form, refresh.report);
    return false;
  }
  const std::string name = BitmapFileName(v.PlotFileName);
  if (name.empty()) {
    form.session().seams().Error(&form, Text(form, RunTimeText::BitmapWouldBeThePlot));
    return false;
  }
  // Quarto reads the plot again at every paint: a bitmap name that reaches the plot itself (a
  // link to it, a hard link) must not replace it.
  const QString cannot = Text(form, RunTimeText::CannotWriteFile) + common_qt::FileNameToQt(name);
  if (common::SameFile(name, v.PlotFileName)) {
    form.session().seams().Error(&form, cannot + QLatin1Char('\n') + Text(form, RunTimeText::FileIsTheOpenPlot));
    return false;
  }
  FrameInput in = FrameInputOf(form, RenderTarget::Bitmap);
  in.screenWidth = screen.width(), in.screenHeight = screen.height();
  const FrameLayout layout = ComputeFrame(in);
  ApplyFrame(form, layout);
  const QString tooLarge = Text(form, RunTimeText::BitmapTooLarge);
  if (layout.BitmapTooLarge) {
    form.session().seams().Error(&form, tooLarge);
    return false;
  }
  QImage image(layout.BitmapWidth, layout.BitmapHeight, QImage::Format_RGB32);
  if (image.isNull()) {
    form.session().seams().Error(&form, tooLarge);
    return false;
  }
  RenderOutcome out;
  {
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
  }
  TellTailOnce(form, refresh, out);
  if (out.problem == RenderOutcome::Problem::Open || out.problem == RenderOutcome::Problem::Changed) {
    form.session().seams().Error(&form, out.problem == RenderOutcome::Problem::Changed
                                            ? PlotChangedWhileDrawnText(form)
                                            : QString::fromStdString(out.message));
    return false;
  }
  const QImage indexed = ToIndexed8(image);
  image = QImage();
  if (indexed.isNull()) {
    form.session().seams().Error(&form, cannot);
    return false;
  }
  // Our own writer: Qt's leaves the padding at the end of each row as memory happened to be.
  std::array<uint32_t, 256> palette{};
  const QList<QRgb> table = indexed.colorTable();
  for (qsizetype i = 0; i < table.size() && i < 256; ++i) palette[static_cast<size_t>(i)] = table[i];
  const std::string bytes =
      EncodeBmp8(indexed.width(), indexed.height(), indexed.constBits(), static_cast<size_t>(indexed.bytesPerLine()),
                 palette, indexed.dotsPerMeterX(), indexed.dotsPerMeterY());
  if (const common::Status saved = common::ReplaceFile(name, bytes); !saved) {
    form.session().seams().Error(&form, WithReason(cannot, saved));
    return false;
  }
  // The file holds what was drawn before the read problem; the problem is told.
  if (out.problem != RenderOutcome::Problem::None)
    form.session().seams().Error(&form, QString::fromStdString(out.message));
  return true;
}

QString WithReason(const QString& message, const common::Status& failure) {
  return message + QLatin1Char('\n') + QString::fromLocal8Bit(failure.reason());
}

bool SaveBitmap(Form1& form) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return SaveBitmap(form, screen ? screen->size() : QSize(0, 0));
}

}  // namespace quarto
