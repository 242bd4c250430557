#pragma once
// The layer table's data, without a window: the 4 x 17 text grid that the window shows
// (row 0 headers, rows 1..16 the layers; columns number, status, colour, names), the layer colours
// and the drawing order, and the table's operations as plain functions: the grid set-up, the reset
// and naming that the scan pass does, ApplyLayerTable, CheckBox1Click, the click rules of
// StringGrid1MouseUp, moving a row, sorting the rows back into number order, and the language
// switch of the statuses and headers. All texts are UTF-8.
//
// Colours are 32-bit 0x00BBGGRR values (red in the low byte). Arrays indexed by layer use the
// index layer - 1. The window keeps a LayerTable, shows LayerTable::Grid and calls these functions;
// a result flag tells it when CheckBox1 must be unchecked.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarto {

inline constexpr int kLayerTableSize = 16;
using LayerColorArray = std::array<uint32_t, kLayerTableSize>;

// The built-in colours of layers 1..16 (layers 10 and 14 share the same silver).
inline constexpr LayerColorArray DefaultLayerColors = {
    0x00008000, 0x000000FF, 0x0000FFFF, 0x00FF0000, 0x00FFFF00, 0x00800080, 0x00808080, 0x00808000,
    0x00000080, 0x00C0C0C0, 0x00800000, 0x00008080, 0x00FF00FF, 0x00C0C0C0, 0x0000FF00, 0x00FFFFFF,
};

// Grid columns.
enum LayerGridColumn : int { ColNumber = 0, ColStatus = 1, ColColour = 2, ColNames = 3 };
inline constexpr int kLayerGridColumns = 4;
inline constexpr int kLayerGridRows = 17;

struct LayerGrid {
  // cells[row][column]; the strings start empty. No braced initialiser here: Debian's clang 14
  // crashes on a value-initialised nested array of strings.
  std::array<std::array<std::string, kLayerGridColumns>, kLayerGridRows> cells;
  std::string& At(int col, int row) { return cells[static_cast<size_t>(row)][static_cast<size_t>(col)]; }
  const std::string& At(int col, int row) const { return cells[static_cast<size_t>(row)][static_cast<size_t>(col)]; }
};

struct LayerTable {
  LayerGrid Grid;
  LayerColorArray LayerColors = DefaultLayerColors;      // colour of each layer now
  LayerColorArray UserLayerColors = DefaultLayerColors;  // the user's own colours
  std::array<uint8_t, kLayerTableSize> LayerOrder{};     // switched-on layers, top row first
  uint8_t LayerOrderCount = 0;
  bool DefaultColors = true;  // the default-colours setting as read at start
};

// Status texts: "   Вкл."/"   Выкл." (Russian) or "   ON"/"   OFF" (English).
std::string_view LayerStatusText(bool on, bool russian);
// A status counts as on when, trimmed of blanks at both ends, it is "Вкл." or "ON" (either language).
bool LayerStatusIsOn(std::string_view status);
// The number column's text for layer n: five blanks and n.
std::string LayerNumberText(int n);
// The layer number shown in a row's number column (blanks removed); 0 when it is not 1..16.
int RowLayerNumber(const LayerGrid& grid, int row);

// FormCreate: Russian headers; rows 1..16 numbered in order, off, without names.
void InitLayerGrid(LayerGrid& grid);
// Language switch: the four headers and every row's status in the new language, on/off kept.
void SetLayerGridLanguage(LayerGrid& grid, bool russian);
// Scan pass, before the layer names: row n shows layer n, off, no names.
void ResetLayerRows(LayerGrid& grid, bool russian);
// Scan pass, one layer-name record: appends name + "," to the names of the row showing that layer
// and switches it on. Layer numbers outside 1..16 are ignored (returns false).
bool AddLayerName(LayerGrid& grid, int layer, std::string_view name, bool russian);

// Rebuilds LayerOrder and LayerOrderCount from the rows that are on, top row first. The window
// then repaints the main window.
void ApplyLayerTable(LayerTable& table);

// CheckBox1Click: checked gives the default colours, unchecked the user's colours (all 16);
// UserLayerColors is never touched. The window refreshes the grid.
void CheckBox1Click(LayerTable& table, bool checked);

struct GridCell {
  int col = -1;
  int row = -1;
  bool operator==(const GridCell&) const = default;
};

struct LayerClickResult {
  bool grid_changed = false;             // refresh the grid
  bool uncheck_default_colours = false;  // uncheck CheckBox1 (its handler then runs CheckBox1Click)
};

// StringGrid1MouseUp: a left-button press and release in the same cell. A status cell toggles
// (switching on only a row with names); a colour cell gives that row's layer the colour in both
// colour arrays and asks for CheckBox1 to be unchecked; the top-left header cell sorts the rows
// back into number order. Anything else changes nothing.
LayerClickResult StringGrid1MouseUp(LayerTable& table, GridCell down, GridCell up, bool left_button, bool russian,
                                    uint32_t foreground_colour);

// Moves the whole row `from` to position `to` (both 1..16); the rows between shift by one.
void MoveLayerRow(LayerGrid& grid, int from, int to);
// Puts the rows back into number order 1..16, each keeping its status and names.
void SortLayerRows(LayerGrid& grid);

}  // namespace quarto
