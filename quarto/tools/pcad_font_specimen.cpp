// pcad-font-specimen OUT.png: draws every glyph of the built-in stroke font through the Qt canvas
// the viewer draws with, in a grid labelled with the glyph index and a character code (hex, as a
// PLT 8.5 text reaches it) that draws the glyph. The cell frame and the baseline are shown in grey.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "app/qpainter_canvas.h"
#include "core/pcad_font.h"
#include "core/stroke_text.h"

using namespace quarto;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pcad-font-specimen OUT.png\n");
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);

  // The lowest code that reaches each glyph.
  std::array<int, kPcadGlyphCount> codeOf{};
  codeOf.fill(-1);
  for (int code = 255; code >= 1; --code)
    if (const int g = GlyphIndex85(static_cast<uint8_t>(code)); g != kNoGlyph) codeOf[static_cast<size_t>(g)] = code;

  constexpr int kColumns = 16, kCellW = 84, kCellH = 132, kMargin = 10;
  constexpr double kScale = 0.4;  // font units to pixels: a 250-unit cell is 100 pixels high
  const int rows = (kPcadGlyphCount + kColumns - 1) / kColumns;
  QImage image(kMargin * 2 + kColumns * kCellW, kMargin * 2 + rows * kCellH, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QFont label("DejaVu Sans");
  label.setPixelSize(11);
  painter.setFont(label);
  painter.setBrush(Qt::NoBrush);
  auto origin = [&](int g) {  // bottom-left corner of glyph g's font cell
    return QPoint(kMargin + (g % kColumns) * kCellW + 12, kMargin + (g / kColumns + 1) * kCellH - 8);
  };
  // Labels, cell frames and baselines first, straight on the painter.
  for (int g = 0; g < kPcadGlyphCount; ++g) {
    const QPoint o = origin(g);
    const int cellW = int(kPcadCellWidth * kScale), cellH = int(kPcadCellHeight * kScale);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(o.x(), o.y() - cellH, cellW, cellH);
    painter.drawLine(o.x(), o.y() - int(50 * kScale), o.x() + cellW, o.y() - int(50 * kScale));
    painter.setPen(QColor(40, 40, 160));
    const QString code = codeOf[size_t(g)] < 0 ? QStringLiteral("--") : QString::number(codeOf[size_t(g)], 16);
    painter.drawText(o.x() - 8, o.y() - cellH - 6, QStringLiteral("%1  %2").arg(g).arg(code));
  }
  // Then the glyphs, each a one-character text through the canvas.
  QPainterCanvas canvas(painter);
  canvas.pen = {kBlack, 2, PenStyle::Solid};
  for (int g = 0; g < kPcadGlyphCount; ++g) {
    if (codeOf[size_t(g)] < 0) continue;
    Placement place;
    place.ScaleX = place.ScaleY = 1;
    place.SignX = 1, place.SignY = -1;
    place.OffsetX = origin(g).x(), place.OffsetY = origin(g).y();
    const DecodedText text{std::string(1, static_cast<char>(codeOf[size_t(g)])), false};
    DrawStrokeText(canvas, place, text, {0, 0, 0, 0, static_cast<uint32_t>(200 * kScale)}, GlyphIndex85);
  }
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "pcad-font-specimen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
