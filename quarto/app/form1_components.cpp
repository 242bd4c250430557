#include "app/form1_components.h"

#include <QActionGroup>
#include <QButtonGroup>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>

#include "app/form1.h"
#include "app/interface_language.h"
#include "core/interface_texts.h"
#include "core/render_frame.h"
#include "core/zoom_command.h"

namespace quarto {

namespace {

using G = ComponentGroup;
using Handler = void (Form1::*)();

// The rows of the table, one a component.
Component Menu(const char* name, QMenu* Form1::*slot, int row = 0) {
  return {.name = name, .kind = ComponentKind::Menu, .slot = slot, .textRow = row};
}
Component Item(const char* name, QAction* Form1::*slot, int row, Handler handler, Mark mark = Mark::None,
               G group = G::None) {
  Component c{.name = name, .kind = ComponentKind::Item, .slot = slot, .textRow = row, .handler = handler};
  c.group = group, c.mark = mark;
  return c;
}
Component BarItem(const char* name, QAction* Form1::*slot, int row, Handler handler) {
  return {.name = name, .kind = ComponentKind::BarItem, .slot = slot, .textRow = row, .handler = handler};
}
Component Separator(const char* name = nullptr, QAction* Form1::*slot = nullptr) {
  Component c{.name = name, .kind = ComponentKind::Separator};
  if (slot) c.slot = slot;
  return c;
}
Component Button(const char* name, QToolButton* Form1::*slot, int row, Handler handler, ToolGlyph glyph,
                 Mark mark = Mark::None, G group = G::None) {
  Component c{.name = name, .kind = ComponentKind::Button, .slot = slot, .textRow = row, .handler = handler};
  c.group = group, c.mark = mark, c.glyph = glyph;
  return c;
}
Component ToolSeparator() { return {.kind = ComponentKind::ToolSeparator}; }
Component ZoomBox(const char* name, QLineEdit* Form1::*slot, int row, Handler handler, int maxLength) {
  Component c{.name = name, .kind = ComponentKind::ZoomBox, .slot = slot, .textRow = row, .handler = handler};
  c.maxLength = maxLength;
  return c;
}
Component List(ComponentKind kind, const char* name, QComboBox* Form1::*slot, int row, Handler handler, int width) {
  Component c{.name = name, .kind = kind, .slot = slot, .textRow = row, .handler = handler};
  c.width = width;
  return c;
}
Component SpinEdit(const char* name, QSpinBox* Form1::*slot, int row, int width, int maximum, int maxLength = 0) {
  Component c{.name = name, .kind = ComponentKind::SpinEdit, .slot = slot, .textRow = row};
  c.width = width, c.maximum = maximum, c.maxLength = maxLength;
  return c;
}
Component Disabled(Component c) {
  c.enabled = false;
  return c;
}

constexpr Mark kOff = Mark::Unchecked, kOn = Mark::Checked;

const Component kComponents[] = {
    Menu("N1", &Form1::N1, 2),
    Item("N2", &Form1::N2, 3, &Form1::N2Click),
    Separator("N13", &Form1::N13),
    Item("BMP1", &Form1::BMP1, 5, &Form1::BMP1Click),
    Separator("N3", &Form1::N3),
    Item("N4", &Form1::N4, 6, &Form1::N4Click),
    Item("N17", &Form1::N17, 7, &Form1::N17Click),
    Item("N5", &Form1::N5, 8, &Form1::N5Click),
    Separator("N6", &Form1::N6),
    Item("N7", &Form1::N7, 9, &Form1::N7Click),
    // The recent-file items follow this separator at run time.
    Separator("N18", &Form1::N18),

    Menu("X1", &Form1::X1, 10),
    Item("X2", &Form1::X2, 11, &Form1::X2Click, kOff),
    Item("Y1", &Form1::Y1, 12, &Form1::Y1Click, kOff),
    Separator(),
    Item("N9", &Form1::N9, 13, &Form1::ChangeCheck, kOn),
    Separator(),
    Item("N11", &Form1::N11, 14, &Form1::ChangeCheck, kOff),
    Separator(),
    // Enabled while a mil file is open.
    Disabled(Item("N21", &Form1::N21, 15, &Form1::N21Click, kOn)),

    // ANSI1 and OEM1 come alive while PCAD1 is cleared.
    Menu("N14", &Form1::N14, 16),
    Item("PCAD1", &Form1::PCAD1, 0, &Form1::PCAD1Click, kOn),
    Separator(),
    Disabled(Item("ANSI1", &Form1::ANSI1, 0, &Form1::ChangeCheck, kOn, G::Font)),
    Disabled(Item("OEM1", &Form1::OEM1, 0, &Form1::ChangeCheck, kOff, G::Font)),

    // The positions row by row; none is checked after a pan.
    Menu("N12", &Form1::N12, 17),
    Item("N22", &Form1::N22, 18, &Form1::Check, kOff, G::Position),
    Item("N23", &Form1::N23, 19, &Form1::Check, kOff, G::Position),
    Item("N24", &Form1::N24, 20, &Form1::Check, kOff, G::Position),
    Separator(),
    Item("N26", &Form1::N26, 21, &Form1::Check, kOff, G::Position),
    Item("N27", &Form1::N27, 22, &Form1::Check, kOff, G::Position),
    Item("N28", &Form1::N28, 23, &Form1::Check, kOff, G::Position),
    Separator(),
    Item("N30", &Form1::N30, 24, &Form1::Check, kOff, G::Position),
    Item("N31", &Form1::N31, 25, &Form1::Check, kOff, G::Position),
    Item("N32", &Form1::N32, 26, &Form1::Check, kOff, G::Position),

    Menu("Language1", &Form1::Language1),
    Item("N20", &Form1::N20, 0, &Form1::N20Click, kOn, G::Language),
    Item("English1", &Form1::English1, 0, &Form1::English1Click, kOff, G::Language),

    BarItem("N16", &Form1::N16, 27, &Form1::N16Click),

    // The tool bar, left to right.
    Button("ToolButton1", &Form1::ToolButton1, 50, &Form1::N2Click, ToolGlyph::Open),
    ToolSeparator(),
    Button("ToolButton3", &Form1::ToolButton3, 51, &Form1::ToolButton3Click, ToolGlyph::Portrait, kOn, G::Orientation),
    Button("ToolButton4", &Form1::ToolButton4, 52, &Form1::ToolButton4Click, ToolGlyph::Landscape, kOff,
           G::Orientation),
    ToolSeparator(),
    Button("ToolButton6", &Form1::ToolButton6, 53, &Form1::N5Click, ToolGlyph::Print),
    ToolSeparator(),
    // The mirror buttons follow X2 and Y1.
    Button("ToolButton8", &Form1::ToolButton8, 54, &Form1::ToolButton8Click, ToolGlyph::MirrorX, kOff),
    Button("ToolButton9", &Form1::ToolButton9, 55, &Form1::ToolButton9Click, ToolGlyph::MirrorY, kOff),
    ToolSeparator(),
    Button("ToolButton11", &Form1::ToolButton11, 56, &Form1::ToolButton11Click, ToolGlyph::Fit),
    ToolSeparator(),
    Button("ToolButton21", &Form1::ToolButton21, 57, &Form1::ToolButton21Click, ToolGlyph::OneToOne),
    ToolSeparator(),
    Button("ToolButton13", &Form1::ToolButton13, 58, &Form1::ToolButton13Click, ToolGlyph::ZoomIn),
    ZoomBox("Edit1", &Form1::Edit1, 59, &Form1::Edit1Change, 8),
    Button("ToolButton14", &Form1::ToolButton14, 60, &Form1::ToolButton14Click, ToolGlyph::ZoomOut),
    ToolSeparator(),
    // The system-font controls come alive while PCAD1 is cleared; a change of font or fill style
    // draws again.
    Disabled(List(ComponentKind::FontList, "ComboBox1", &Form1::ComboBox1, 62, &Form1::FormPaint, 120)),
    ToolSeparator(),
    Disabled(SpinEdit("RxSpinEdit2", &Form1::RxSpinEdit2, 65, 44, 25, 2)),
    ToolSeparator(),
    List(ComponentKind::FillStyleList, "ComboBox2", &Form1::ComboBox2, 63, &Form1::FormPaint, 92),
    ToolSeparator(),
    SpinEdit("RxSpinEdit1", &Form1::RxSpinEdit1, 64, 44, 20),
    ToolSeparator(),
    Button("ToolButton16", &Form1::ToolButton16, 61, &Form1::ToolButton16Click, ToolGlyph::Layers),
};

// The status bar's panels: the design's width and the row of the label, 0 for a panel the
// program writes.
struct Panel {
  int width;
  int textRow;
};
const Panel kPanels[Form1::kStatusPanelCount] = {
    {63, kRowStatusFileName},
    {150, 0},
    {55, kRowStatusFormat},
    {50, 0},
    {55, kRowStatusVersion},
    {30, 0},
    {120, kRowStatusUnit},
    {100, 0},
    {50, 0},
};

// A menu's or an item's caption: the window's text of its row, or the text that reads the same in
// both languages.
QString CaptionOf(const Component& c) { return c.textRow ? DesignQString(c.textRow) : FixedQString("Form1", c.name); }

template <class T>
T*& Member(Form1& form, const Component& c) {
  return form.*std::get<T * Form1::*>(c.slot);
}

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

}  // namespace

std::span<const Component> Form1Components() { return kComponents; }

void Form1::BuildMenuAndToolBar() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
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

  const auto actionGroup = [this](QActionGroup::ExclusionPolicy policy) {
    auto* group = new QActionGroup(this);
    group->setExclusionPolicy(policy);
    return group;
  };
  // Clicking the checked one of ANSI1 and OEM1 clears it, so neither may be checked; the language
  // items may both be cleared only by the settings (SetLanguageChecks).
  FontGroup = actionGroup(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  PositionGroup = actionGroup(QActionGroup::ExclusionPolicy::Exclusive);
  LanguageGroup = actionGroup(QActionGroup::ExclusionPolicy::Exclusive);
  auto* orientation = new QButtonGroup(this);
  orientation->setExclusive(true);
  const auto groupOf = [this](ComponentGroup group) -> QActionGroup* {
    switch (group) {
      case ComponentGroup::Font: return FontGroup;
      case ComponentGroup::Position: return PositionGroup;
      case ComponentGroup::Language: return LanguageGroup;
      default: return nullptr;
    }
  };
  const auto markItem = [](QAction* item, const Component& c) {
    if (c.mark == Mark::None) return;
    item->setCheckable(true);
    item->setChecked(c.mark == Mark::Checked);
  };
  // A tool-bar control with its name, hint and fixed width.
  const auto control = [this](QWidget* w, const Component& c) {
    w->setObjectName(QString::fromLatin1(c.name));
    w->setToolTip(DesignQString(c.textRow));
    w->setFixedWidth(c.width);
    w->setEnabled(c.enabled);
    ToolBar1->addWidget(w);
  };

  QMenu* menu = nullptr;
  for (const Component& c : kComponents) {
    const QString name = c.name ? QString::fromLatin1(c.name) : QString();
    switch (c.kind) {
      case ComponentKind::Menu:
        menu = bar->addMenu(CaptionOf(c));
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        Member<QMenu>(*this, c) = menu;
        break;
      case ComponentKind::BarItem:
      case ComponentKind::Item: {
        QAction* item = nullptr;
        if (c.kind == ComponentKind::BarItem) {
          item = bar->addAction(CaptionOf(c));
        } else {
          item = new QAction(CaptionOf(c), menu);
          menu->addAction(item);
        }
        item->setObjectName(name);
        connect(item, &QAction::triggered, this, c.handler);
        markItem(item, c);
        item->setEnabled(c.enabled);
        if (QActionGroup* group = groupOf(c.group)) group->addAction(item);
        Member<QAction>(*this, c) = item;
        break;
      }
      case ComponentKind::Separator: {
        QAction* separator = menu->addSeparator();
        if (c.name) separator->setObjectName(name);
        if (!std::holds_alternative<std::monostate>(c.slot)) Member<QAction>(*this, c) = separator;
        break;
      }
      case ComponentKind::Button: {
        // Each button shows the icon a desktop user expects (its text stays as the accessible name).
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(name);
        button->setText(FixedQString("Form1", c.name));
        button->setIcon(ToolIcon(c.glyph));
        button->setToolTip(DesignQString(c.textRow));
        button->setAutoRaise(true);
        ToolBar1->addWidget(button);
        connect(button, &QToolButton::clicked, this, c.handler);
        if (c.mark != Mark::None) button->setCheckable(true);
        if (c.group == ComponentGroup::Orientation) orientation->addButton(button);
        if (c.mark == Mark::Checked) button->setChecked(true);
        Member<QToolButton>(*this, c) = button;
        break;
      }
      case ComponentKind::ToolSeparator: ToolBar1->addSeparator(); break;
      case ComponentKind::ZoomBox: {
        auto* box = new QLineEdit(ToolBar1);
        box->setObjectName(name);
        box->setMaxLength(c.maxLength);
        box->setFixedWidth(ZoomBoxWidth(*box));
        box->setToolTip(DesignQString(c.textRow));
        box->setText(QString::fromStdString(FormatZoom(1.0, zoomSeparator())));
        ToolBar1->addWidget(box);
        connect(box, &QLineEdit::textChanged, this, c.handler);
        Member<QLineEdit>(*this, c) = box;
        break;
      }
      case ComponentKind::FontList:
      case ComponentKind::FillStyleList: {
        auto* list = new QComboBox(ToolBar1);
        control(list, c);
        if (c.kind == ComponentKind::FillStyleList)
          for (std::string_view style : FillStyleNames()) list->addItem(FromUtf8(style));
        // Choosing a font or a fill style draws again.
        connect(list, &QComboBox::currentIndexChanged, this, c.handler);
        Member<QComboBox>(*this, c) = list;
        break;
      }
      case ComponentKind::SpinEdit: {
        auto* spin = new QSpinBox(ToolBar1);
        control(spin, c);
        spin->setRange(0, c.maximum);
        if (auto* edit = spin->findChild<QLineEdit*>(); edit && c.maxLength) edit->setMaxLength(c.maxLength);
        Member<QSpinBox>(*this, c) = spin;
        break;
      }
    }
  }
}

void Form1::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar1"));
  // The panels have fixed widths; a compact font keeps their labels readable in them.
  QFont font = bar->font();
  font.setPixelSize(10);
  bar->setFont(font);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    const Panel& spec = kPanels[i];
    auto* label = new QLabel(spec.textRow ? DesignQString(spec.textRow) : QString(), bar);
    label->setObjectName(QStringLiteral("Panel%1").arg(i));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    const bool last = i == kStatusPanelCount - 1;
    if (last) {
      label->setMinimumWidth(spec.width);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
      label->setFixedWidth(StatusPanelWidth(*label, i, spec.width));
      label->setAlignment(Qt::AlignCenter);
    }
    bar->addWidget(label, last ? 1 : 0);
    panels_[static_cast<size_t>(i)] = label;
  }
}

}  // namespace quarto
