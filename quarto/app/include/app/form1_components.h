#pragma once
// The main window's menu and tool bar as one table of components, in the order they stand: each
// with its name (the object's name, and the prefix of its handler's name), the interface-text row
// of its caption or hint, its group, its handler and its state as the window is made. Form1 builds
// its menu bar and its tool bar from this table and nothing else.
#include <cstdint>
#include <span>
#include <variant>

#include "app/tool_icons.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class QToolButton;

namespace quarto {

class Form1;

enum class ComponentKind : uint8_t {
  Menu,           // a menu of the menu bar; the items that follow it are its own
  BarItem,        // an item on the menu bar itself
  Item,           // a menu item
  Separator,      // a menu's separator
  Button,         // a tool button
  ToolSeparator,  // a separator of the tool bar
  ZoomBox,        // the zoom factor's edit box
  FontList,       // the list of system fonts, filled when the window is created
  FillStyleList,  // the list of polygon fill styles
  SpinEdit,       // a spin edit of whole numbers from 0 to its maximum
};

// The components that act as one: the radio items of a menu, the grouped tool buttons.
enum class ComponentGroup : uint8_t {
  None,
  Font,         // ANSI1 and OEM1: one or none of them checked
  Position,     // the nine position items: one or none checked
  Language,     // N20 and English1: one checked once a language is applied
  Orientation,  // the portrait and landscape buttons: one down
};

// The check mark of an item or the state of a button as the window is made.
enum class Mark : uint8_t { None, Unchecked, Checked };

// The member of Form1 that holds the component.
using ComponentSlot = std::variant<std::monostate, QMenu * Form1::*, QAction * Form1::*, QToolButton * Form1::*,
                                   QLineEdit * Form1::*, QComboBox * Form1::*, QSpinBox * Form1::*>;

struct Component {
  const char* name = nullptr;  // nullptr for an unnamed separator
  ComponentKind kind = ComponentKind::Item;
  ComponentSlot slot = std::monostate{};
  // The interface-text row of a menu's or an item's caption, or of a tool-bar control's hint; 0
  // for a component whose caption reads the same in both languages (FixedTextOf).
  int textRow = 0;
  void (Form1::*handler)() = nullptr;  // run when an item is triggered, a button clicked, a box changed
  ComponentGroup group = ComponentGroup::None;
  Mark mark = Mark::None;
  bool enabled = true;
  ToolGlyph glyph = ToolGlyph::Open;  // a button's icon
  int width = 0;                      // the fixed width of a list or a spin edit
  int maximum = 0;                    // a spin edit's largest value
  int maxLength = 0;                  // the characters its edit line takes; 0 for the default
};

// The menu bar's components, then the tool bar's, left to right.
std::span<const Component> Form1Components();

}  // namespace quarto
