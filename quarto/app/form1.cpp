#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <utility>

#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/interface_language.h"
#include "app/render_targets.h"
#include "app/ui_seams.h"
#include "common_qt/file_names.h"
#include "core/interface_texts.h"

namespace quarto {

namespace {

// A caption shows "&" as itself rather than as a mnemonic marker.
QString Literal(const QString& text) {
  QString out = text;
  return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

// ---- DrawingArea ---------------------------------------------------------------------------------

DrawingArea::DrawingArea(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DrawingArea"));
  setCursor(Qt::CrossCursor);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
}

void DrawingArea::paintEvent(QPaintEvent*) {
  auto* form = qobject_cast<Form1*>(window());
  if (!form) return;
  form->Guarded([&] {
    QPainter painter(this);
    form->PaintPlot(painter);
  });
}

bool DrawingArea::event(QEvent* event) {
  // Nothing here is translated: a change of Qt's translations must not draw the plot again.
  if (event->type() == QEvent::LanguageChange) return true;
  return QWidget::event(event);
}

void DrawingArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked(event->position().toPoint());
  QWidget::mouseReleaseEvent(event);
}

// ---- Form1 ---------------------------------------------------------------------------------------

Form1::Form1(UiSeams* seams, QWidget* parent) : QMainWindow(parent), session_(seams) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(DesignQString(kRowForm1Caption));
  openFilter_ = DesignQString(kRowOpenFilter);

  drawingArea_ = new DrawingArea(this);
  setCentralWidget(drawingArea_);
  connect(drawingArea_, &DrawingArea::clicked, this, [this](QPoint at) { Guarded([&] { PanTo(at); }); });
  QCoreApplication::instance()->installEventFilter(this);

  BuildMenuAndToolBar();
  BuildStatusBar();

  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
      if (state == Qt::ApplicationActive) SetActive();
    });
  }

  // The design size (779 x 474 inside a classic frame) is the outer size 787 x 520, centred on
  // the screen; the frame is not known before the window is shown (ShowAsSettingsSay).
  resize(kMinOuterWidth, kMinOuterHeight);
  WMGetMinMaxInfo();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }

  FormCreate();
}

Form1::~Form1() = default;

char Form1::zoomSeparator() const {
  // The system's decimal separator where it is a point or a comma.
  const QString point = QLocale().decimalPoint();
  return point == QStringLiteral(".") ? '.' : ',';
}

void Form1::SetSecondaryWindows(Form2* form2, Form3* form3, Form4* form4) {
  form2_ = form2;
  form3_ = form3;
  form4_ = form4;
}

void Form1::SetCommandLine(const QStringList& args) {
  openInputs_.CommandLine.clear();
  for (const QString& a : args) openInputs_.CommandLine.push_back(common_qt::FileNameFromQt(a));
  view_.OpenFromCommandLine = !args.isEmpty();
}

void Form1::Guarded(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    session_.seams().Error(this, QString::fromUtf8(e.what()));
  } catch (...) {
    session_.seams().Error(this, QStringLiteral("Unknown error"));
  }
}

// ---- Opening -------------------------------------------------------------------------------------

void Form1::OpenPlot() {
  scanTruncated_ = false;
  const PlotBounds& hb = scan_.HeaderBounds;
  WindowDefaults defaults{static_cast<int32_t>(hb.MinX), static_cast<int32_t>(hb.MaxX), static_cast<int32_t>(hb.MinY),
                          static_cast<int32_t>(hb.MaxY)};
  RunOpen(view_, openInputs_, *this, defaults);
  if (scanTruncated_) {
    // What was indexed before the end of the file stays drawable; the error is told once.
    scanTruncated_ = false;
    session_.seams().Error(this, QString::fromUtf8(kTextReadBeyondEnd));
  }
}

void Form1::N2Click() {
  Guarded([this] { OpenPlot(); });
}

void Form1::LoadLastFile() {
  auto* item = qobject_cast<QAction*>(sender());
  if (!item) return;
  view_.OpenFromRecent = true;
  // The item keeps the path's bytes as they are, whatever their encoding.
  openInputs_.DialogFileName = item->data().toByteArray().toStdString();
  N2Click();
}

std::optional<std::string> Form1::RunOpenDialog() {
  std::optional<QString> name = session_.seams().OpenFileName(this, openFilter_);
  if (!name) return std::nullopt;
  return common_qt::FileNameFromQt(*name);
}

void Form1::ShowFileName(const std::string& name) { setStatusPanelText(1, common_qt::FileNameToQt(name)); }

void Form1::ShowRecentFiles(const RecentList& list) {
  for (QAction* item : recentItems_) N1->removeAction(item);
  for (int n = 1; n <= kRecentFileCount; ++n) {
    const std::string& path = list[static_cast<size_t>(n - 1)];
    if (path.empty()) continue;
    QAction* item = recentItems_[static_cast<size_t>(n - 1)];
    item->setText(Literal(common_qt::FileNameToQt(RecentCaption(n, path))));
    item->setData(QByteArray::fromStdString(path));
    N1->addAction(item);
  }
}

void Form1::ScanFile(PltFormat format) {
  const bool ru = russian();
  scan_ = ScanPlotFile(view_.PlotFileName, format, form2_->table(), ru);
  scanTruncated_ = scan_.Truncated;
  session_.ResetProblemReport(scanTruncated_);
  setStatusPanelText(3, QString::fromStdString(FormatPanelText(scan_.Format)));
  setStatusPanelText(5, QString::fromStdString(VersionPanelText(scan_)));
  if (std::optional<std::string> unit = UnitPanelText(scan_.Unit, ru))
    setStatusPanelText(7, QString::fromStdString(*unit));
  N21->setEnabled(scan_.PseudoInchAvailable);
  form2_->StringGrid1->update();
}

void Form1::ScanPlot(PltFormat format) {
  if (!form2_) return;
  ScanFile(format);
  pageOrientation_ = scan_.Orientation;
  (pageOrientation_ == PageOrientation::Landscape ? ToolButton4 : ToolButton3)->setChecked(true);
  session_.printer().setPageOrientation(pageOrientation_ == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                       : QPageLayout::Portrait);
  // The scan rebuilt the drawing order; the next paint fits and draws the new plot.
  ReDraw();
}

Form1::PlotRefresh Form1::RefreshChangedPlot() {
  PlotRefresh refresh;
  if (!view_.PlotLoaded() || !form2_) return refresh;
  const auto fail = [&](const QString& reason) {
    refresh.failed = true;
    refresh.report = reason;
    return refresh;
  };
  try {
    refresh.found = PlotReader::OpenFile(view_.PlotFileName).Stamp();
  } catch (const PlotIoError& e) {
    return fail(QString::fromUtf8(e.what()));
  }
  if (refresh.found == scan_.Stamp) return refresh;
  try {
    const std::optional<PltFormat> format = DetectPltFormat(ReadSignatureBytes(view_.PlotFileName));
    if (!format) return fail(RunTimeQString(RunTimeText::UnknownFormat, russian()));
    ScanFile(*format);
    view_.Plot45Loaded = *format == PltFormat::Plt45;
    view_.Plot85Loaded = *format == PltFormat::Plt85;
  } catch (const PlotIoError& e) {
    return fail(QString::fromUtf8(e.what()));
  }
  if (std::exchange(scanTruncated_, false)) {
    refresh.cutShort = true;
    refresh.report = QString::fromUtf8(kTextReadBeyondEnd);
  }
  return refresh;
}

void Form1::ShowUnknownFormat() {
  session_.seams().Message(this, RunTimeQString(RunTimeText::UnknownFormat, N20->isChecked()));
}

void Form1::CheckCentrePosition() { N27->setChecked(true); }

// ---- Painting ------------------------------------------------------------------------------------

void Form1::PaintPlot(QPainter& painter) {
  if (!view_.PlotLoaded()) return;
  PaintScreenTarget(*this, painter);
}

// Every drawing of the plot on the window happens in a paint of the drawing area: this asks for one.
void Form1::DrawAgain() { drawingArea_->update(); }

void Form1::FormPaint() { DrawAgain(); }
void Form1::ReDraw() { DrawAgain(); }
void Form1::WMExitSizeMove() { DrawAgain(); }
void Form1::ChangeCheck() { DrawAgain(); }
void Form1::Check() { DrawAgain(); }

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FollowFrame();
  WMExitSizeMove();
}

void Form1::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  FollowFrame();
}

void Form1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  if (event->type() == QEvent::WindowStateChange) {
    FollowFrame();  // a window started minimised gets its size when it is restored
    ReDraw();       // maximise and restore draw again
  }
}

void Form1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FollowFrame();
}

void Form1::FollowFrame() {
  // A reparenting window manager tells the frame only some time after the window is mapped (a
  // move or resize follows): until a frame is known, the outer size read is applied again at each
  // change of the frame, so the inner size never takes the outer size and the window does not
  // grow by its frame at every start. A resize by the user leaves the frame as it is.
  const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
  if (minimumFor_ != frame) {
    minimumFor_ = frame;
    WMGetMinMaxInfo();
  }
  if (!wantedOuter_ || windowState() != Qt::WindowNoState || sizedFor_ == frame) return;
  sizedFor_ = frame;
  resize(*wantedOuter_ - frame);
  if (frame != QSize(0, 0)) wantedOuter_.reset();
}

void Form1::WMGetMinMaxInfo() {
  // The minimum applies to the outer size: subtract what the window system adds around the client.
  QSize frame = frameGeometry().size() - geometry().size();
  if (!isVisible()) frame = QSize(0, 0);
  setMinimumSize(kMinOuterWidth - frame.width(), kMinOuterHeight - frame.height());
}

// ---- Activation and quitting ---------------------------------------------------------------------

void Form1::SwallowNextPan() { view_.IgnoreNextClick = true; }

void Form1::SetActive() { SwallowNextPan(); }
void Form1::FormActivate() { SwallowNextPan(); }

void Form1::N7Click() { close(); }

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Only the first delivery of a key: to the focused widget, or to the window when none has focus.
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
  if (widget != target || widget->window() != this) return false;
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  // Only keys that type a printable character (backspace too, for the zoom box's filter): Delete,
  // the arrows, Enter and shortcuts pass on untouched.
  if (keyEvent->text().isEmpty() || (keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
  const QChar typed = keyEvent->text().at(0);
  if (!typed.isPrint() && typed != QLatin1Char('\b')) return false;
  QChar key = typed;
  Guarded([&] { FormKeyPress(key); });
  if (!key.isNull() && widget == Edit1) {
    Guarded([&] { Edit1KeyPress(key); });
    if (!key.isNull() && key != typed) {
      Edit1->insert(QString(key));  // the character the filter made of the typed one
      return true;
    }
  }
  return key.isNull();
}

void Form1::closeEvent(QCloseEvent* event) {
  Guarded([this] { FormClose(); });
  event->accept();
}

// ---- Secondary windows ---------------------------------------------------------------------------

namespace {
void ShowTool(QWidget* w) {
  if (!w) return;
  w->show();
  w->raise();
}
}  // namespace

void Form1::ToolButton16Click() { ShowTool(form2_); }
void Form1::N17Click() { ShowTool(form3_); }
void Form1::N16Click() { ShowTool(form4_); }

// ---- Languages -----------------------------------------------------------------------------------

void Form1::N20Click() { ApplyInterfaceLanguage(*this, true); }
void Form1::English1Click() { ApplyInterfaceLanguage(*this, false); }

}  // namespace quarto
