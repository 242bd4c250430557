#pragma once
// The zoom commands without a window: the step of the zoom buttons and keys, and the reading of
// the zoom box's text. The zoom is always held to 0..100.
#include <optional>
#include <string>

namespace quarto {

inline constexpr double kMaxZoom = 100.0;

// One step of the + or - command: 0.5, or 0.05 with Shift down, held to 0..100.
double ZoomStep(double zoom, bool increase, bool shift);

// The zoom box's text as a zoom: blanks trimmed, separator (and '.') taken as the decimal point,
// held to 0..100. nullopt for a text that is no finite number. held, when given, tells whether the
// number lay outside the range (the box then shows the zoom in force instead).
std::optional<double> ParseZoomText(const std::string& text, char separator, bool* held = nullptr);

}  // namespace quarto
