#include "app/rx_components.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace quarto {

namespace {

constexpr int kSmallestPixelSize = 6;

bool LeftClickInside(const QWidget* w, const QMouseEvent* event) {
  return event->button() == Qt::LeftButton && w->rect().contains(event->position().toPoint());
}

}  // namespace

void CentreOnScreen(QWidget* window) {
  if (QScreen* screen = QGuiApplication::primaryScreen())
    window->move(screen->availableGeometry().center() - window->rect().center());
}

QFont PixelFont(const char* family, int pixelSize, bool bold, bool italic) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

// ---- ShadowLabel ---------------------------------------------------------------------------------

ShadowLabel::ShadowLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font,
                         Qt::Alignment alignment, ShadowPosition shadow)
    : QLabel(parent), designPixelSize_(font.pixelSize() > 0 ? font.pixelSize() : 11) {
  setObjectName(QString::fromLatin1(name));
  setGeometry(geometry);
  setFont(font);
  setAlignment(alignment);
  setTextFormat(Qt::PlainText);
  auto* effect = new QGraphicsDropShadowEffect(this);
  effect->setBlurRadius(0);
  effect->setColor(palette().color(QPalette::Light));
  switch (shadow) {
    case ShadowPosition::RightBottom: effect->setOffset(1, 1); break;
    case ShadowPosition::LeftBottom: effect->setOffset(-1, 1); break;
    case ShadowPosition::RightTop: effect->setOffset(1, -1); break;
  }
  setGraphicsEffect(effect);
}

void ShadowLabel::SetText(const QString& text) {
  setText(text);
  FitFont();
}

QRect ShadowLabel::TextBounds() const {
  return QFontMetrics(font()).boundingRect(contentsRect(), static_cast<int>(alignment()), text());
}

void ShadowLabel::FitFont() {
  QFont f = font();
  for (int size = designPixelSize_; size >= kSmallestPixelSize; --size) {
    f.setPixelSize(size);
    setFont(f);
    if (contentsRect().contains(TextBounds())) return;
  }
}

void ShadowLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (LeftClickInside(this, event)) emit clicked();
  QLabel::mouseReleaseEvent(event);
}

// ---- DecimalSpinEdit -----------------------------------------------------------------------------

DecimalSpinEdit::DecimalSpinEdit(QWidget* parent, const char* name, const QRect& geometry, double minimum,
                                 double maximum, double step, int decimals)
    : QDoubleSpinBox(parent) {
  setObjectName(QString::fromLatin1(name));
  setGeometry(geometry);
  setDecimals(decimals);
  setRange(minimum, maximum);
  setSingleStep(step);
}

double DecimalSpinEdit::TextValue() const {
  bool ok = false;
  const double v = locale().toDouble(text().trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return minimum();
  return std::clamp(v, minimum(), maximum());
}

void DecimalSpinEdit::fixup(QString& input) const {
  bool ok = false;
  locale().toDouble(input.trimmed(), &ok);
  if (!ok) input = textFromValue(minimum());
}

// ---- PaintedPicture ------------------------------------------------------------------------------

PaintedPicture::PaintedPicture(QWidget* parent, const char* name, const QRect& geometry, int frames, int intervalMs,
                               FramePainter painter)
    : QWidget(parent), frames_(std::max(frames, 1)), painter_(std::move(painter)) {
  setObjectName(QString::fromLatin1(name));
  setGeometry(geometry);
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % frames_;
    update();
  });
}

void PaintedPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (painter_) painter_(p, rect(), frame_);
}

void PaintedPicture::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (frames_ > 1) timer_.start();
}

void PaintedPicture::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void PaintedPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (LeftClickInside(this, event)) emit clicked();
  QWidget::mouseReleaseEvent(event);
}

}  // namespace quarto
