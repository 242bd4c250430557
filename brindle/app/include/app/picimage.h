#pragma once
#include <QImage>

#include "core/screen.h"
#include "core/zoom.h"

// The working picture as a 256 x 256 true-colour image.
QImage PicToImage(const brindle::Pic& pic);

// A true-colour picture of the core as an image of the same size.
QImage RgbToImage(const brindle::RgbPicture& picture);
