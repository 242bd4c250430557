#include "app/form2.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "app/form1.h"
#include "app/interface_language.h"
#include "app/qpainter_canvas.h"
#include "app/rx_components.h"
#include "core/interface_texts.h"

namespace quarto {

namespace {

// Room a cell's text leaves: two pixels before it, one after.
constexpr int kTextPadding = 3;

// What the first three columns may have to show, in either language: the header, and the
// numbers or statuses of the rows.
QStringList ColumnTexts(int col) {
  QStringList texts;
  const int headers[] = {kRowGridNumber, kRowGridStatus, kRowGridColour};
  for (bool russian : {true, false}) {
    texts << InterfaceQString(headers[col], russian);
    if (col == ColStatus)
      texts << FromUtf8(LayerStatusText(true, russian)) << FromUtf8(LayerStatusText(false, russian));
  }
  if (col == ColNumber) texts << QStringLiteral("     16");
  return texts;
}
}  // namespace

// ---- StringGrid ----------------------------------------------------------------------------------

StringGrid::StringGrid(LayerGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid) {
  setObjectName(QStringLiteral("StringGrid1"));
  setMouseTracking(false);
  // A font wider than the design's gets wider columns; the names column gives up the room.
  const QFontMetrics metrics(font());
  for (int col = ColNumber; col < ColNames; ++col) {
    for (const QString& text : ColumnTexts(col)) {
      const int need = metrics.horizontalAdvance(text) + kTextPadding;
      const int grow = need - widths_[static_cast<size_t>(col)];
      if (grow <= 0) continue;
      widths_[static_cast<size_t>(col)] += grow;
      widths_[ColNames] -= grow;
    }
  }
}

QRect StringGrid::CellRect(int col, int row) const {
  int x = 0;
  for (int c = 0; c < col; ++c) x += widths_[static_cast<size_t>(c)] + kLineWidth;
  return QRect(x, row * (kRowHeight + kLineWidth), widths_[static_cast<size_t>(col)], kRowHeight);
}

QRect StringGrid::TextRect(int col, int row) const { return CellRect(col, row).adjusted(2, 0, -1, 0); }

GridCell StringGrid::MouseToCell(QPoint p) const {
  if (p.x() < 0 || p.y() < 0) return {};
  int col = -1;
  int x = 0;
  for (int c = 0; c < kLayerGridColumns; ++c) {
    x += widths_[static_cast<size_t>(c)] + kLineWidth;
    if (p.x() < x) {
      col = c;
      break;
    }
  }
  int row = p.y() / (kRowHeight + kLineWidth);
  if (col < 0 || row >= kLayerGridRows) return {};
  return {col, row};
}

void StringGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  // Lines between all cells: the gaps left between the cell rectangles.
  painter.fillRect(QRect(0, 0, CellRect(kLayerGridColumns - 1, 0).right() + 1 + kLineWidth,
                         kLayerGridRows * (kRowHeight + kLineWidth)),
                   palette().color(QPalette::Mid));
  for (int row = 0; row < kLayerGridRows; ++row) {
    for (int col = 0; col < kLayerGridColumns; ++col) {
      QRect r = CellRect(col, row);
      const bool fixed = row == 0 || col == 0;
      painter.fillRect(r, fixed ? palette().color(QPalette::Button) : QColor(Qt::white));
      if (onDrawCell && !fixed) onDrawCell(painter, col, row, r);
      const std::string& text = grid_.At(col, row);
      if (text.empty()) continue;
      painter.setPen(palette().color(QPalette::ButtonText));
      painter.drawText(TextRect(col, row), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       QString::fromStdString(text));
    }
  }
  if (movingRow_ > 0 && dropRow_ != movingRow_) {
    // Where the dragged row will land: above the target row when moving up, below it when moving down.
    painter.setPen(QPen(Qt::black, 2));
    const QRect target = CellRect(0, dropRow_);
    const int y = dropRow_ < movingRow_ ? target.top() : target.bottom() + 1;
    painter.drawLine(0, y, width(), y);
  }
}

int StringGrid::DropRow(int y) const {
  const int row = y < 0 ? 0 : y / (kRowHeight + kLineWidth);
  return std::clamp(row, 1, kLayerGridRows - 1);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  if (onMouseDown) onMouseDown(event->button(), p);
  GridCell cell = MouseToCell(p);
  if (event->button() == Qt::LeftButton && cell.col == ColNumber && cell.row >= 1) movingRow_ = dropRow_ = cell.row;
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  if (movingRow_ > 0) {
    dropRow_ = DropRow(event->position().toPoint().y());
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
  QPoint p = event->position().toPoint();
  if (event->button() == Qt::LeftButton && movingRow_ > 0) {
    // The grid finishes a row move before the release is handed on.
    const int from = movingRow_;
    const int to = DropRow(p.y());
    movingRow_ = dropRow_ = -1;
    if (to != from) MoveLayerRow(grid_, from, to);
    update();
  }
  if (onMouseUp) onMouseUp(event->button(), p);
}

// ---- ColorGrid -----------------------------------------------------------------------------------

const std::array<uint32_t, 16> ColorGrid::kColors = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

ColorGrid::ColorGrid(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("ColorGrid1")); }

QRect ColorGrid::CellRect(int index) const {
  const int n = static_cast<int>(kColors.size());
  int left = index * width() / n;
  int right = (index + 1) * width() / n;
  return QRect(left, 0, right - left, height());
}

int ColorGrid::IndexAt(QPoint p) const {
  if (!rect().contains(p)) return -1;
  return p.x() * static_cast<int>(kColors.size()) / width();
}

void ColorGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int i = 0; i < static_cast<int>(kColors.size()); ++i) {
    QRect r = CellRect(i);
    painter.fillRect(r, QPainterCanvas::ToQColor(kColors[static_cast<size_t>(i)]));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
  }
  // Foreground marker: "FG" in a contrasting colour.
  QRect r = CellRect(foreground_);
  QColor c = QPainterCanvas::ToQColor(ForegroundColor());
  painter.setPen(c.lightness() > 127 ? Qt::black : Qt::white);
  painter.drawText(r, Qt::AlignCenter, QStringLiteral("FG"));
}

void ColorGrid::mouseReleaseEvent(QMouseEvent* event) {
  int i = IndexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && i >= 0) {
    foreground_ = i;
    update();
  }
  QWidget::mouseReleaseEvent(event);
}

// ---- Form2 ---------------------------------------------------------------------------------------

Form2::Form2(Form1* mainWindow) : QWidget(mainWindow, kSecondaryWindowFlags), main_(mainWindow) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(DesignQString(kRowForm2Caption));
  setFixedSize(504, 324);
  // The stand-in of the design's font, as in the other small windows.
  setFont(PixelFont(kSansFamily, 11));

  StringGrid1 = new StringGrid(table_.Grid, this);
  StringGrid1->setGeometry(0, 0, 505, 276);
  StringGrid1->onDrawCell = [this](QPainter& p, int col, int row, const QRect& r) {
    StringGrid1DrawCell(p, col, row, r);
  };
  StringGrid1->onMouseDown = [this](Qt::MouseButton b, QPoint pos) { StringGrid1MouseDown(b, pos); };
  StringGrid1->onMouseUp = [this](Qt::MouseButton b, QPoint pos) { StringGrid1MouseUp(b, pos); };

  ColorGrid1 = new ColorGrid(this);
  ColorGrid1->setGeometry(0, 280, 368, 25);

  BitBtn2 = new QPushButton(DesignQString(kRowApplyOrder), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setGeometry(376, 288, 73, 25);
  connect(BitBtn2, &QPushButton::clicked, this, &Form2::BitBtn2Click);

  BitBtn1 = new QPushButton(FixedQString("Form2", "BitBtn1"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setGeometry(456, 288, 43, 25);
  connect(BitBtn1, &QPushButton::clicked, this, &Form2::BitBtn1Click);

  CheckBox1 = new QCheckBox(DesignQString(kRowDefaultColour), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setGeometry(4, 304, std::max(129, CheckBox1->sizeHint().width()), 17);
  CheckBox1->setChecked(true);
  // Runs for the program's changes of the check mark too, as the column-colour click needs.
  connect(CheckBox1, &QCheckBox::toggled, this, &Form2::CheckBox1Click);

  CentreOnScreen(this);

  FormCreate();
}

void Form2::FormCreate() { InitLayerGrid(table_.Grid); }

void Form2::ApplyLayerTable() {
  quarto::ApplyLayerTable(table_);
  if (main_) main_->ReDraw();
}

void Form2::ApplyStartColours() {
  StringGrid1->update();
  {
    QSignalBlocker block(CheckBox1);
    CheckBox1->setChecked(table_.DefaultColors);
  }
  CheckBox1Click();
}

void Form2::CheckBox1Click() {
  quarto::CheckBox1Click(table_, CheckBox1->isChecked());
  StringGrid1->repaint();
}

void Form2::BitBtn1Click() { close(); }  // closing applies the table

void Form2::BitBtn2Click() { ApplyLayerTable(); }

void Form2::FormClose() { ApplyLayerTable(); }

void Form2::closeEvent(QCloseEvent* event) {
  if (main_) {
    main_->Guarded([this] { FormClose(); });
  } else {
    FormClose();
  }
  event->accept();  // hidden, not destroyed
}

void Form2::StringGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect) {
  if (col != ColColour || row < 1 || row >= kLayerGridRows) return;
  const int layer = RowLayerNumber(table_.Grid, row);
  if (layer < 1 || layer > static_cast<int>(table_.LayerColors.size())) return;
  painter.fillRect(rect, QPainterCanvas::ToQColor(table_.LayerColors[static_cast<size_t>(layer - 1)]));
}

void Form2::StringGrid1MouseDown(Qt::MouseButton button, QPoint pos) {
  if (button == Qt::LeftButton) DownCell = StringGrid1->MouseToCell(pos);
}

void Form2::StringGrid1MouseUp(Qt::MouseButton button, QPoint pos) {
  const bool russian = main_ ? main_->russian() : true;
  LayerClickResult result =
      quarto::StringGrid1MouseUp(table_, DownCell, StringGrid1->MouseToCell(pos), button == Qt::LeftButton, russian,
                                 ColorGrid1->ForegroundColor());
  if (result.uncheck_default_colours) CheckBox1->setChecked(false);
  if (result.grid_changed) StringGrid1->repaint();
}

}  // namespace quarto
