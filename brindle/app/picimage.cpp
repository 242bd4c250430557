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
