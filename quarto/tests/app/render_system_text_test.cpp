// Texts in a system font through the real QPainter canvas: fonts fitted to the cell height, ink
// on the side the placement promises, the bar over the text, giant cells, and the headless main
// window drawing its texts in a system font while the PCAD font item is off.
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/qpainter_canvas.h"
#include "app/render_targets.h"
#include "app/startup.h"
#include "app/system_fonts.h"
#include "core/windows_text.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"
#include "testsupport/plt_writer.h"

using namespace quarto;

namespace {

const QRgb kWhiteRgb = qRgb(255, 255, 255);
const QRgb kLayer1 = qRgb(0, 128, 0);  // built-in colours of layers 1 and 2
const QRgb kLayer2 = qRgb(255, 0, 0);

// The two faces the tests measure; a machine without one of them tests the other.
QStringList Faces() {
  QStringList faces;
  for (const char* f : {"DejaVu Sans", "Liberation Sans Narrow"})
    if (QFontDatabase::families().contains(QLatin1String(f))) faces << QLatin1String(f);
  return faces;
}

int Count(const QImage& img, QRect r, const std::function<bool(QRgb)>& match) {
  int n = 0;
  const QRect in = r.intersected(img.rect());
  for (int y = in.top(); y <= in.bottom(); ++y)
    for (int x = in.left(); x <= in.right(); ++x)
      if (match(img.pixel(x, y))) ++n;
  return n;
}

bool Ink(QRgb c) { return c != kWhiteRgb; }

// One text in the first test face on the image, filled white first, in screen signs with the
// anchor at the given pixel; returns the size the canvas measured.
TextSize DrawOne(QImage& img, QPoint anchor, const DecodedText& text, TextPlacement at, Color font = kBlack,
                 Pen pen = {}) {
  img.fill(Qt::white);
  QPainter painter(&img);
  QPainterCanvas canvas(painter);
  canvas.fontColor = font;
  canvas.pen = pen;
  Placement pl;
  pl.SignX = 1, pl.SignY = -1;
  pl.OffsetX = anchor.x(), pl.OffsetY = anchor.y();
  DrawWindowsText(canvas, pl, {Faces().first().toStdString(), 0, true, false}, PltFormat::Plt45, text, at);
  return canvas.TextExtent(text.chars);
}

}  // namespace

class SystemTextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(!Faces().isEmpty()); }

  void theCellHeightIsMetWithinOnePixelInEachFace() {
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter painter(&img);
    QPainterCanvas canvas(painter);
    for (const QString& face : Faces())
      for (int cell : {2, 13, 40, 200}) {
        canvas.SetFont(Font{face.toStdString(), cell, 0, CharSet::Ansi});
        const TextSize size = canvas.TextExtent("Ab");
        QVERIFY2(std::abs(size.height - cell) <= 1,
                 qPrintable(face + QString(" cell %1: %2").arg(cell).arg(size.height)));
        QVERIFY(size.width > 0);
        // The face asked for is the face drawn.
        QCOMPARE(QFontInfo(FitSystemFont(face, cell).font).family(), face);
      }
  }

  void aQuarterTurnWithCode33PutsInkAboveAndRightOfTheAnchor() {
    // Unmirrored, r = 1, j = 33: the cell's top-left lies on the anchor (200, 300) and the text
    // reads upward, so the cell spans W upward and H to the right of the anchor.
    QImage img(400, 400, QImage::Format_RGB32);
    const TextSize size = DrawOne(img, {200, 300}, {"Hello", false}, {0, 0, 1, 33, 40});
    QVERIFY(size.width > 40 && size.height >= 39);
    const QRect cell(QPoint(200, 300 - int(size.width)), QPoint(200 + int(size.height) - 1, 300 - 1));
    QVERIFY(Count(img, cell, Ink) > 50);
    QCOMPARE(Count(img, img.rect(), Ink), Count(img, cell, Ink));
  }

  void theTextTakesTheFontColourAndTheBarLiesOverItsTopEdge() {
    // Text in red, pen in blue; j = 33 at r = 0 puts the cell's top-left at (50, 60).
    QImage img(300, 200, QImage::Format_RGB32);
    // ЙЦУ: tall letters touching the top.
    const TextSize size =
        DrawOne(img, {50, 60}, {"\xC9\xD6\xD3", true}, {0, 0, 0, 33, 50}, 0x0000FF, {0xFF0000, 1, PenStyle::Solid});
    const int W = int(size.width), H = int(size.height);
    // The bar: the whole top row of the cell, W long (the line leaves out its last pixel).
    QCOMPARE(Count(img, QRect(50, 60, W, 1), [](QRgb c) { return c == qRgb(0, 0, 255); }), W);
    QCOMPARE(img.pixel(50 + W, 60), kWhiteRgb);
    // The letters in the font colour, inside the cell, nowhere else; no other colour (no antialiasing).
    const auto red = [](QRgb c) { return c == qRgb(255, 0, 0); };
    QVERIFY(Count(img, QRect(50, 61, W, H - 1), red) > 50);
    QCOMPARE(Count(img, img.rect(), red), Count(img, QRect(50, 60, W, H), red));
    QCOMPARE(
        Count(img, img.rect(), [](QRgb c) { return c != kWhiteRgb && c != qRgb(255, 0, 0) && c != qRgb(0, 0, 255); }),
        0);
  }

  void aGiantCellIsMeasuredAndDrawnThroughTheCap() {
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    QPainterCanvas canvas(painter);
    canvas.fontColor = kBlack;
    canvas.SetFont(Font{Faces().first().toStdString(), 100000, 0, CharSet::Oem});
    // The full block of the OEM set, a cell 100 000 pixels high.
    const TextSize size = canvas.TextExtent("\xDB");
    QVERIFY2(std::abs(size.height - 100000) <= 100, qPrintable(QString::number(size.height)));
    QVERIFY(size.width > 10000 && size.width < 200000);
    // Placed so the image lies inside the block: every pixel inked.
    canvas.TextOut(-int32_t(size.width / 2), -int32_t(size.height / 2), "\xDB");
    // Cells wholly outside the image are passed over.
    canvas.TextOut(kDeviceLimit, kDeviceLimit, "\xDB");
    canvas.TextOut(-kDeviceLimit, 0, "\xDB");
    painter.end();
    QCOMPARE(Count(img, img.rect(), Ink), 300 * 300);
  }

  void theDefaultFaceIsTheNarrowOneElseAFaceWithCyrillic() {
    QCOMPARE(DefaultFontFace({"A", "Arial Narrow", "Liberation Sans Narrow"}), QString("Arial Narrow"));
    QCOMPARE(DefaultFontFace({"A", "Liberation Sans Narrow"}), QString("Liberation Sans Narrow"));
    if (QFontDatabase::families().contains("DejaVu Sans")) {
      // A family unknown to the font database covers nothing; DejaVu Sans covers Cyrillic.
      QCOMPARE(DefaultFontFace({"No Such Family", "DejaVu Sans"}), QString("DejaVu Sans"));
    }
    QCOMPARE(DefaultFontFace({"No Such Family"}), QString());
  }

  void theMainWindowDrawsTextsInTheChosenFontAndCharacterSet() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("texts.plt");
    {
      test::PltWriter w(PltFormat::Plt45);
      w.Header({1, 0, 0, 2000, 1000, -1, 1});
      w.LayerName("TOP", 1);
      w.LayerName("BOTTOM", 2);
      w.Layer(1);
      w.Bar(100, 100, 900, 900);
      w.Layer(2);
      w.Text(1000, 400, 300, "\xCF\xF0\xE8\xE2\xE5\xF2");  // Привет in code page 1251
      w.Save(path.toStdString());
    }
    test::FakeSeams seams;
    std::unique_ptr<Form1> form = test::OpenInShownWindow(seams, path);
    QVERIFY(form);
    auto shot = [&] { return test::PaintedArea(*form); };
    const auto layer2 = [](QRgb c) { return c == kLayer2; };

    // Font > PCAD cleared: the system-font choices come alive and the texts are drawn in ANSI.
    form->PCAD1->trigger();
    QVERIFY(!form->PCAD1->isChecked());
    QVERIFY(form->ComboBox1->isEnabled() && form->OEM1->isEnabled());
    QVERIFY(form->ANSI1->isChecked());
    const QImage ansi = shot();
    QVERIFY(Count(ansi, ansi.rect(), layer2) > 100);
    // OEM reads the same bytes as other characters.
    form->OEM1->trigger();
    QVERIFY(form->OEM1->isChecked() && !form->ANSI1->isChecked());
    const QImage oem = shot();
    QVERIFY(Count(oem, oem.rect(), layer2) > 100);
    QVERIFY(ansi != oem);
    // Neither checked: the font's own set, which reads the plots' Windows Cyrillic texts as ANSI.
    form->OEM1->trigger();
    QVERIFY(!form->OEM1->isChecked() && !form->ANSI1->isChecked());
    QCOMPARE(shot(), ansi);
    form->OEM1->trigger();
    // Another face redraws the text.
    const int other =
        form->ComboBox1->findText(form->ComboBox1->currentText() == "DejaVu Serif" ? "DejaVu Sans" : "DejaVu Serif");
    QVERIFY(other >= 0);
    test::PaintCounter counter;
    form->drawingArea()->installEventFilter(&counter);
    test::SettlePaints(counter);
    const int before = counter.paints;
    form->ComboBox1->setCurrentIndex(other);
    test::SettlePaints(counter);
    QVERIFY(counter.paints > before);
    const QImage serif = shot();
    QVERIFY(serif != oem);

    // The bitmap holding the texts keeps the bar's colour exact and few colours in all.
    QVERIFY(SaveBitmap(*form, QSize(800, 600)));
    const QImage bmp(dir.filePath("texts.bmp"), "BMP");
    QVERIFY(!bmp.isNull());
    const FrameLayout layout = ComputeFrame(FrameInputOf(*form, RenderTarget::Bitmap));
    const DevicePoint bar = layout.place.Point(500, 500);
    QCOMPARE(bmp.pixel(bar.x, bar.y), kLayer1);
    QVERIFY(Count(bmp, bmp.rect(), layer2) > 100);
    QSet<QRgb> colours;
    for (int y = 0; y < bmp.height(); ++y)
      for (int x = 0; x < bmp.width(); ++x) colours.insert(bmp.pixel(x, y));
    QVERIFY2(colours.size() <= 4, qPrintable(QString::number(colours.size())));
    QVERIFY(seams.errors.isEmpty());
  }
};

QTEST_MAIN(SystemTextTest)
#include "render_system_text_test.moc"
