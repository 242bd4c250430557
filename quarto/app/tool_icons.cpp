#include "app/tool_icons.h"

#include <QPainter>
#include <QPixmap>

namespace quarto {

const char* ThemeIconName(ToolGlyph glyph) {
  switch (glyph) {
    case ToolGlyph::Open: return "document-open";
    case ToolGlyph::Portrait: return "document-page-setup-portrait";
    case ToolGlyph::Landscape: return "document-page-setup-landscape";
    case ToolGlyph::Print: return "document-print";
    case ToolGlyph::MirrorX: return "object-flip-vertical";
    case ToolGlyph::MirrorY: return "object-flip-horizontal";
    case ToolGlyph::Fit: return "zoom-fit-best";
    case ToolGlyph::OneToOne: return "zoom-original";
    case ToolGlyph::ZoomIn: return "zoom-in";
    case ToolGlyph::ZoomOut: return "zoom-out";
    case ToolGlyph::Layers: return "view-list-details";
  }
  return "";
}

QIcon OwnToolIcon(ToolGlyph glyph) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QPen ink(QColor(40, 40, 40), 1.2);
  p.setPen(ink);
  auto page = [&](QRectF r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
    for (double y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
      p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
  };
  auto magnifier = [&](bool plus) {
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(QColor(40, 40, 40), 2.2));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.setPen(ink);
    p.drawLine(QPointF(4, 6), QPointF(8, 6));
    if (plus) p.drawLine(QPointF(6, 4), QPointF(6, 8));
  };
  switch (glyph) {
    case ToolGlyph::Open:
      p.setBrush(QColor(230, 190, 90));
      p.drawPolygon(QPolygonF({{1.5, 4}, {6, 4}, {7.5, 5.5}, {14.5, 5.5}, {14.5, 13.5}, {1.5, 13.5}}));
      break;
    case ToolGlyph::Portrait: page(QRectF(3.5, 1.5, 9, 13)); break;
    case ToolGlyph::Landscape: page(QRectF(1.5, 3.5, 13, 9)); break;
    case ToolGlyph::Print:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 1.5, 7, 5));
      p.setBrush(QColor(170, 170, 170));
      p.drawRect(QRectF(1.5, 6.5, 13, 6));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4.5, 10.5, 7, 4));
      break;
    case ToolGlyph::MirrorX:  // top and bottom change places
      p.drawLine(QPointF(1, 8), QPointF(15, 8));
      p.setBrush(QColor(40, 40, 40));
      p.drawPolygon(QPolygonF({{8, 1.5}, {4.5, 6}, {11.5, 6}}));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(QPolygonF({{8, 14.5}, {4.5, 10}, {11.5, 10}}));
      break;
    case ToolGlyph::MirrorY:  // left and right change places
      p.drawLine(QPointF(8, 1), QPointF(8, 15));
      p.setBrush(QColor(40, 40, 40));
      p.drawPolygon(QPolygonF({{1.5, 8}, {6, 4.5}, {6, 11.5}}));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(QPolygonF({{14.5, 8}, {10, 4.5}, {10, 11.5}}));
      break;
    case ToolGlyph::Fit:
      p.drawRect(QRectF(4.5, 4.5, 7, 7));
      for (const QLineF& l : {QLineF(1, 1, 4, 4), QLineF(15, 1, 12, 4), QLineF(1, 15, 4, 12), QLineF(15, 15, 12, 12)})
        p.drawLine(l);
      break;
    case ToolGlyph::OneToOne: {
      QFont f = p.font();
      f.setPixelSize(9);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("1:1"));
      break;
    }
    case ToolGlyph::ZoomIn: magnifier(true); break;
    case ToolGlyph::ZoomOut: magnifier(false); break;
    case ToolGlyph::Layers:
      for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor::fromHsv(120 * i, 160, 230));
        p.drawPolygon(QPolygonF({{8, 2.5 + 4.0 * i}, {14.5, 5.5 + 4.0 * i}, {8, 8.5 + 4.0 * i}, {1.5, 5.5 + 4.0 * i}}));
      }
      break;
  }
  p.end();
  return QIcon(pixmap);
}

QIcon ToolIcon(ToolGlyph glyph) {
  return QIcon::fromTheme(QString::fromLatin1(ThemeIconName(glyph)), OwnToolIcon(glyph));
}

}  // namespace quarto
