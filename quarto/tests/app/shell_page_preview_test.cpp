// The page preview as the user sees it: grabbed from the drawing area of a shown main window,
// the whole page (its frame, its shadow and the four dotted red margin lines) lies inside what
// the tool bar and the status bar leave visible, centred there, at the design size and larger,
// in both orientations; a bottom-row position puts the drawing's bottom on the bottom margin.
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

#include "app/form1.h"
#include "app/render_targets.h"
#include "shell_test_helpers.h"

using namespace quarto;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kLayer1 = qRgb(0, 128, 0);

// What a grab of the drawing area shows of the page, found from its pixels alone.
struct PageSeen {
  std::vector<int> redColumns, redRows;  // the dotted margin lines
  int top = -1, bottom = -1;             // first row of the page frame, last row of the shadow
  int left = -1, right = -1;             // first column of the frame, last column of the shadow
  int drawingBottom = -1;                // last row holding the drawing (layer 1)
};

PageSeen Look(const QImage& shot) {
  PageSeen seen;
  const int w = shot.width(), h = shot.height();
  // A margin line is dotted: every other pixel along the page; frame and shadow are solid.
  for (int x = 0; x < w; ++x) {
    int red = 0, black = 0;
    for (int y = 0; y < h; ++y) red += shot.pixel(x, y) == kRed, black += shot.pixel(x, y) == kBlack;
    if (red > h / 8) seen.redColumns.push_back(x);
    if (black > h / 4) {
      if (seen.left < 0) seen.left = x;
      seen.right = x;
    }
  }
  for (int y = 0; y < h; ++y) {
    int red = 0, black = 0, drawing = 0;
    for (int x = 0; x < w; ++x) {
      const QRgb c = shot.pixel(x, y);
      red += c == kRed, black += c == kBlack, drawing += c == kLayer1;
    }
    if (red > w / 8) seen.redRows.push_back(y);
    if (black > w / 8) {
      if (seen.top < 0) seen.top = y;
      seen.bottom = y;
    }
    if (drawing > 0) seen.drawingBottom = y;
  }
  return seen;
}

}  // namespace

class PagePreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    seams_ = std::make_unique<test::FakeSeams>();
    QVERIFY(dir_.isValid());
    // A board of 2000 x 1000 units filled by one bar on layer 1 (green), nothing red in it.
    test::PltWriter w(PltFormat::Plt85);
    w.Header({1, 0, 0, 2000, 1000, -1, 1});
    w.LayerName("TOP", 1);
    w.Layer(1);
    w.Bar(0, 0, 2000, 1000);
    w.Save(dir_.filePath("board.plt").toStdString());
  }
  void cleanup() { seams_.reset(); }

  void theWholePageIsVisibleAndCentred() {
    struct Case {
      QSize outer;
      bool landscape;
    };
    const Case cases[] = {
        {{Form1::kMinOuterWidth, Form1::kMinOuterHeight}, false},  // design size
        {{Form1::kMinOuterWidth, Form1::kMinOuterHeight}, true},
        {{800, 800}, false},  // the whole offscreen screen
        {{800, 600}, true},
    };
    for (const Case& c : cases) {
      const QString name = QStringLiteral("%1x%2 %3").arg(c.outer.width()).arg(c.outer.height()).arg(c.landscape);
      std::unique_ptr<Form1> form = Shown(c.outer);
      QVERIFY2(form, qPrintable(name));
      (c.landscape ? form->ToolButton4 : form->ToolButton3)->click();
      const PageSeen seen = Look(test::PaintedArea(*form));
      const QSize area = form->drawingArea()->size();
      QVERIFY2(seen.redColumns.size() == 2 && seen.redRows.size() == 2, qPrintable(name));
      // Frame and shadow lie wholly inside, with background on every side.
      QVERIFY2(seen.top > 0 && seen.left > 0, qPrintable(name));
      QVERIFY2(seen.bottom < area.height() - 1 && seen.right < area.width() - 1, qPrintable(name));
      // The margin lines lie inside the page, 1 cm in from its edges.
      QVERIFY2(seen.top < seen.redRows[0] && seen.redRows[1] < seen.bottom, qPrintable(name));
      QVERIFY2(seen.left < seen.redColumns[0] && seen.redColumns[1] < seen.right, qPrintable(name));
      // Centred in the visible area (the shadow adds two pixels on the right and at the bottom).
      const int above = seen.top, below = area.height() - 1 - seen.bottom;
      const int before = seen.left, after = area.width() - 1 - seen.right;
      QVERIFY2(std::abs(above - below) <= 3, qPrintable(name + QStringLiteral(": %1 %2").arg(above).arg(below)));
      QVERIFY2(std::abs(before - after) <= 3, qPrintable(name + QStringLiteral(": %1 %2").arg(before).arg(after)));
    }
  }

  // Each bottom-row position puts the drawing's bottom edge on the bottom margin line.
  void bottomRowPositionsMeetTheVisibleBottomMargin() {
    std::unique_ptr<Form1> form = Shown({Form1::kMinOuterWidth, Form1::kMinOuterHeight});
    QVERIFY(form);
    for (QAction* item : {form->N30, form->N31, form->N32}) {
      item->trigger();
      const PageSeen seen = Look(test::PaintedArea(*form));
      QCOMPARE(seen.redRows.size(), size_t(2));
      QVERIFY2(std::abs(seen.drawingBottom - seen.redRows[1]) <= 1,
               qPrintable(item->objectName() + QStringLiteral(": %1 %2").arg(seen.drawingBottom).arg(seen.redRows[1])));
      QVERIFY(seen.redRows[1] < seen.bottom && seen.bottom < form->drawingArea()->height() - 1);
    }
  }

 private:
  // The board opened in a shown main window of the given outer size with margins of 1 cm.
  std::unique_ptr<Form1> Shown(QSize outer) {
    std::unique_ptr<Form1> form = test::OpenInShownWindow(*seams_, dir_.filePath("board.plt"));
    if (!form) return nullptr;
    form->resize(outer - (form->frameGeometry().size() - form->geometry().size()));
    QApplication::processEvents();
    if (form->frameGeometry().size() != outer) return nullptr;
    form->view().PageMargins = {1.0, 1.0, 1.0, 1.0};
    form->ToolButton11Click();  // fitted to the page inside the margins
    test::PaintedArea(*form);
    return form;
  }

  QTemporaryDir dir_;
  std::unique_ptr<test::FakeSeams> seams_;
};

QTEST_MAIN(PagePreviewTest)
#include "shell_page_preview_test.moc"
