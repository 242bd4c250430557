// Form1's start state and its settings file: FormCreate reads the file into the controls and the
// view state, FormClose writes the state back into it.
#include <QCoreApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <cerrno>

#include "app/form1.h"
#include "app/form2.h"
#include "app/render_targets.h"
#include "app/ui_seams.h"
#include "common/read_file.h"
#include "common/replace_file.h"
#include "common_qt/file_names.h"
#include "core/numeric.h"
#include "core/render_frame.h"

namespace quarto {

void Form1::FormCreate() {
  ComboBox2->setCurrentIndex(0);
  FillFontList();
  view_ = ViewState{};
  // The printer resolution of the session's printer; 300 x 300 without one.
  const PrinterDpi dpi = ResolutionOf(session_.printer(), {view_.PrinterDpiX, view_.PrinterDpiY}, N9->isChecked());
  view_.PrinterDpiX = dpi.x, view_.PrinterDpiY = dpi.y;
  Edit1->setText(QString::fromStdString(FormatZoom(1.0, zoomSeparator())));
  for (int n = 1; n <= kRecentFileCount; ++n) {
    auto* item = new QAction(N1);
    item->setObjectName(QStringLiteral("RecentFile%1").arg(n));
    connect(item, &QAction::triggered, this, &Form1::LoadLastFile);
    recentItems_[static_cast<size_t>(n - 1)] = item;
  }
  view_.OpenFromRecent = false;
  ReadSettingsFile();
}

namespace {

// No settings file yet: the file is missing, or already its folder is.
bool IsMissing(const common::Status& status) { return status.error() == ENOENT || status.error() == ENOTDIR; }

// Where the settings live: the user's configuration folder, beside the other desk tools' settings
// (the program's own folder is shared and not writable for users).
std::string DefaultSettingsPath() {
  return common_qt::FileNameFromQt(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                   QStringLiteral("/desktools/Quarto.ini"));
}

}  // namespace

void Form1::ReadSettingsFile() {
  settingsPath_ = DefaultSettingsPath();
  const common::Result<common::FileBytes> read = common::ReadFile(settingsPath_);
  settingsUnreadable_ = !read && !IsMissing(read.status());
  const std::string text = read ? read->bytes : std::string();
  QuartoSettings& s = startSettings_;
  s = QuartoSettings{};
  const QSize outer = frameGeometry().size();
  s.Width = outer.width(), s.Height = outer.height();
  ReadSettings(IniFile(text), s);

  view_.RecentFiles = s.RecentFiles;
  ShowRecentFiles(view_.RecentFiles);
  view_.PageMargins = {s.Left / 100.0, s.Right / 100.0, s.Up / 100.0, s.Down / 100.0};
  X2->setChecked(s.MirrorX);
  ToolButton8->setChecked(s.MirrorX);
  view_.SignY = s.MirrorX ? +1 : -1;
  Y1->setChecked(s.MirrorY);
  ToolButton9->setChecked(s.MirrorY);
  view_.SignX = s.MirrorY ? -1 : +1;
  N9->setChecked(s.Color);
  N11->setChecked(s.Negative);
  N21->setChecked(s.Mils);
  ReadFontSettings(s);
  SetLanguageChecks(s.Russian, s.English);
  {
    const QSignalBlocker block(ComboBox2);
    ComboBox2->setCurrentIndex(s.Fill >= 0 && s.Fill < ComboBox2->count() ? s.Fill : -1);
  }
  RxSpinEdit1->setValue(s.WidthPen0);
}

void Form1::SetLanguageChecks(bool russian, bool english) {
  // The pair is exclusive while one is checked; reading may leave neither, so the group lets go.
  LanguageGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  N20->setChecked(russian);
  English1->setChecked(english);
  LanguageGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
}

QuartoSettings Form1::CurrentSettings() const {
  QuartoSettings s;
  const Qt::WindowStates state = windowState();
  s.State = state & Qt::WindowMinimized ? "Minimized" : state & Qt::WindowMaximized ? "Maximized" : "Normal";
  const QSize outer = frameGeometry().size();
  s.Width = outer.width(), s.Height = outer.height();
  s.RecentFiles = view_.RecentFiles;
  const auto hundredths = [](double cm) { return static_cast<int32_t>(RoundHalfEven(cm * 100)); };
  s.Left = hundredths(view_.PageMargins.left), s.Right = hundredths(view_.PageMargins.right);
  s.Up = hundredths(view_.PageMargins.top), s.Down = hundredths(view_.PageMargins.bottom);
  s.MirrorX = X2->isChecked(), s.MirrorY = Y1->isChecked();
  s.Color = N9->isChecked(), s.Negative = N11->isChecked(), s.Mils = N21->isChecked();
  s.Type = PCAD1->isChecked(), s.ANSI = ANSI1->isChecked(), s.OEM = OEM1->isChecked();
  s.IndexFont = ComboBox1->currentIndex();
  s.Russian = N20->isChecked(), s.English = English1->isChecked();
  s.Fill = ComboBox2->currentIndex();
  s.WidthPen0 = RxSpinEdit1->value();
  if (form2_) {
    s.DefaultColor = form2_->CheckBox1->isChecked();
    s.Colors = form2_->table().UserLayerColors;
  } else {
    s.DefaultColor = startSettings_.DefaultColor;
    s.Colors = startSettings_.Colors;
  }
  return s;
}

void Form1::FormClose() {
  const QString unable = QStringLiteral("Unable to write to ") + common_qt::FileNameToQt(settingsPath_);
  const common::Result<common::FileBytes> read = common::ReadFile(settingsPath_);
  const bool unreadable = !read && !IsMissing(read.status());
  // A file that is there but could not be read is never replaced by one made of defaults.
  if (settingsUnreadable_ || unreadable) {
    session_.seams().Error(this, unreadable ? WithReason(unable, read.status()) : unable);
    return;
  }
  IniFile ini(read ? read->bytes : std::string());
  WriteSettings(ini, CurrentSettings());
  if (const common::Status written = common::ReplaceFile(settingsPath_, ini.Text(), {.makeFolders = true}); !written)
    session_.seams().Error(this, WithReason(unable, written));
}

void Form1::ShowAsSettingsSay() {
  const std::string& state = startSettings_.State;
  if (state == "Maximized") {
    showMaximized();
    return;
  }
  // "Normal": the outer size read, between the minimum and the available screen; any other
  // value keeps the design size. A minimised window gets it when it is restored.
  const QSize least(kMinOuterWidth, kMinOuterHeight);
  QSize outer = state == "Normal" ? QSize(startSettings_.Width, startSettings_.Height) : least;
  QSize most(outer);
  if (const QScreen* screen = this->screen()) most = screen->availableGeometry().size();
  wantedOuter_ = outer.expandedTo(least).boundedTo(most.expandedTo(least));
  sizedFor_.reset();
  if (state == "Minimized")
    showMinimized();
  else
    show();
  FollowFrame();
}

}  // namespace quarto
