#include "core/layer_table.h"

#include <algorithm>
#include <charconv>

#include "core/interface_texts.h"

namespace quarto {

namespace {

std::string_view Trim(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

bool InLayerRange(int n) { return n >= 1 && n <= kLayerTableSize; }

void SetLayerGridHeaders(LayerGrid& grid, bool russian) {
  grid.At(ColNumber, 0) = InterfaceTextFor(kRowGridNumber, russian);
  grid.At(ColStatus, 0) = InterfaceTextFor(kRowGridStatus, russian);
  grid.At(ColColour, 0) = InterfaceTextFor(kRowGridColour, russian);
  grid.At(ColNames, 0) = InterfaceTextFor(kRowGridNames, russian);
}

}  // namespace

std::string_view LayerStatusText(bool on, bool russian) {
  return RunTimeTextFor(on ? RunTimeText::LayerOn : RunTimeText::LayerOff, russian);
}

bool LayerStatusIsOn(std::string_view status) {
  const auto t = Trim(status);
  return t == Trim(LayerStatusText(true, true)) || t == Trim(LayerStatusText(true, false));
}

std::string LayerNumberText(int n) { return "     " + std::to_string(n); }

int RowLayerNumber(const LayerGrid& grid, int row) {
  if (row < 1 || row >= kLayerGridRows) return 0;
  std::string digits;
  for (char c : grid.At(ColNumber, row))
    if (c != ' ') digits.push_back(c);
  int n = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || end != digits.data() + digits.size() || !InLayerRange(n)) return 0;
  return n;
}

void InitLayerGrid(LayerGrid& grid) {
  SetLayerGridHeaders(grid, true);
  ResetLayerRows(grid, true);
}

void SetLayerGridLanguage(LayerGrid& grid, bool russian) {
  SetLayerGridHeaders(grid, russian);
  for (int row = 1; row < kLayerGridRows; ++row) {
    auto& status = grid.At(ColStatus, row);
    status = LayerStatusText(LayerStatusIsOn(status), russian);
  }
}

void ResetLayerRows(LayerGrid& grid, bool russian) {
  for (int n = 1; n < kLayerGridRows; ++n) {
    grid.At(ColNumber, n) = LayerNumberText(n);
    grid.At(ColStatus, n) = LayerStatusText(false, russian);
    grid.At(ColColour, n).clear();
    grid.At(ColNames, n).clear();
  }
}

bool AddLayerName(LayerGrid& grid, int layer, std::string_view name, bool russian) {
  if (!InLayerRange(layer)) return false;
  // Right after a reset row n shows layer n; the row is found by its number all the same.
  for (int row = 1; row < kLayerGridRows; ++row) {
    if (RowLayerNumber(grid, row) != layer) continue;
    grid.At(ColNames, row).append(name).append(",");
    grid.At(ColStatus, row) = LayerStatusText(true, russian);
    return true;
  }
  return false;
}

void ApplyLayerTable(LayerTable& table) {
  table.LayerOrderCount = 0;
  for (int row = 1; row < kLayerGridRows; ++row) {
    if (!LayerStatusIsOn(table.Grid.At(ColStatus, row))) continue;
    const int n = RowLayerNumber(table.Grid, row);
    if (n == 0) continue;  // a row without a valid number names no layer to draw
    table.LayerOrder[table.LayerOrderCount++] = static_cast<uint8_t>(n);
  }
}

void CheckBox1Click(LayerTable& table, bool checked) {
  table.LayerColors = checked ? DefaultLayerColors : table.UserLayerColors;
}

LayerClickResult StringGrid1MouseUp(LayerTable& table, GridCell down, GridCell up, bool left_button, bool russian,
                                    uint32_t foreground_colour) {
  LayerClickResult result;
  if (!left_button || !(down == up)) return result;
  LayerGrid& grid = table.Grid;
  if (up.row >= 1 && up.row < kLayerGridRows) {
    if (up.col == ColStatus) {
      auto& status = grid.At(ColStatus, up.row);
      if (LayerStatusIsOn(status) && Trim(status) == Trim(LayerStatusText(true, russian))) {
        status = LayerStatusText(false, russian);
      } else if (!grid.At(ColNames, up.row).empty()) {
        status = LayerStatusText(true, russian);
      }
      result.grid_changed = true;
    } else if (up.col == ColColour) {
      const int n = RowLayerNumber(grid, up.row);
      if (n != 0) {
        table.LayerColors[static_cast<size_t>(n - 1)] = foreground_colour;
        table.UserLayerColors[static_cast<size_t>(n - 1)] = foreground_colour;
        result.uncheck_default_colours = true;
      }
      result.grid_changed = true;
    }
  } else if (up.col == 0 && up.row == 0) {
    SortLayerRows(grid);
    result.grid_changed = true;
  }
  return result;
}

void MoveLayerRow(LayerGrid& grid, int from, int to) {
  if (from < 1 || from >= kLayerGridRows || to < 1 || to >= kLayerGridRows || from == to) return;
  auto& rows = grid.cells;
  if (from < to)
    std::rotate(rows.begin() + from, rows.begin() + from + 1, rows.begin() + to + 1);
  else
    std::rotate(rows.begin() + to, rows.begin() + from, rows.begin() + from + 1);
}

void SortLayerRows(LayerGrid& grid) {
  for (int i = 1; i < kLayerGridRows - 1; ++i) {
    for (int j = i; j < kLayerGridRows; ++j) {
      if (RowLayerNumber(grid, j) != i) continue;
      if (j != i) std::swap(grid.cells[static_cast<size_t>(i)], grid.cells[static_cast<size_t>(j)]);
      break;
    }
  }
}

}  // namespace quarto
