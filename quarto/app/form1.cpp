#include "app/form1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <cerrno>
#include <utility>

#include "app/form2.h"
#include "app/form3.h"
#include "app/form4.h"
#include "app/interface_language.h"
#include "app/render_targets.h"
#include "app/system_fonts.h"
#include "app/tool_icons.h"
#include "app/ui_seams.h"
#include "common/read_file.h"
#include "common/replace_file.h"
#include "common_qt/file_names.h"
#include "core/interface_texts.h"
#include "core/numeric.h"
#include "core/render_frame.h"
#include "core/zoom_command.h"

namespace quarto {

namespace {

const char* const kCaption = "Просмотр, печать PLT файлов PCAD 4.5, 8.5 ";
const char* const kOpenFilter = "PLT файлы PCAD 4.5, 8.5|*.plt|KIR файлы PIPE|*.kir";

struct PanelSpec {
  int width;
  const char* text;
};
const PanelSpec kPanels[Form1::kStatusPanelCount] = {
    {63, "Имя файла:"},          {150, ""}, {55, "Формат:"}, {50, ""}, {55, "Версия:"}, {30, ""},
    {120, "Единица измерения:"}, {100, ""}, {50, ""},
};

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The zoom box's width: the design's 58 pixels, more where the font needs them for its widest
// text, 100 with four decimals.
int ZoomBoxWidth(const QLineEdit& box) {
  const QFontMetrics metrics(box.font());
  int text = 0;
  for (char separator : {',', '.'})
    text = std::max(text, metrics.horizontalAdvance(QString::fromStdString(FormatZoom(kMaxZoom, separator))));
  // The frame on both sides, the line edit's own margin of 2 pixels and the cursor.
  const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
  return std::max(58, text + 2 * frame + 2 * 2 + 2);
}

// The texts a status panel shows besides file names: its label in both languages, the format,
// the widest 16-bit version, the units.
QStringList StatusPanelTexts(int panel) {
  const auto both = [](int row) { return QStringList{InterfaceQString(row, true), InterfaceQString(row, false)}; };
  switch (panel) {
    case 0: return both(kRowStatusFileName);
    case 2: return both(kRowStatusFormat);
    case 3:
      return {QString::fromStdString(FormatPanelText(PltFormat::Plt45)),
              QString::fromStdString(FormatPanelText(PltFormat::Plt85))};
    case 4: return both(kRowStatusVersion);
    case 5: return {QStringLiteral("65535")};
    case 6: return both(kRowStatusUnit);
    case 7: return both(kRowUnitMils) + both(kRowUnitMetric) + both(kRowUnitInch);
    default: return {};
  }
}

// A panel's design width, grown where the font needs more room for its texts.
int StatusPanelWidth(const QLabel& panel, int index, int designWidth) {
  const QFontMetrics metrics(panel.font());
  int width = designWidth;
  for (const QString& text : StatusPanelTexts(index))
    width = std::max(width, metrics.horizontalAdvance(text) + 2 * panel.frameWidth() + 4);
  return width;
}

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
  setWindowTitle(U(kCaption));
  openFilter_ = U(kOpenFilter);

  drawingArea_ = new DrawingArea(this);
  setCentralWidget(drawingArea_);
  connect(drawingArea_, &DrawingArea::clicked, this, [this](QPoint at) { Guarded([&] { PanTo(at); }); });
  QCoreApplication::instance()->installEventFilter(this);

  BuildMenu();
  BuildToolBar();
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

QAction* Form1::AddItem(QMenu* menu, const char* name, const QString& caption, void (Form1::*slot)()) {
  auto* action = new QAction(caption, menu);
  action->setObjectName(QString::fromLatin1(name));
  menu->addAction(action);
  if (slot) connect(action, &QAction::triggered, this, slot);
  return action;
}

QAction* Form1::AddSeparator(QMenu* menu, const char* name) {
  QAction* action = menu->addSeparator();
  if (name) action->setObjectName(QString::fromLatin1(name));
  return action;
}

void Form1::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto addMenu = [&](const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(U(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
  };
  auto checkable = [](QAction* a, bool checked, bool enabled = true) {
    a->setCheckable(true);
    a->setChecked(checked);
    a->setEnabled(enabled);
    return a;
  };

  N1 = addMenu("N1", "Файл");
  N2 = AddItem(N1, "N2", U("Открыть"), &Form1::N2Click);
  N13 = AddSeparator(N1, "N13");
  BMP1 = AddItem(N1, "BMP1", U("Сохранить как BMP"), &Form1::BMP1Click);
  N3 = AddSeparator(N1, "N3");
  N4 = AddItem(N1, "N4", U("Параметры принтера"), &Form1::N4Click);
  N17 = AddItem(N1, "N17", U("Параметры страницы"), &Form1::N17Click);
  N5 = AddItem(N1, "N5", U("Печать"), &Form1::N5Click);
  N6 = AddSeparator(N1, "N6");
  N7 = AddItem(N1, "N7", U("Выход"), &Form1::N7Click);
  N18 = AddSeparator(N1, "N18");

  X1 = addMenu("X1", "Вид");
  X2 = checkable(AddItem(X1, "X2", U("Зеркало X"), &Form1::X2Click), false);
  Y1 = checkable(AddItem(X1, "Y1", U("Зеркало Y"), &Form1::Y1Click), false);
  AddSeparator(X1, nullptr);
  N9 = checkable(AddItem(X1, "N9", U("Цветное"), &Form1::ChangeCheck), true);
  AddSeparator(X1, nullptr);
  N11 = checkable(AddItem(X1, "N11", U("Негатив"), &Form1::ChangeCheck), false);
  AddSeparator(X1, nullptr);
  N21 = checkable(AddItem(X1, "N21", U("Псевдодюймы"), &Form1::N21Click), true, false);

  // ANSI1 and OEM1: clicking the checked one clears it, so neither may be checked.
  N14 = addMenu("N14", "Шрифт");
  PCAD1 = checkable(AddItem(N14, "PCAD1", QStringLiteral("PCAD"), &Form1::PCAD1Click), true);
  AddSeparator(N14, nullptr);
  FontGroup = new QActionGroup(this);
  FontGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  ANSI1 = checkable(AddItem(N14, "ANSI1", QStringLiteral("ANSI"), &Form1::ChangeCheck), true, false);
  OEM1 = checkable(AddItem(N14, "OEM1", QStringLiteral("OEM"), &Form1::ChangeCheck), false, false);
  FontGroup->addAction(ANSI1);
  FontGroup->addAction(OEM1);

  // Position items: none checked after a pan; a click checks the clicked one.
  N12 = addMenu("N12", "Позиция");
  PositionGroup = new QActionGroup(this);
  PositionGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  auto position = [&](const char* name, const char* caption) {
    QAction* a = checkable(AddItem(N12, name, U(caption), &Form1::Check), false);
    PositionGroup->addAction(a);
    return a;
  };
  N22 = position("N22", "лево-верх");
  N23 = position("N23", "середина-верх");
  N24 = position("N24", "право-верх");
  AddSeparator(N12, nullptr);
  N26 = position("N26", "лево-середина");
  N27 = position("N27", "середина-середина");
  N28 = position("N28", "середина-право");
  AddSeparator(N12, nullptr);
  N30 = position("N30", "лево-низ");
  N31 = position("N31", "середина-низ");
  N32 = position("N32", "право-низ");

  // Language items: the settings may leave neither checked.
  Language1 = addMenu("Language1", "Language");
  LanguageGroup = new QActionGroup(this);
  LanguageGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  N20 = checkable(AddItem(Language1, "N20", QStringLiteral("Russian"), &Form1::N20Click), true);
  English1 = checkable(AddItem(Language1, "English1", QStringLiteral("English"), &Form1::English1Click), false);
  LanguageGroup->addAction(N20);
  LanguageGroup->addAction(English1);

  N16 = bar->addAction(U("О программе"));
  N16->setObjectName(QStringLiteral("N16"));
  connect(N16, &QAction::triggered, this, &Form1::N16Click);
}

void Form1::BuildToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->toggleViewAction()->setEnabled(false);
  ToolBar1->layout()->setSpacing(1);
  // Icons of the design's size: with the style's larger ones the last button no longer fits the
  // design width and hides behind the tool bar's extension arrow.
  ToolBar1->setIconSize(QSize(16, 16));
  setContextMenuPolicy(Qt::NoContextMenu);

  // Each button shows the icon a desktop user expects (its text stays as the accessible name).
  auto button = [&](const char* name, const QString& text, const char* hint, void (Form1::*slot)(), ToolGlyph glyph) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(ToolIcon(glyph));
    b->setToolTip(U(hint));
    b->setAutoRaise(true);
    ToolBar1->addWidget(b);
    if (slot) connect(b, &QToolButton::clicked, this, slot);
    return b;
  };

  ToolButton1 = button("ToolButton1", QStringLiteral("Open"), "Загрузить файл", &Form1::N2Click, ToolGlyph::Open);
  ToolBar1->addSeparator();
  ToolButton3 =
      button("ToolButton3", QStringLiteral("P"), "Книжный лист", &Form1::ToolButton3Click, ToolGlyph::Portrait);
  ToolButton4 =
      button("ToolButton4", QStringLiteral("L"), "Альбомный лист", &Form1::ToolButton4Click, ToolGlyph::Landscape);
  ToolButton3->setCheckable(true);
  ToolButton4->setCheckable(true);
  auto* orientation = new QButtonGroup(this);
  orientation->setExclusive(true);
  orientation->addButton(ToolButton3);
  orientation->addButton(ToolButton4);
  ToolButton3->setChecked(true);
  ToolBar1->addSeparator();
  ToolButton6 = button("ToolButton6", QStringLiteral("Print"), "", &Form1::N5Click, ToolGlyph::Print);
  ToolBar1->addSeparator();
  ToolButton8 = button("ToolButton8", QStringLiteral("X"), "Зеркало относительно оси X", &Form1::ToolButton8Click,
                       ToolGlyph::MirrorX);
  ToolButton9 = button("ToolButton9", QStringLiteral("Y"), "Зеркало относительно оси Y", &Form1::ToolButton9Click,
                       ToolGlyph::MirrorY);
  ToolButton8->setCheckable(true);
  ToolButton9->setCheckable(true);
  ToolBar1->addSeparator();
  ToolButton11 =
      button("ToolButton11", QStringLiteral("F"), "Разместить по центру, растянуть на страницу, кнопка \"F\"",
             &Form1::ToolButton11Click, ToolGlyph::Fit);
  ToolBar1->addSeparator();
  ToolButton21 = button("ToolButton21", QStringLiteral("1:1"), "Разместить по центру, масштаб 1:1",
                        &Form1::ToolButton21Click, ToolGlyph::OneToOne);
  ToolBar1->addSeparator();
  ToolButton13 = button("ToolButton13", QStringLiteral("+"), "Увеличить, кнопка \"+\"", &Form1::ToolButton13Click,
                        ToolGlyph::ZoomIn);

  Edit1 = new QLineEdit(ToolBar1);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(8);
  Edit1->setFixedWidth(ZoomBoxWidth(*Edit1));
  Edit1->setToolTip(U("Масштаб"));
  Edit1->setText(QString::fromStdString(FormatZoom(1.0, zoomSeparator())));
  ToolBar1->addWidget(Edit1);
  connect(Edit1, &QLineEdit::textChanged, this, &Form1::Edit1Change);

  ToolButton14 = button("ToolButton14", QStringLiteral("-"), "Уменьшить, кнопка \"-\"", &Form1::ToolButton14Click,
                        ToolGlyph::ZoomOut);
  ToolBar1->addSeparator();

  // A tool-bar control with its name, hint and width, followed by a separator.
  auto control = [&]<class W>(W* w, const char* name, const char* hint, int width, bool enabled = true) {
    w->setObjectName(QString::fromLatin1(name));
    w->setToolTip(U(hint));
    w->setFixedWidth(width);
    w->setEnabled(enabled);
    ToolBar1->addWidget(w);
    ToolBar1->addSeparator();
    return w;
  };
  ComboBox1 = control(new QComboBox(ToolBar1), "ComboBox1", "Windows шрифты", 120, false);
  RxSpinEdit2 = control(new QSpinBox(ToolBar1), "RxSpinEdit2", "Коррекция высоты Windows шрифтов", 44, false);
  RxSpinEdit2->setRange(0, 25);
  ComboBox2 = control(new QComboBox(ToolBar1), "ComboBox2", "Способ заливки полигона", 92);
  ComboBox2->addItems({QStringLiteral("Solid"), QStringLiteral("BDiagonal"), QStringLiteral("FDiagonal"),
                       QStringLiteral("Cross"), QStringLiteral("DiagCross"), QStringLiteral("Horizontal"),
                       QStringLiteral("Vertical")});
  RxSpinEdit1 = control(new QSpinBox(ToolBar1), "RxSpinEdit1", "Минимальная толщина линии принтера, в точках", 44);
  RxSpinEdit1->setRange(0, 20);

  ToolButton16 = button("ToolButton16", QStringLiteral("Layers"), "Таблица цвета и приоритета слоев",
                        &Form1::ToolButton16Click, ToolGlyph::Layers);

  // The line edit of a spin box holds at most 2 characters for the font correction.
  if (auto* edit = RxSpinEdit2->findChild<QLineEdit*>()) edit->setMaxLength(2);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &Form1::FormPaint);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this, &Form1::FormPaint);
}

void Form1::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  // The panels have fixed widths; a compact font keeps their labels readable in them.
  QFont font = bar->font();
  font.setPixelSize(10);
  bar->setFont(font);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    auto* label = new QLabel(U(kPanels[i].text), bar);
    label->setObjectName(QStringLiteral("Panel%1").arg(i));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    const bool last = i == kStatusPanelCount - 1;
    if (last) {
      label->setMinimumWidth(kPanels[i].width);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
      label->setFixedWidth(StatusPanelWidth(*label, i, kPanels[i].width));
      label->setAlignment(Qt::AlignCenter);
    }
    bar->addWidget(label, last ? 1 : 0);
    panels_[static_cast<size_t>(i)] = label;
  }
}

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

// ---- Start state ---------------------------------------------------------------------------------

void Form1::FormCreate() {
  ComboBox2->setCurrentIndex(0);
  {
    QSignalBlocker block(ComboBox1);
    const QStringList families = FontListFamilies(QFontDatabase::families());
    ComboBox1->addItems(families);
    ComboBox1->setCurrentIndex(static_cast<int>(families.indexOf(DefaultFontFace(families))));
  }
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

// Where the settings live: the user's configuration folder, beside the other desk tools' settings
// (the program's own folder is shared and not writable for users).
// No settings file yet: the file is missing, or already its folder is.
bool IsMissing(const common::Status& status) { return status.error() == ENOENT || status.error() == ENOTDIR; }

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
  PCAD1->setChecked(s.Type);
  ANSI1->setEnabled(!s.Type);
  OEM1->setEnabled(!s.Type);
  ComboBox1->setEnabled(!s.Type);
  RxSpinEdit2->setEnabled(!s.Type);
  // Radio pairs: a true second value clears the first; two false values leave neither checked.
  ANSI1->setChecked(s.ANSI);
  OEM1->setChecked(s.OEM);
  if (s.IndexFont) {
    const QSignalBlocker block(ComboBox1);
    ComboBox1->setCurrentIndex(*s.IndexFont >= 0 && *s.IndexFont < ComboBox1->count() ? *s.IndexFont : -1);
  }
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

void Form1::FormPaint() { ReDraw(); }

void Form1::ReDraw() { drawingArea_->update(); }

void Form1::WMExitSizeMove() { ReDraw(); }

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

void Form1::SetActive() { view_.IgnoreNextClick = true; }

void Form1::FormActivate() { view_.IgnoreNextClick = true; }

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

// ---- View commands -------------------------------------------------------------------------------

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

void Form1::PCAD1Click() {
  // Unchecked: the texts use the system fonts, whose choices come alive.
  const bool systemFonts = !PCAD1->isChecked();
  ANSI1->setEnabled(systemFonts);
  OEM1->setEnabled(systemFonts);
  ComboBox1->setEnabled(systemFonts);
  RxSpinEdit2->setEnabled(systemFonts);
  ReDraw();
}

void Form1::ChangeCheck() { ReDraw(); }
void Form1::Check() { ReDraw(); }

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
