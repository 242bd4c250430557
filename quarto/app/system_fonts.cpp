#include "app/system_fonts.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace quarto {

namespace {

QFont FontAt(const QString& face, int pixelSize) {
  QFont f(face);
  f.setPixelSize(pixelSize);
  f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

// The pixel size whose cell is nearest to the wanted one, from a first guess by the face's
// proportion of cell to em, corrected a step at a time.
int FitPixelSize(const QString& face, int cell) {
  const int probe = QFontMetrics(FontAt(face, 1000)).height();
  int px = probe > 0 ? static_cast<int>(std::lround(double(cell) * 1000.0 / probe)) : cell;
  px = std::max(px, 1);
  int best = px, bestMiss = INT32_MAX;
  for (int step = 0; step < 16; ++step) {
    const int h = QFontMetrics(FontAt(face, px)).height();
    const int miss = std::abs(h - cell);
    if (miss < bestMiss) best = px, bestMiss = miss;
    if (miss == 0) break;
    const int next = h > cell ? px - 1 : px + 1;
    if (next < 1) break;
    px = next;
  }
  return best;
}

}  // namespace

FittedFont FitSystemFont(const QString& face, int64_t cell) {
  cell = std::max<int64_t>(cell, 1);
  const int fitted = static_cast<int>(std::min(cell, kMaxFontPixelCell));
  // Fitting measures a font several times; a drawing asks for few distinct cells again and again.
  static std::map<std::pair<QString, int>, int> pixelSizes;
  const auto key = std::make_pair(face, fitted);
  auto it = pixelSizes.find(key);
  if (it == pixelSizes.end()) {
    if (pixelSizes.size() > 4096) pixelSizes.clear();
    it = pixelSizes.emplace(key, FitPixelSize(face, fitted)).first;
  }
  const QFont font = FontAt(face, it->second);
  return {font, QFontMetrics(font), double(cell) / double(fitted)};
}

QString DefaultFontFace(const QStringList& families) {
  for (const char* name : {"Arial Narrow", "Liberation Sans Narrow"})
    if (families.contains(QLatin1String(name))) return QLatin1String(name);
  for (const QString& f : families)
    if (QFontDatabase::writingSystems(f).contains(QFontDatabase::Cyrillic)) return f;
  return {};
}

}  // namespace quarto
