// Form1's view commands: zoom (buttons, keys and the zoom box), pan, fit and 1:1, mirroring, the
// pseudo-inch unit, page orientation, printer setup, print and the bitmap export. Each changes the
// view state or a check mark and draws again, or hands the work to a renderer target.
#include <QCursor>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <algorithm>

#include "app/form1.h"
#include "app/interface_language.h"
#include "app/render_targets.h"
#include "app/ui_seams.h"
#include "core/interface_texts.h"
#include "core/render_frame.h"
#include "core/zoom_command.h"

namespace quarto {

void Form1::FormClick() {
  // The key C pans to wherever the pointer is, inside the window or not.
  PanTo(drawingArea_->mapFromGlobal(QCursor::pos()));
}

void Form1::PanTo(QPoint areaPoint) {
  if (view_.IgnoreNextClick) {
    view_.IgnoreNextClick = false;
    return;
  }
  // No position item stays checked: the shifts are the pan's.
  for (QAction* item : PositionGroup->actions()) item->setChecked(false);
  // The page centre as the frame draws it, and the clicked point in the frame's coordinates.
  const FrameInput in = FrameInputOf(*this, RenderTarget::Screen);
  const FrameLayout frame = ComputeFrame(in);
  const int64_t cx = (int64_t{frame.PageLeft} + frame.PageRight) / 2;
  const int64_t cy = (int64_t{frame.PageTop} + frame.PageBottom) / 2;
  const int64_t px = int64_t{areaPoint.x()} + in.areaLeft, py = int64_t{areaPoint.y()} + in.areaTop;
  auto held = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kDeviceLimit, kDeviceLimit)); };
  view_.ShiftX = held(view_.ShiftX + cx - px);
  view_.ShiftY = held(view_.ShiftY + cy - py);
  ReDraw();
}

void Form1::FormKeyPress(QChar& key) {
  switch (key.unicode()) {
    case '+':
    case '=': StepZoom(true); break;
    case '-':
    case '_': StepZoom(false); break;
    case 'C':
    case 'c': FormClick(); break;
    case 'F':
    case 'f': ToolButton11Click(); break;
    default: return;
  }
  key = QChar();
}

void Form1::Edit1KeyPress(QChar& key) {
  if (key == QLatin1Char('.') || key == QLatin1Char(',')) {
    key = QLatin1Char(zoomSeparator());
    return;
  }
  if (key == QLatin1Char('\b') || (key >= QLatin1Char('0') && key <= QLatin1Char('9'))) return;
  key = QChar();
}

// The zoom buttons write the stepped zoom (four decimals) into the zoom box; the box's handler
// then takes it. A step that changes nothing (at either end of the range) redraws nothing.
void Form1::StepZoom(bool increase) {
  const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
  Edit1->setText(QString::fromStdString(FormatZoom(ZoomStep(view_.Zoom, increase, shift), zoomSeparator())));
}

void Form1::ToolButton13Click() { StepZoom(true); }
void Form1::ToolButton14Click() { StepZoom(false); }

void Form1::Edit1Change() {
  bool held = false;
  const std::optional<double> zoom = ParseZoomText(Edit1->text().toStdString(), zoomSeparator(), &held);
  // No number, or one beyond 0..100: the box shows the zoom in force, with four decimals.
  if (zoom) view_.Zoom = *zoom;
  if (!zoom || held) {
    const QSignalBlocker block(Edit1);
    Edit1->setText(QString::fromStdString(FormatZoom(view_.Zoom, zoomSeparator())));
  }
  if (zoom) ReDraw();
}

void Form1::ToolButton11Click() {
  view_.ViewWindowSet = false;
  N27->setChecked(true);
  view_.ShiftX = view_.ShiftY = 0;
  view_.FitPending = true;
  ReDraw();
}

void Form1::ToolButton21Click() {
  view_.Zoom = 1.0;
  {
    const QSignalBlocker block(Edit1);
    Edit1->setText(QString::fromStdString(FormatZoom(1.0, zoomSeparator())));
  }
  view_.ViewWindowSet = false;
  N27->setChecked(true);
  view_.ShiftX = view_.ShiftY = 0;
  ReDraw();
}

// The menu items toggle themselves when triggered; a tool button toggles its item once.
void Form1::X2Click() { ApplyMirrorX(); }
void Form1::Y1Click() { ApplyMirrorY(); }
void Form1::ToolButton8Click() {
  X2->setChecked(ToolButton8->isChecked());
  ApplyMirrorX();
}
void Form1::ToolButton9Click() {
  Y1->setChecked(ToolButton9->isChecked());
  ApplyMirrorY();
}

void Form1::ApplyMirrorX() {
  ToolButton8->setChecked(X2->isChecked());
  view_.SignY = X2->isChecked() ? +1 : -1;
  ReDraw();
}

void Form1::ApplyMirrorY() {
  ToolButton9->setChecked(Y1->isChecked());
  view_.SignX = Y1->isChecked() ? -1 : +1;
  ReDraw();
}

void Form1::N21Click() {
  // The unit's name in the language shown now, from the interface texts the switch also uses.
  setStatusPanelText(7, InterfaceQString(N21->isChecked() ? kRowUnitMils : kRowUnitInch, russian()));
  ReDraw();
}

void Form1::ToolButton3Click() {
  pageOrientation_ = PageOrientation::Portrait;
  session_.printer().setPageOrientation(QPageLayout::Portrait);
  ReDraw();
}

void Form1::ToolButton4Click() {
  pageOrientation_ = PageOrientation::Landscape;
  session_.printer().setPageOrientation(QPageLayout::Landscape);
  ReDraw();
}

// ---- Printer and export --------------------------------------------------------------------------

void Form1::N4Click() {
  QPrinter& printer = session_.printer();
  if (!session_.seams().PrinterSetup(this, printer)) return;
  const PrinterDpi dpi = ResolutionOf(printer, {view_.PrinterDpiX, view_.PrinterDpiY}, N9->isChecked());
  view_.PrinterDpiX = dpi.x, view_.PrinterDpiY = dpi.y;
  ForgetCurrentPrinterPage(session_);
  const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  pageOrientation_ = landscape ? PageOrientation::Landscape : PageOrientation::Portrait;
  (landscape ? ToolButton4 : ToolButton3)->setChecked(true);
  ReDraw();
}
void Form1::N5Click() {
  if (view_.PlotLoaded()) {
    Guarded([this] { PrintPlot(*this, session_.printer()); });
  }
  ReDraw();
}

void Form1::BMP1Click() {
  if (view_.PlotLoaded()) Guarded([this] { SaveBitmap(*this); });
  ReDraw();
}

}  // namespace quarto
