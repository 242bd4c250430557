// The smooth zoom of the working picture.
#include "core/zoom.h"

#include <gtest/gtest.h>

#include <random>

namespace brindle {
namespace {

TEST(SmoothZoom, OneColourStaysThatColour) {
  Pic pic;
  pic.palette[6] = {201, 7, 254};
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, 6);
  const RgbPicture out = SmoothZoomed(pic);
  ASSERT_EQ(out.width, 511);
  ASSERT_EQ(out.height, 511);
  ASSERT_EQ(out.pixels.size(), 511u * 511u);
  for (const Rgb& c : out.pixels) ASSERT_EQ(c, (Rgb{201, 7, 254}));
}

TEST(SmoothZoom, PicturePixelsStayAtEvenPlacesAndTheRestAreMeans) {
  std::mt19937 rng(11);
  Pic pic;
  for (Rgb& c : pic.palette)
    c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) pic.setPixel(x, y, static_cast<int>(rng() % 16));
  const RgbPicture out = SmoothZoomed(pic);
  auto mean = [](const Rgb& a, const Rgb& b) {
    return Rgb{static_cast<std::uint8_t>((a.r + b.r) >> 1), static_cast<std::uint8_t>((a.g + b.g) >> 1),
               static_cast<std::uint8_t>((a.b + b.b) >> 1)};
  };
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) {
      ASSERT_EQ(out.at(2 * x, 2 * y), pic.colourAt(x, y)) << x << "," << y;
      if (x == 255 || y == 255) continue;
      // The pixel in the middle of four picture pixels: the mean of the two row means.
      ASSERT_EQ(out.at(2 * x + 1, 2 * y + 1), mean(mean(pic.colourAt(x, y), pic.colourAt(x + 1, y)),
                                                   mean(pic.colourAt(x, y + 1), pic.colourAt(x + 1, y + 1))))
          << x << "," << y;
    }
  for (int i = 0; i < Pic::Width; ++i) {
    EXPECT_EQ(out.at(510, 2 * i), pic.colourAt(255, i));
    EXPECT_EQ(out.at(2 * i, 510), pic.colourAt(i, 255));
  }
}

TEST(SmoothZoom, MeansRoundDownWithoutWrapping) {
  Pic pic;
  pic.palette[1] = {255, 255, 255};
  pic.palette[2] = {254, 254, 254};
  pic.setPixel(0, 0, 1);
  pic.setPixel(1, 0, 2);
  pic.setPixel(0, 1, 2);
  const RgbPicture out = SmoothZoomed(pic);
  EXPECT_EQ(out.at(1, 0), (Rgb{254, 254, 254}));
  EXPECT_EQ(out.at(0, 1), (Rgb{254, 254, 254}));
}

TEST(SmoothZoom, HandComputedCorner) {
  Pic pic;  // colour 0 elsewhere
  pic.palette[1] = {10, 20, 30};
  pic.palette[2] = {11, 0, 255};
  pic.palette[3] = {0, 0, 0};
  pic.palette[4] = {255, 255, 255};
  pic.setPixel(0, 0, 1);
  pic.setPixel(1, 0, 2);
  pic.setPixel(0, 1, 3);
  pic.setPixel(1, 1, 4);
  const RgbPicture out = SmoothZoomed(pic);
  EXPECT_EQ(out.at(1, 0), (Rgb{10, 10, 142}));
  EXPECT_EQ(out.at(1, 2), (Rgb{127, 127, 127}));
  EXPECT_EQ(out.at(0, 1), (Rgb{5, 10, 15}));
  EXPECT_EQ(out.at(1, 1), (Rgb{68, 68, 134}));  // from the rounded row means, not from the four pixels
}

}  // namespace
}  // namespace brindle
