#pragma once
// The fixture of the renderer targets' tests: a plot board written by the test, a main window that
// opens it through the open command with the dialog seams, and the helpers that look at what the
// targets made (the drawing area's pixels, files beside the plot).
#include <sys/stat.h>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/form1.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "testsupport/plt_writer.h"

namespace quarto::test {

const QRgb kLayer1 = qRgb(0, 128, 0);  // built-in colours of layers 1, 2 and 3
const QRgb kLayer2 = qRgb(255, 0, 0);
const QRgb kLayer3 = qRgb(255, 255, 0);

// A board of 2000 x 1000 units (or a wider header box) with a large bar on layer 1 and another
// on layer 2 (or another second layer).
inline void WriteBoard(const QString& path, PltFormat format = PltFormat::Plt45, int32_t headerWidth = 2000,
                       int secondLayer = 2) {
  PltWriter w(format);
  w.Header({1, 0, 0, headerWidth, 1000, -1, 1});
  w.LayerName("TOP", 1);
  w.LayerName("BOTTOM", secondLayer);
  w.Layer(1);
  w.Bar(100, 100, 900, 900);
  w.Layer(secondLayer);
  w.Bar(1100, 100, 1900, 900);
  w.Line(0, 0, 0, 0, 2000, 1000);
  w.Save(path.toStdString());
}

// The board plotted again under its name: one bar on layer 3 ("NEW", yellow) and nothing else.
inline void WriteReplot(const QString& path, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  PltWriter w(PltFormat::Plt45);
  w.Header({1, 0, 0, 2000, 1000, -1, 1});
  w.LayerName("NEW", 3);
  w.Layer(3);
  w.Bar(x1, y1, x2, y2);
  w.Save(path.toStdString());
}

inline int CountColour(const QImage& img, QRgb colour) {
  int n = 0;
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if (rgb.pixel(x, y) == colour) ++n;
  return n;
}

inline QSet<QRgb> ColoursOf(const QImage& img) {
  QSet<QRgb> colours;
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) colours.insert(rgb.pixel(x, y));
  return colours;
}

class RenderTargetsFixture {
 protected:
  // From the test class's init and cleanup.
  void SetUp() {
    seams_ = std::make_unique<FakeSeams>();
    QVERIFY(dir_.isValid());
  }
  void TearDown() {
    form_.reset();
    seams_.reset();
  }

  void Open(const QString& path) {
    if (!form_) form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
    seams_->openAnswers = {path};
    form_->N2Click();
    QVERIFY(form_->view().PlotLoaded());
  }
  void RepaintTimes(int n) {
    for (int i = 0; i < n; ++i) {
      form_->drawingArea()->repaint();
      QApplication::processEvents();
    }
  }
  QImage Shot() const { return form_->drawingArea()->grab().toImage(); }
  QStringList RecentPaths() const {
    QStringList paths;
    for (int n = 1; n <= kRecentFileCount; ++n)
      if (form_->fileMenu()->actions().contains(form_->recentItem(n)))
        paths << QString::fromUtf8(form_->recentItem(n)->data().toByteArray());
    return paths;
  }
  static void Touch(const QString& path, int seconds) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
  }
  static void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  static void Protect(const QString& path, mode_t mode) {
    WriteBytes(path, "old");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
  }
  static mode_t ModeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
  }
  static QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  std::unique_ptr<FakeSeams> seams_;
  std::unique_ptr<Form1> form_;
};

}  // namespace quarto::test
