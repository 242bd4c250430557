#include "app/picimage.h"

QImage PicToImage(const brindle::Pic& pic) {
  QImage image(brindle::Pic::Width, brindle::Pic::Height, QImage::Format_RGB32);
  QRgb colours[16];
  for (std::size_t i = 0; i < 16; ++i) colours[i] = qRgb(pic.palette[i].r, pic.palette[i].g, pic.palette[i].b);
  for (int y = 0; y < brindle::Pic::Height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < brindle::Pic::Width; ++x) line[x] = colours[pic.pixel(x, y)];
  }
  return image;
}

QImage RgbToImage(const brindle::RgbPicture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  for (int y = 0; y < picture.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.width; ++x) {
      const brindle::Rgb& c = picture.at(x, y);
      line[x] = qRgb(c.r, c.g, c.b);
    }
  }
  return image;
}
