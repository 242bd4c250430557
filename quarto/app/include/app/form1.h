#pragma once
// Form1: the main window of the plot viewer with its menu, tool bar, status bar and drawing area.
// Its handlers live by what they do: form1.cpp (the window itself: opening, painting, activation,
// the other windows, languages), form1_components.cpp (the menu, tool bar and status bar built
// from the table of components), form1_settings.cpp (start state and settings file),
// form1_font_menu.cpp (the Font menu) and form1_view_commands.cpp (the view, print and export
// commands).
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QSpinBox>
#include <QStringList>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "app/window_session.h"
#include "core/open_command.h"
#include "core/plot_scan.h"
#include "core/quarto_settings.h"
#include "core/view_state.h"

class QPainter;

namespace quarto {

class Form2;
class Form3;
class Form4;
class UiSeams;

// The client area between the tool bar and the status bar; the plot is painted here.
class DrawingArea : public QWidget {
  Q_OBJECT
 public:
  explicit DrawingArea(QWidget* parent);

 signals:
  // A left click inside the area, at that point of the area.
  void clicked(QPoint at);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
};

class Form1 : public QMainWindow, private OpenHost {
  Q_OBJECT
 public:
  static constexpr int kStatusPanelCount = 9;
  static constexpr int kMinOuterWidth = 787;
  static constexpr int kMinOuterHeight = 520;

  // seams: the dialogs and boxes this window uses (nullptr: the real ones); kept in its session.
  explicit Form1(UiSeams* seams = nullptr, QWidget* parent = nullptr);
  ~Form1() override;

  // The secondary windows, created after Form1 by start-up.
  void SetSecondaryWindows(Form2* form2, Form3* form3, Form4* form4);
  Form2* form2() const { return form2_; }
  Form3* form3() const { return form3_; }
  Form4* form4() const { return form4_; }

  // Seams, printer page and problem reports of this window.
  WindowSession& session() { return session_; }
  const WindowSession& session() const { return session_; }

  ViewState& view() { return view_; }
  const ViewState& view() const { return view_; }

  // The command-line arguments after the program name (file, optional window argument).
  void SetCommandLine(const QStringList& args);
  // The open command with its errors left to the caller; start-up uses it before any window shows.
  void OpenPlot();

  QLabel* statusPanel(int i) const { return panels_.at(static_cast<size_t>(i)); }
  void setStatusPanelText(int i, const QString& text) { statusPanel(i)->setText(text); }
  DrawingArea* drawingArea() const { return drawingArea_; }
  // The recent-file menu items, item n showing entry n; each holds its path in data().
  QAction* recentItem(int n) const { return recentItems_.at(static_cast<size_t>(n - 1)); }
  QMenu* fileMenu() const { return N1; }

  // What the last scan found: header, extents and the record index the renderers walk.
  const PlotScanResult& scan() const { return scan_; }

  // What RefreshChangedPlot found.
  struct PlotRefresh {
    // The file changed and no longer opens or scans: the page is drawn alone.
    bool failed = false;
    // What to tell the user: the reason of a failure, or the file's cut tail after a new scan;
    // empty for nothing.
    QString report;
    // The new scan found the file ending inside a record (report tells it).
    bool cutShort = false;
    // The state the changed file was found in (nullopt when it is gone), so that a paint tells
    // one state once.
    std::optional<FileStamp> found;
  };
  // Before every drawing: a plot file whose size or time changed since its scan is scanned
  // again as a new open scans it (layer names, extents, layer table, status panels, its
  // format), while the view stays as it is (zoom, shifts, position, mirroring, orientation) and
  // the recent list is not touched. Drawing from the old record positions stays impossible.
  PlotRefresh RefreshChangedPlot();
  // The page orientation chosen by the last scan (or the orientation buttons).
  PageOrientation pageOrientation() const { return pageOrientation_; }

  // The settings file: where it is, and what FormCreate read from it (the window state and size
  // and the layer colours are applied by start-up, which owns the layer table and the showing).
  const std::string& settingsPath() const { return settingsPath_; }
  const QuartoSettings& startSettings() const { return startSettings_; }
  // The settings of the current state, as FormClose writes them.
  QuartoSettings CurrentSettings() const;
  // Shows the window in the state read from the settings file, a normal window at the outer size
  // read (held between the minimum and the available screen), the frame included as soon as the
  // window system tells it.
  void ShowAsSettingsSay();

  // The decimal separator of the zoom box: the system's.
  char zoomSeparator() const;

  // The language items: the interface is Russian while N20 is checked.
  bool russian() const { return N20->isChecked(); }
  // The open dialog's filter ("Name|*.ext|Name|*.ext"), written by the language commands.
  const QString& openFilter() const { return openFilter_; }
  void setOpenFilter(const QString& filter) { openFilter_ = filter; }

  // Paints the current plot with the painter of the drawing area, in main-window client
  // coordinates. With no plot loaded it draws nothing.
  void PaintPlot(QPainter& painter);

  // Runs f, showing any error in the application's error box instead of letting it reach the
  // event loop.
  void Guarded(const std::function<void()>& f);

  // Menu and tool-bar components, named as the handlers know them (form1_components.h).
  QMenu *N1, *X1, *N14, *N12, *Language1;
  QAction *N2, *N13, *BMP1, *N3, *N4, *N17, *N5, *N6, *N7, *N18;
  QAction *X2, *Y1, *N9, *N11, *N21;
  QAction *PCAD1, *ANSI1, *OEM1;
  QAction *N22, *N23, *N24, *N26, *N27, *N28, *N30, *N31, *N32;
  QAction *N20, *English1, *N16;
  QActionGroup *FontGroup, *PositionGroup, *LanguageGroup;
  QToolBar* ToolBar1;
  QToolButton *ToolButton1, *ToolButton3, *ToolButton4, *ToolButton6, *ToolButton8, *ToolButton9, *ToolButton11,
      *ToolButton21, *ToolButton13, *ToolButton14, *ToolButton16;
  QLineEdit* Edit1;
  QComboBox *ComboBox1, *ComboBox2;
  QSpinBox *RxSpinEdit1, *RxSpinEdit2;

 public slots:
  // Opening (open dialog, command line or a recent item).
  void N2Click();
  void LoadLastFile();
  // Drawing again, one function (DrawAgain) under the names its callers know it by: every paint
  // and a change of font or fill style, any view change, the end of a move or resize, the colour,
  // negative and character-set items, the position items.
  void FormPaint();
  void ReDraw();
  void WMExitSizeMove();
  void ChangeCheck();
  void Check();
  // Activation of the program and of this window, one function (SwallowNextPan) under two names.
  void SetActive();
  void FormActivate();
  // Quit.
  void N7Click();
  // Shows the layer table, the margins dialog and the about box.
  void ToolButton16Click();
  void N17Click();
  void N16Click();
  // Interface languages: each checks its own item and writes its texts into every window.
  void N20Click();
  void English1Click();

  // The start state and the settings file (form1_settings.cpp).
  void FormCreate();
  void FormClose();
  // The view, print and export commands (form1_view_commands.cpp) and the Font menu's
  // (form1_font_menu.cpp); the table of components connects them.
  void FormClick();
  // The pan of a click: the point of the drawing area moves to the centre of the preview page.
  void PanTo(QPoint areaPoint);
  // Sees every typed character before the focused control; clearing key discards the character.
  void FormKeyPress(QChar& key);
  // Key filter of the zoom box: digits, backspace and the separator pass; "." and "," become the
  // separator; every other character is discarded (key set to null).
  void Edit1KeyPress(QChar& key);
  void ToolButton13Click();
  void ToolButton14Click();
  void Edit1Change();
  void ToolButton11Click();
  void ToolButton21Click();
  void X2Click();
  void Y1Click();
  void ToolButton8Click();
  void ToolButton9Click();
  void PCAD1Click();
  void N21Click();
  void N4Click();
  void ToolButton3Click();
  void ToolButton4Click();
  void N5Click();
  void BMP1Click();

 protected:
  // Keyboard preview: characters typed anywhere in this window go to FormKeyPress first.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  // Keeps the outer size at least 787 x 520 whatever frame the window system adds.
  void WMGetMinMaxInfo();
  // Once the window system tells the frame: the minimum again, and the outer size wanted.
  void FollowFrame();

 private:
  // The menu bar and the tool bar from the table of components; the status bar's panels.
  void BuildMenuAndToolBar();
  void BuildStatusBar();
  // Asks for a paint of the drawing area, the one road by which the plot reaches the window.
  void DrawAgain();
  // The next pan request (a click, the key C) is swallowed.
  void SwallowNextPan();
  // The font list's installed families, the default face chosen.
  void FillFontList();
  // The system-font choices alive or not (the stroke font cleared or checked).
  void EnableSystemFontChoices(bool enabled);
  // The Font menu's and the font list's part of the settings read.
  void ReadFontSettings(const QuartoSettings& s);
  // FormCreate's reading of the settings file into the controls and the view state.
  void ReadSettingsFile();
  // The language items as read; both false leaves neither checked.
  void SetLanguageChecks(bool russian, bool english);
  // One zoom step in or out, Shift down taking the small step.
  void StepZoom(bool increase);
  // The scan of PlotFileName into the scan result, the layer table and status panels 3, 5, 7.
  void ScanFile(PltFormat format);
  // Mirroring after X2 or Y1 changed its check: the tool button follows, the sign is set.
  void ApplyMirrorX();
  void ApplyMirrorY();

  // OpenHost
  std::optional<std::string> RunOpenDialog() override;
  void ShowFileName(const std::string& name) override;
  void ShowRecentFiles(const RecentList& list) override;
  void ScanPlot(PltFormat format) override;
  void ShowUnknownFormat() override;
  void CheckCentrePosition() override;

  WindowSession session_;
  ViewState view_;
  OpenInputs openInputs_;
  PlotScanResult scan_;
  PageOrientation pageOrientation_ = PageOrientation::Portrait;
  // The last scan ended inside a record: reported once, after the open has finished.
  bool scanTruncated_ = false;
  DrawingArea* drawingArea_ = nullptr;
  std::array<QLabel*, kStatusPanelCount> panels_{};
  std::array<QAction*, kRecentFileCount> recentItems_{};
  Form2* form2_ = nullptr;
  Form3* form3_ = nullptr;
  Form4* form4_ = nullptr;
  QString openFilter_;
  std::string settingsPath_;
  QuartoSettings startSettings_;
  // The settings file exists but could not be read: it is never replaced.
  bool settingsUnreadable_ = false;
  // The outer size ShowAsSettingsSay applies until the window's frame is known, and the frames
  // the window's size and its minimum were last set for.
  std::optional<QSize> wantedOuter_;
  std::optional<QSize> sizedFor_, minimumFor_;
};

}  // namespace quarto
