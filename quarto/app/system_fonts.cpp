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
  f.setKerning(false);
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

struct FittedFont::Advances {
  std::array<std::array<int, 256>, 2> width{};
  std::array<bool, 2> known{};
};

int64_t FittedFont::Width(CodePage page, std::string_view text) const {
  const size_t p = page == CodePage::Cp866 ? 1 : 0;
  auto& table = advances->width[p];
  if (!advances->known[p]) {
    for (int b = 0; b < 256; ++b) table[size_t(b)] = metrics.horizontalAdvance(QChar(DecodeByte(page, uint8_t(b))));
    advances->known[p] = true;
  }
  int64_t w = 0;
  for (char c : text) w += table[static_cast<uint8_t>(c)];
  return w;
}

FittedFont FitSystemFont(const QString& face, int64_t cell) {
  cell = std::max<int64_t>(cell, 1);
  const int fitted = static_cast<int>(std::min(cell, kMaxFontPixelCell));
  // Fitting measures a font several times; a drawing asks for few distinct cells again and again,
  // so the fitted fonts are kept (a bounded number of them).
  static std::map<std::pair<QString, int>, FittedFont> fonts;
  const auto key = std::make_pair(face, fitted);
  auto it = fonts.find(key);
  if (it == fonts.end()) {
    if (fonts.size() > 4096) fonts.clear();
    const QFont font = FontAt(face, FitPixelSize(face, fitted));
    it = fonts.emplace(key, FittedFont{font, QFontMetrics(font), 1.0, std::make_shared<FittedFont::Advances>()}).first;
  }
  FittedFont f = it->second;
  f.scale = double(cell) / double(fitted);
  return f;
}

QStringList FontListFamilies(const QStringList& families) {
  QStringList out;
  for (const QString& family : families) {
    const qsizetype foundry = family.endsWith(QLatin1Char(']')) ? family.lastIndexOf(QStringLiteral(" [")) : -1;
    out << (foundry > 0 ? family.left(foundry) : family);
  }
  out.sort(Qt::CaseInsensitive);
  out.removeDuplicates();
  return out;
}

QString DefaultFontFace(const QStringList& families) {
  for (const char* name : {"Arial Narrow", "Liberation Sans Narrow"})
    if (families.contains(QLatin1String(name))) return QLatin1String(name);
  for (const QString& f : families)
    if (QFontDatabase::writingSystems(f).contains(QFontDatabase::Cyrillic)) return f;
  return {};
}

}  // namespace quarto
