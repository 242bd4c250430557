#pragma once
// The components of the margins dialog and the about box: a label with a one-pixel shadow whose
// font shrinks until its text fits, a decimal spin edit whose text, when it is no number, counts as
// its minimum, and a picture painted frame by frame on a timer that runs only while it is visible.
// Labels and pictures report a left click.
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quarto {

// The secondary windows: tool windows on top of the main window with a caption and only a close box.
inline constexpr Qt::WindowFlags kSecondaryWindowFlags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Puts a window in the centre of the primary screen.
void CentreOnScreen(QWidget* window);

// The design fonts' stand-ins on this platform.
inline constexpr const char* kSansFamily = "Liberation Sans";    // for "MS Sans Serif"
inline constexpr const char* kSerifFamily = "Liberation Serif";  // for "Times New Roman CYR"

// A font of the given family and em height in pixels.
QFont PixelFont(const char* family, int pixelSize, bool bold = false, bool italic = false);

// Where a label's shadow falls, relative to its text.
enum class ShadowPosition { RightBottom, LeftBottom, RightTop };

class ShadowLabel : public QLabel {
  Q_OBJECT
 public:
  ShadowLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font, Qt::Alignment alignment,
              ShadowPosition shadow = ShadowPosition::RightBottom);

  // Sets the text and fits the font to it.
  void SetText(const QString& text);
  // From the design size down, the largest pixel size at which the text's bounding box lies inside
  // the label (a Linux font often needs more room than the font it stands in for).
  void FitFont();
  // The text's bounding box with the current font, in label coordinates.
  QRect TextBounds() const;
  int designPixelSize() const { return designPixelSize_; }

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int designPixelSize_;
};

class DecimalSpinEdit : public QDoubleSpinBox {
  Q_OBJECT
 public:
  DecimalSpinEdit(QWidget* parent, const char* name, const QRect& geometry, double minimum, double maximum, double step,
                  int decimals);
  // The value its text shows now: the minimum when the text is no number, held to the limits.
  double TextValue() const;

 protected:
  // Text that is no number becomes the minimum when the box interprets it (focus leaving, Enter),
  // rather than the last valid value.
  void fixup(QString& input) const override;
};

class PaintedPicture : public QWidget {
  Q_OBJECT
 public:
  // Paints one frame into the widget's rectangle.
  using FramePainter = std::function<void(QPainter&, const QRect&, int frame)>;

  // A picture of `frames` frames, the next one every `intervalMs` milliseconds while visible;
  // a single frame is a still picture.
  PaintedPicture(QWidget* parent, const char* name, const QRect& geometry, int frames, int intervalMs,
                 FramePainter painter);

  bool animating() const { return timer_.isActive(); }
  int frame() const { return frame_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int frames_;
  int frame_ = 0;
  QTimer timer_;
  FramePainter painter_;
};

}  // namespace quarto
