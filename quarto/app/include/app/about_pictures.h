#pragma once
// The about box's pictures, painted by the program itself frame by frame.
#include "app/rx_components.h"

namespace quarto {

struct PictureSpec {
  int frames;
  int intervalMs;
  PaintedPicture::FramePainter paint;
};

// The title: the program's name with a light running across it, and a subtitle in the language.
PictureSpec TitlePicture(bool russian);
// An envelope whose letter rises and sinks, with a greeting in the language.
PictureSpec MailPicture(bool russian);
// A plotter pen drawing a board's track from pad to pad, over and over.
PictureSpec PlotterPicture();
// The web site's banner, a still picture.
PictureSpec SiteBanner();

}  // namespace quarto
