#include "app/mainform.h"

#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>

#include "app/aboutbox.h"
#include "app/dialogs.h"
#include "app/picimage.h"
#include "app/placement.h"
#include "app/zoomform.h"
#include "common_qt/file_names.h"
#include "core/error.h"

namespace fs = std::filesystem;

namespace {

// Text between the core and Qt, through common_qt/file_names.h. The core keeps file names
// as the bytes the file system holds; names travel to and from the dialogs in the
// FileNameToQt form, which keeps bytes that are not UTF-8 (a name in code page 866 or KOI8),
// and are shown with U+FFFD for such bytes.
QString FromStd(std::string_view s) { return common_qt::FileNameForDisplay(s); }
QString ToDialog(const fs::path& p) { return common_qt::FileNameToQt(p.native()); }
fs::path ToPath(const QString& s) { return fs::path(common_qt::FileNameFromQt(s)); }

// A window title shows "[*]" only when it is doubled; a single one is Qt's modified marker.
QString TitleText(const QString& caption) {
  QString title = caption;
  return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

}  // namespace

PicView::PicView(const brindle::Pic& pic, QWidget* parent) : QWidget(parent), pic_(pic) {
  setObjectName(QStringLiteral("PicView"));
  setFixedSize(brindle::Pic::Width, brindle::Pic::Height);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, PicToImage(pic_));
}

TMainForm::TMainForm(Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), session_(std::make_unique<brindle::Session>()), dialogs_(dialogs) {
  if (!dialogs_) {
    ownDialogs_ = std::make_unique<QtDialogs>();
    dialogs_ = ownDialogs_.get();
  }
  FormCreate();
  AboutBox = new TAboutBox(this);
  ZoomForm = new TZoomForm(session_->pic, SmoothZoom, ShiftDown, this);
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Brindle"));
  view_ = new PicView(session_->pic, this);
  setCentralWidget(view_);
  MainMenuCreate();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  CentreWindow(this, true);
  Run([this] { brindle::ReadLevelFiles(fs::current_path(), session_->levels); });
}

void TMainForm::MainMenuCreate() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("File"));
  QMenu* image = bar->addMenu(QStringLiteral("Image"));
  QMenu* help = bar->addMenu(QStringLiteral("Help"));
  OpenItem = file->addAction(QStringLiteral("Open"), this, &TMainForm::OpenClick);
  SaveItem = file->addAction(QStringLiteral("Save"), this, &TMainForm::SaveClick);
  SaveItem->setEnabled(false);
  ExitItem = file->addAction(QStringLiteral("Exit"), this, &TMainForm::ExitClick);
  ZoomMenu = image->addMenu(QStringLiteral("Zoom"));
  ZoomMenu->setEnabled(false);
  StretchItem = ZoomMenu->addAction(QStringLiteral("Stretch"), this, &TMainForm::ZoomClick);
  SmoothItem = ZoomMenu->addAction(QStringLiteral("Smooth"), this, &TMainForm::ZoomSmoothClick);
  AboutItem = help->addAction(QStringLiteral("About"), this, &TMainForm::AboutClick);
}

void TMainForm::PicOpened() {
  SaveItem->setEnabled(true);
  ZoomMenu->setEnabled(true);
}

void TMainForm::Run(const std::function<void()>& command) {
  try {
    command();
  } catch (const brindle::Rejection& e) {
    dialogs_->messageBox(this, FromStd(e.title()), QString::fromUtf8(e.what()));
  } catch (const brindle::Error& e) {
    dialogs_->errorBox(this, FromStd(e.title()), QString::fromUtf8(e.what()));
  } catch (const std::exception& e) {
    dialogs_->errorBox(this, QStringLiteral("Brindle"), QString::fromUtf8(e.what()));
  }
  if (session_->PicLoaded) PicOpened();
  setWindowTitle(TitleText(FromStd(session_->Caption)));
  view_->update();
}

void TMainForm::OpenChosen(const fs::path& file) {
  Run([&] { session_->OpenChosen(file); });
}

void TMainForm::OpenFromCommandLine(const QString& file) { OpenChosen(ToPath(file)); }

void TMainForm::OpenFromCommandLine(const fs::path& file) { OpenChosen(file); }

QString TMainForm::DialogFolder() const {
  const brindle::Session& s = *session_;
  const fs::path name(s.PicFileName);
  return ToDialog(name.is_absolute() ? name.parent_path() : s.PicFolder);
}

void TMainForm::OpenClick() {
  int index = session_->OpenFilterIndex;
  const QString file = dialogs_->openFile(this, DialogFolder(), FromStd(brindle::OpenFilter()), index);
  if (file.isEmpty()) return;
  session_->OpenFilterIndex = index;
  OpenChosen(ToPath(file));
}

void TMainForm::SaveClick() {
  brindle::Session& s = *session_;
  int index = s.SaveFilterIndex;
  const std::string proposed = brindle::ProposedSaveName(s.PicFileName);
  const QString file =
      dialogs_->saveFile(this, DialogFolder(), ToDialog(proposed), FromStd(brindle::SaveFilter()), index);
  if (file.isEmpty()) return;
  const fs::path chosen = ToPath(file);
  Run([&] { s.SaveAs(chosen, index); });
}

void TMainForm::ExitClick() { close(); }

void TMainForm::AboutClick() { dialogs_->showModal(AboutBox); }

void TMainForm::ShowZoom(bool smooth) {
  SmoothZoom = smooth;
  dialogs_->showModal(ZoomForm);
}

void TMainForm::ZoomClick() { ShowZoom(false); }

void TMainForm::ZoomSmoothClick() { ShowZoom(true); }

void TMainForm::KeyDown(int key) {
  if (key == Qt::Key_Shift) ShiftDown = true;
}

void TMainForm::KeyUp(int key) {
  switch (key) {
    case Qt::Key_Left: Run([this] { session_->Step(-1); }); break;
    case Qt::Key_Right: Run([this] { session_->Step(+1); }); break;
    case Qt::Key_A: AboutClick(); break;
    case Qt::Key_E: ExitClick(); break;
    case Qt::Key_O: OpenClick(); break;
    case Qt::Key_S:
      if (session_->PicLoaded) SaveClick();
      break;
    case Qt::Key_Z:
      if (session_->PicLoaded) ShowZoom(ShiftDown);
      break;
    default: break;
  }
  if (key == Qt::Key_Shift) ShiftDown = false;
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  keyRule_.pressed(*event);
  KeyDown(event->key());
  QMainWindow::keyPressEvent(event);
}

void TMainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) keyRule_.reset();
  QMainWindow::changeEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  // Shift is up again however its presses came; other keys act only on a release that counts.
  if (keyRule_.released(*event) || event->key() == Qt::Key_Shift) KeyUp(event->key());
}
