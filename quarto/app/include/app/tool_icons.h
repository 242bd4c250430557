#pragma once
// Icons of the main window's tool buttons: the desktop theme's icon of the usual name, or, where
// the theme has none, a small icon of our own drawn here.
#include <QIcon>

namespace quarto {

enum class ToolGlyph { Open, Portrait, Landscape, Print, MirrorX, MirrorY, Fit, OneToOne, ZoomIn, ZoomOut, Layers };

// The theme's icon for the glyph, else ours.
QIcon ToolIcon(ToolGlyph glyph);
// Our own icon for the glyph (the fallback), 16 x 16.
QIcon OwnToolIcon(ToolGlyph glyph);
// The theme's name of the glyph's icon.
const char* ThemeIconName(ToolGlyph glyph);

}  // namespace quarto
