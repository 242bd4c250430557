#include "core/zoom_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quarto {

double ZoomStep(double zoom, bool increase, bool shift) {
  const double step = shift ? 0.05 : 0.5;
  return std::clamp(increase ? zoom + step : zoom - step, 0.0, kMaxZoom);
}

std::optional<double> ParseZoomText(const std::string& text, char separator, bool* held) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(" \t");
  std::string s = text.substr(first, last - first + 1);
  std::replace(s.begin(), s.end(), separator, '.');
  double v = 0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  const double zoom = std::clamp(v, 0.0, kMaxZoom);
  if (held) *held = zoom != v;
  return zoom;
}

}  // namespace quarto
