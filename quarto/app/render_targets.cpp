#include "app/render_targets.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <optional>
#include <utility>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qpainter_canvas.h"
#include "app/ui_seams.h"
#include "core/text_records.h"

namespace quarto {

namespace {

// The file whose drawing problem was last reported on the window (reported once per opened file).
constexpr const char* kReportedProblemFile = "quartoReportedProblemFile";

QString Text(const Form1& form, const char* russian, const char* english) {
  return form.russian() ? QString::fromUtf8(russian) : QString::fromUtf8(english);
}

PrinterPage Oriented(PrinterPage page, bool landscape) {
  if (landscape != (page.width > page.height)) std::swap(page.width, page.height);
  return page;
}

PositionItem CheckedPosition(const Form1& form) {
  const std::pair<QAction*, PositionItem> items[] = {
      {form.N22, PositionItem::N22}, {form.N23, PositionItem::N23}, {form.N24, PositionItem::N24},
      {form.N26, PositionItem::N26}, {form.N27, PositionItem::N27}, {form.N28, PositionItem::N28},
      {form.N30, PositionItem::N30}, {form.N31, PositionItem::N31}, {form.N32, PositionItem::N32}};
  for (const auto& [action, item] : items)
    if (action && action->isChecked()) return item;
  return PositionItem::None;
}

// What a call leaves behind: the fitted zoom in the zoom box, FitPending cleared, the shifts.
void ApplyFrame(Form1& form, const FrameLayout& layout) {
  ViewState& v = form.view();
  if (layout.Fitted) {
    // Setting the text may run the zoom box's handler; the fitted zoom is what stays.
    form.Edit1->setText(QString::fromStdString(layout.ZoomText));
    v.Zoom = layout.Zoom;
    v.FitPending = false;
  }
  v.ShiftX = layout.ShiftX;
  v.ShiftY = layout.ShiftY;
}

}  // namespace

PrinterPage PageOf(const QPrinter& printer) {
  const QRect r = printer.pageLayout().paintRectPixels(printer.resolution());
  return {r.width(), r.height()};
}

namespace {
// The page of the current printer in portrait, looked up at the first drawing: asking the
// system for its printers costs far more than a paint.
std::optional<PrinterPage> currentPage;
}  // namespace

PrinterPage CurrentPrinterPage(bool landscape) {
  if (!currentPage) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
      currentPage = PrinterPage{kFallbackPageWidth, kFallbackPageHeight};
    } else {
      QPrinter printer(info, QPrinter::HighResolution);
      printer.setPageOrientation(QPageLayout::Portrait);
      currentPage = PageOf(printer);
    }
  }
  return Oriented(*currentPage, landscape);
}

void ForgetCurrentPrinterPage() { currentPage.reset(); }

QPoint DrawingAreaOrigin(const Form1& form) {
  QPoint origin = form.drawingArea()->mapTo(&form, QPoint(0, 0));
  if (const QWidget* menu = form.menuWidget(); menu && !menu->isHidden()) origin.ry() -= menu->geometry().bottom() + 1;
  return origin;
}

FrameInput FrameInputOf(const Form1& form, RenderTarget target) {
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
  const DrawingArea* area = form.drawingArea();
  const QPoint origin = DrawingAreaOrigin(form);
  in.areaLeft = origin.x(), in.areaTop = origin.y();
  in.areaWidth = area->width(), in.areaHeight = area->height();
  const PrinterPage page = CurrentPrinterPage(form.pageOrientation() == PageOrientation::Landscape);
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
  return pass;
}

void ResetProblemReport(Form1& form) { form.setProperty(kReportedProblemFile, QVariant()); }

void PaintScreenTarget(Form1& form, QPainter& painter) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return;
  const FrameInput in = FrameInputOf(form, RenderTarget::Screen);
  const FrameLayout layout = ComputeFrame(in);
  ApplyFrame(form, layout);
  QPainterCanvas canvas(painter);
  const RenderOutcome out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
  if (out.problem == RenderOutcome::Problem::None) return;
  const QString file = QString::fromStdString(v.PlotFileName);
  if (form.property(kReportedProblemFile).toString() == file) return;
  form.setProperty(kReportedProblemFile, file);
  // No modal box inside a paint event: the report follows once the paint is over.
  const QString text = QString::fromStdString(out.message);
  QTimer::singleShot(0, &form, [&form, text] { Seams().Error(&form, text); });
}

bool PrintPlot(Form1& form, QPrinter& printer) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return false;
  // With no printer installed Qt hands out a file printer without a file name.
  if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
    Seams().Error(&form, Text(form, "Принтер не установлен", "No printer is installed"));
    return false;
  }
  const bool landscape = form.pageOrientation() == PageOrientation::Landscape;
  printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    // A file printer has no resolution of its own: it takes the view's, on the whole sheet.
    printer.setResolution(v.PrinterDpiX > 0 ? v.PrinterDpiX : kFallbackDpi);
    printer.setFullPage(true);
  }
  FrameInput in = FrameInputOf(form, RenderTarget::Printer);
  const PrinterPage page = PageOf(printer);
  in.pageWidth = page.width, in.pageHeight = page.height;
  const FrameLayout layout = ComputeFrame(in);
  RenderOutcome out;
  {
    QPainter painter;
    if (!painter.begin(&printer)) {
      Seams().Error(&form, Text(form, "Не удалось начать печать", "Printing could not be started"));
      return false;
    }
    ApplyFrame(form, layout);
    QPainterCanvas canvas(painter);
    out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
    painter.end();  // ends the document: the page is printed
  }
  if (out.problem != RenderOutcome::Problem::None) {
    Seams().Error(&form, QString::fromStdString(out.message));
    return false;
  }
  return true;
}

bool SaveBitmap(Form1& form, QSize screen) {
  const ViewState& v = form.view();
  if (!v.PlotLoaded()) return false;
  const std::string name = BitmapFileName(v.PlotFileName);
  if (name.empty()) {
    Seams().Error(&form, Text(form, "Рисунок не сохранён: его имя совпало бы с именем файла чертежа",
                              "The picture was not saved: its name would be that of the plot file"));
    return false;
  }
  FrameInput in = FrameInputOf(form, RenderTarget::Bitmap);
  in.screenWidth = screen.width(), in.screenHeight = screen.height();
  const FrameLayout layout = ComputeFrame(in);
  ApplyFrame(form, layout);
  const QString tooLarge =
      Text(form, "Рисунок слишком велик для сохранения в BMP", "The picture is too large to save as BMP");
  if (layout.BitmapTooLarge) {
    Seams().Error(&form, tooLarge);
    return false;
  }
  QImage image(layout.BitmapWidth, layout.BitmapHeight, QImage::Format_RGB32);
  if (image.isNull()) {
    Seams().Error(&form, tooLarge);
    return false;
  }
  RenderOutcome out;
  {
    QPainter painter(&image);
    QPainterCanvas canvas(painter);
    out = DrawPlot(canvas, in, layout, PassInputOf(form), v.PlotFileName);
  }
  if (out.problem == RenderOutcome::Problem::Open) {
    Seams().Error(&form, QString::fromStdString(out.message));
    return false;
  }
  // 8 bits per pixel with the drawing's own colours (Qt keeps them exact up to 256).
  const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
  image = QImage();
  const QString file = QString::fromStdString(name);
  if (indexed.isNull() || !indexed.save(file, "BMP")) {
    Seams().Error(&form, Text(form, "Не удалось записать файл ", "Cannot write the file ") + file);
    return false;
  }
  if (out.problem != RenderOutcome::Problem::None) {
    Seams().Error(&form, QString::fromStdString(out.message));
    return false;
  }
  return true;
}

bool SaveBitmap(Form1& form) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return SaveBitmap(form, screen ? screen->size() : QSize(0, 0));
}

}  // namespace quarto
