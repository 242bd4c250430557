#include "core/zoom.h"

namespace brindle {

namespace {

std::uint8_t Mean(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>((a + b) / 2); }

Rgb Mean(const Rgb& a, const Rgb& b) { return {Mean(a.r, b.r), Mean(a.g, b.g), Mean(a.b, b.b)}; }

}  // namespace

RgbPicture SmoothZoomed(const Pic& pic) {
  constexpr int last = Pic::Width - 1;
  RgbPicture out{SmoothZoomSize, SmoothZoomSize,
                 std::vector<Rgb>(static_cast<std::size_t>(SmoothZoomSize) * SmoothZoomSize)};
  // The picture's own pixels on the even rows, the pixels between them averaged.
  for (int y = 0; y < Pic::Height; ++y) {
    for (int x = 0; x < last; ++x) {
      const Rgb left = pic.colourAt(x, y);
      out.at(2 * x, 2 * y) = left;
      out.at(2 * x + 1, 2 * y) = Mean(left, pic.colourAt(x + 1, y));
    }
    out.at(2 * last, 2 * y) = pic.colourAt(last, y);
  }
  // Odd rows from the finished even rows above and below.
  for (int k = 0; k < last; ++k)
    for (int x = 0; x < SmoothZoomSize; ++x) out.at(x, 2 * k + 1) = Mean(out.at(x, 2 * k), out.at(x, 2 * k + 2));
  return out;
}

}  // namespace brindle
