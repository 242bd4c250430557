#pragma once
// The main window: the picture 1:1 under a run-time menu, the open and save commands,
// stepping through the pictures of a folder, and single-key commands acted on when the
// key is released.
#include <QMainWindow>
#include <QWidget>
#include <functional>

#include "app/keyrelease.h"
#include "core/session.h"

class Dialogs;
class QAction;
class QMenu;
class TAboutBox;
class TZoomForm;

// The client area that shows Pic at its top-left corner.
class PicView : public QWidget {
  Q_OBJECT
 public:
  PicView(const brindle::Pic& pic, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const brindle::Pic& pic_;
};

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // dialogs is not owned; null means the real dialogs and boxes.
  explicit TMainForm(Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
  ~TMainForm() override;

  brindle::Session& session() { return *session_; }
  PicView* view() const { return view_; }
  TZoomForm* zoomForm() const { return ZoomForm; }
  TAboutBox* aboutBox() const { return AboutBox; }

  bool SmoothZoom = false;
  bool ShiftDown = false;

  // Opens a file named on the command line as the open command does: as Qt decoded the
  // argument, or as the bytes the system passed.
  void OpenFromCommandLine(const QString& file);
  void OpenFromCommandLine(const std::filesystem::path& file);

  void OpenClick();
  void SaveClick();
  void ExitClick();
  void AboutClick();
  void ZoomClick();
  void ZoomSmoothClick();

  QAction* OpenItem = nullptr;
  QAction* SaveItem = nullptr;
  QAction* ExitItem = nullptr;
  QMenu* ZoomMenu = nullptr;
  QAction* StretchItem = nullptr;
  QAction* SmoothItem = nullptr;
  QAction* AboutItem = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FormCreate();
  void MainMenuCreate();
  void PicOpened();
  void KeyDown(int key);
  void KeyUp(int key);
  void ShowZoom(bool smooth);
  // Runs a command; a refused picture goes to a plain box, any other reported failure to
  // an error box, never past the event loop.
  // Afterwards caption, menu states and picture follow the state.
  void Run(const std::function<void()>& command);
  void OpenChosen(const std::filesystem::path& file);
  // The folder both file dialogs start in: where the last picture was saved, else the
  // folder of the list, as the current folder would be after the last dialog.
  QString DialogFolder() const;

  std::unique_ptr<brindle::Session> session_;
  Dialogs* dialogs_;
  std::unique_ptr<Dialogs> ownDialogs_;
  PicView* view_ = nullptr;
  TAboutBox* AboutBox = nullptr;
  TZoomForm* ZoomForm = nullptr;
  KeyReleaseRule keyRule_;
};
