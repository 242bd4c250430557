#pragma once
// Helpers of the shell's tests: counting a widget's paints, small plot files, a started main window
// as a test class's fixture, and a plot opened in a shown main window.
#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>
#include <QtTest>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "testsupport/plt_writer.h"

namespace quarto::test {

// Counts the paints a widget receives (install it as the widget's event filter).
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Waits until the counted widget has had no paint for a few rounds (a loaded machine delivers
// the paints of showing a window late).
inline void SettlePaints(PaintCounter& counter) {
  for (int quiet = 0, round = 0; quiet < 3 && round < 40; ++round) {
    const int before = counter.paints;
    QTest::qWait(25);
    quiet = counter.paints == before ? quiet + 1 : 0;
  }
}

// A PLT 8.5 plot with the given header and layer names, and one line on layer 1.
inline QString WriteSamplePlot(const QString& path, const PltHeaderSpec& header = {},
                               const std::vector<std::pair<std::string, int>>& names = {{"TOP", 1}}) {
  PltWriter w(PltFormat::Plt85);
  w.Header(header);
  for (const auto& [name, layer] : names) w.LayerName(name, layer);
  w.Layer(1);
  w.Line(0, 1, 10, 10, 500, 500);
  w.Save(path.toStdString());
  return path;
}

// A PLT 8.5 plot in mils (unit code 8) naming layers 1 and 3.
inline QString WriteMilsPlot(const QString& path) {
  return WriteSamplePlot(path, {.unit = 8}, {{"TOP", 1}, {"BOT", 3}});
}

// The fixture of a test class whose every test starts with a main window made by start-up (not
// shown) over fake seams: StartWindow from the class's init, StopWindow from its cleanup.
class StartedWindowFixture {
 protected:
  void StartWindow() {
    seams_ = std::make_unique<FakeSeams>();
    form_ = StartUp({}, seams_.get());
    QVERIFY(form_);
  }
  void StopWindow() {
    form_.reset();
    seams_.reset();
  }

  std::unique_ptr<FakeSeams> seams_;
  std::unique_ptr<Form1> form_;
};

// Starts the main window, opens the plot through File > Open (the seams answer the dialog) and
// shows the window; nullptr when the plot did not load or the window was never exposed.
inline std::unique_ptr<Form1> OpenInShownWindow(FakeSeams& seams, const QString& path) {
  std::unique_ptr<Form1> form = StartUp({}, &seams);
  if (!form) return nullptr;
  seams.openAnswers = {path};
  form->N2Click();
  if (!form->view().PlotLoaded()) return nullptr;
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
  return form;
}

// The drawing area painted anew and grabbed.
inline QImage PaintedArea(Form1& form) {
  form.drawingArea()->repaint();
  QApplication::processEvents();
  return form.drawingArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace quarto::test
