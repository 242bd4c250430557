#pragma once
// The smooth zoom of the working picture: twice the size less one pixel, every picture
// pixel kept at the even positions and the pixels between them averaged.
#include <vector>

#include "core/screen.h"

namespace brindle {

// A true-colour picture, lines top first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

inline constexpr int SmoothZoomSize = 2 * Pic::Width - 1;  // 511

// pic as a SmoothZoomSize x SmoothZoomSize picture. Pixel (2x, 2y) is pic's colour at
// (x, y). On even rows, pixel 2x + 1 is the average of its left and right neighbours;
// then every odd row is the average of the even rows above and below it. Averages are
// taken per colour byte and rounded down.
RgbPicture SmoothZoomed(const Pic& pic);

}  // namespace brindle
