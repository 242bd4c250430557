#include "app/about_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "app/interface_language.h"

namespace quarto {

namespace {

// 0..1..0 over a cycle of n frames.
double Wave(int frame, int n) { return 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * frame / n); }

}  // namespace

PictureSpec TitlePicture(bool russian) {
  constexpr int kFrames = 40;
  return {kFrames, 80, [russian](QPainter& p, const QRect& r, int frame) {
            const QString name = QStringLiteral("Quarto");
            QFont big = PixelFont(kSerifFamily, 34, true, true);
            p.setFont(big);
            const QRect nameBox(r.left(), r.top() + 2, r.width(), 44);
            // A band of light moves over the letters from left to right.
            const double x = r.left() - 40 + (r.width() + 80) * frame / static_cast<double>(kFrames - 1);
            QLinearGradient light(x - 30, 0, x + 30, 0);
            light.setColorAt(0.0, QColor(0, 0, 128));
            light.setColorAt(0.5, QColor(90, 160, 255));
            light.setColorAt(1.0, QColor(0, 0, 128));
            p.setPen(QColor(200, 200, 200));
            p.drawText(nameBox.translated(2, 2), Qt::AlignCenter, name);
            p.setPen(QPen(QBrush(light), 1));
            p.drawText(nameBox, Qt::AlignCenter, name);
            p.setFont(PixelFont(kSansFamily, 12, true));
            p.setPen(QColor(128, 0, 0));
            p.drawText(QRect(r.left(), r.top() + 46, r.width(), 20), Qt::AlignCenter,
                       RunTimeQString(RunTimeText::AboutTitleLine, russian));
          }};
}

PictureSpec MailPicture(bool russian) {
  constexpr int kFrames = 24;
  return {kFrames, 90, [russian](QPainter& p, const QRect& r, int frame) {
            const QRect env(r.left() + 35, r.top() + 24, 80, 40);
            // The letter rises out of the envelope and sinks back.
            const int rise = static_cast<int>(std::lround(16 * Wave(frame, kFrames)));
            const QRect letter(env.left() + 8, env.top() - rise + 4, env.width() - 16, 34);
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(255, 255, 240));
            p.drawRect(letter);
            for (int i = 0; i < 3; ++i)
              p.drawLine(letter.left() + 6, letter.top() + 8 + 6 * i, letter.right() - 6, letter.top() + 8 + 6 * i);
            p.setBrush(QColor(240, 210, 150));
            p.setPen(QPen(QColor(120, 80, 30), 1));
            p.drawRect(env);
            QPainterPath flap;
            flap.moveTo(env.topLeft());
            flap.lineTo(env.center().x(), env.top() + env.height() / 2);
            flap.lineTo(env.topRight());
            p.drawPath(flap);
            p.setFont(PixelFont(kSansFamily, 13, true));
            p.setPen(QColor(0, 0, 160));
            p.drawText(QRect(r.left(), r.top(), r.width(), 18), Qt::AlignCenter,
                       RunTimeQString(RunTimeText::AboutMailCall, russian));
          }};
}

PictureSpec PlotterPicture() {
  constexpr int kFrames = 30;
  return {kFrames, 100, [](QPainter& p, const QRect& r, int frame) {
            p.fillRect(r.adjusted(4, 4, -4, -4), QColor(0, 70, 30));
            const QPointF track[] = {{20, 70}, {20, 40}, {50, 20}, {90, 20}, {115, 45}, {115, 70}};
            constexpr int kPoints = sizeof(track) / sizeof(track[0]);
            // How far along the track the pen is: the whole track is drawn in the first 4/5 of the cycle.
            const double along = std::min(1.0, frame / (0.8 * kFrames)) * (kPoints - 1);
            p.setPen(QPen(QColor(230, 180, 60), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPointF pen = track[0];
            for (int i = 0; i + 1 < kPoints && i < along; ++i) {
              const double t = std::min(1.0, along - i);
              pen = track[i] + (track[i + 1] - track[i]) * t;
              p.drawLine(track[i], pen);
            }
            p.setBrush(QColor(230, 180, 60));
            p.setPen(Qt::NoPen);
            p.drawEllipse(track[0], 6, 6);
            p.drawEllipse(track[kPoints - 1], 6, 6);
            p.setPen(QPen(Qt::white, 2));
            p.setBrush(Qt::red);
            p.drawEllipse(pen, 3, 3);
          }};
}

PictureSpec SiteBanner() {
  return {1, 0, [](QPainter& p, const QRect& r, int) {
            QLinearGradient sky(r.topLeft(), r.bottomLeft());
            sky.setColorAt(0, QColor(40, 80, 160));
            sky.setColorAt(1, QColor(10, 30, 90));
            p.fillRect(r, sky);
            p.setPen(QColor(255, 220, 80));
            p.setFont(PixelFont(kSansFamily, 20, true));
            p.drawText(r, Qt::AlignCenter, QStringLiteral("example.org"));
            p.setPen(QColor(255, 255, 255, 160));
            p.drawRect(r.adjusted(0, 0, -1, -1));
          }};
}

}  // namespace quarto
