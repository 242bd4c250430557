#pragma once
// Form2: the layer table window. A tool window on top of the main window, created hidden at
// start-up and hidden, never destroyed, when closed. The data and its rules live in the core's
// LayerTable; this window shows the grid and turns mouse events into calls of those rules.
#include <QCheckBox>
#include <QColor>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "core/layer_table.h"

namespace quarto {

class Form1;

// The 4 x 17 string grid: one fixed header row and one fixed number column, fixed column widths
// and row height, a one-pixel line between all cells, no editing and no scroll bars. Dragging a
// number cell moves its whole row.
class StringGrid : public QWidget {
  Q_OBJECT
 public:
  static constexpr std::array<int, kLayerGridColumns> kColumnWidths = {55, 55, 55, 333};
  static constexpr int kRowHeight = 15;
  static constexpr int kLineWidth = 1;

  // The grid in the font it has when it is made (its window's).
  StringGrid(LayerGrid& grid, QWidget* parent);

  // The cell under a point in widget pixels; (-1, -1) outside every cell.
  GridCell MouseToCell(QPoint p) const;
  QRect CellRect(int col, int row) const;
  // Where a cell's text is drawn.
  QRect TextRect(int col, int row) const;
  // The column widths: the design widths, the first three grown where the font needs more room
  // for the headers, numbers and statuses of either language, the names column giving it up.
  const std::array<int, kLayerGridColumns>& columnWidths() const { return widths_; }

  // Paints the colour column; the grid draws every other cell itself.
  std::function<void(QPainter&, int col, int row, const QRect&)> onDrawCell;
  std::function<void(Qt::MouseButton, QPoint)> onMouseDown;
  std::function<void(Qt::MouseButton, QPoint)> onMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The layer row (1..16) a drag at height y lands on: the row under it, the first or last row
  // when y lies above or below them.
  int DropRow(int y) const;

  LayerGrid& grid_;
  std::array<int, kLayerGridColumns> widths_ = kColumnWidths;
  int movingRow_ = -1;  // row being dragged by its number cell, -1 when none
  int dropRow_ = -1;    // where that row lands when the button is released
};

// A picker of the 16 stock colours in one row; a left click chooses the foreground colour.
class ColorGrid : public QWidget {
  Q_OBJECT
 public:
  // The stock colours, left to right, as 0x00BBGGRR.
  static const std::array<uint32_t, 16> kColors;

  explicit ColorGrid(QWidget* parent);
  uint32_t ForegroundColor() const { return kColors[static_cast<size_t>(foreground_)]; }
  int ForegroundIndex() const { return foreground_; }
  // The index of the colour cell under a point; -1 outside.
  int IndexAt(QPoint p) const;
  QRect CellRect(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int foreground_ = 0;  // black
};

class Form2 : public QWidget {
  Q_OBJECT
 public:
  explicit Form2(Form1* mainWindow);

  LayerTable& table() { return table_; }
  const LayerTable& table() const { return table_; }

  // Rebuilds LayerOrder from the grid and asks the main window for one repaint.
  void ApplyLayerTable();
  // Start-up: refreshes the grid, sets CheckBox1 from DefaultColors and runs its handler once.
  void ApplyStartColours();

  StringGrid* StringGrid1;
  ColorGrid* ColorGrid1;
  QPushButton* BitBtn2;
  QPushButton* BitBtn1;
  QCheckBox* CheckBox1;
  GridCell DownCell;

 public slots:
  void FormCreate();
  void CheckBox1Click();
  void BitBtn1Click();
  void BitBtn2Click();
  void StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect);
  void StringGrid1MouseDown(Qt::MouseButton button, QPoint pos);
  void StringGrid1MouseUp(Qt::MouseButton button, QPoint pos);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void FormClose();

 private:
  Form1* main_;
  LayerTable table_;
};

}  // namespace quarto
