#pragma once
#include <QImage>

#include "core/screen.h"

// The working picture as a 256 x 256 true-colour image.
QImage PicToImage(const brindle::Pic& pic);
