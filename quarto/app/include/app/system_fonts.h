#pragma once
// System fonts as the plot viewer's texts use them: a face at the height of its character cell,
// and the face chosen when the settings name none.
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/code_page.h"

namespace quarto {

// The tallest pixel size handed to Qt. Far larger sizes break its metrics (a negative height at
// 30 000 pixels) and cost much time to draw; a taller cell is drawn at this size and scaled.
inline constexpr int64_t kMaxFontPixelCell = 8192;

// A face at a cell height: Qt's pixel size is the em, while a cell height is ascent plus descent,
// so the pixel size is the one whose QFontMetrics::height() is the cell, within one pixel. The
// font is drawn without antialiasing: shaded edges would put hundreds of colours into an 8-bit
// bitmap. Above kMaxFontPixelCell the font is fitted to that cell and scale enlarges it. Like the
// device-context calls it stands for, the font is not kerned: a text is as wide as the sum of its
// characters' advances, which are looked up once per font and code page.
struct FittedFont {
  QFont font;
  QFontMetrics metrics;
  double scale = 1.0;
  // The width of the text's codes in the code page, at the fitted size (before scale).
  int64_t Width(CodePage page, std::string_view text) const;

  struct Advances;
  std::shared_ptr<Advances> advances;
};
FittedFont FitSystemFont(const QString& face, int64_t cell);

// The font list's entries from the installed families: one entry per family, sorted without
// regard to case. Qt names a family that several foundries provide "Family [Foundry]", once per
// foundry; the face is passed on by its family name, so the foundries are one entry.
QStringList FontListFamilies(const QStringList& families);

// The face when none is chosen: "Arial Narrow", else its metric twin "Liberation Sans Narrow",
// else the first of the families that covers Cyrillic; empty when none does.
QString DefaultFontFace(const QStringList& families);

}  // namespace quarto
