// The bitmap target end to end: the drawing saved as an 8-bit BMP file beside the plot, the name
// rule, the refusals that are reported instead of failing silently, the saves that keep what the
// user protected, and files whose every byte is defined.
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDirIterator>
#include <QFileInfo>
#include <QtTest>
#include <functional>
#include <set>

#include "app/render_targets.h"
#include "render_targets_fixture.h"

using namespace quarto;
using namespace quarto::test;

class BitmapTargetTest : public QObject, private RenderTargetsFixture {
  Q_OBJECT

 private slots:
  void init() { SetUp(); }
  void cleanup() { TearDown(); }

  // The plot's second layer is yellow here, so that red in the bitmap could only be margin lines.
  void bitmapTargetWritesTheDrawingBesideThePlot() {
    const QString path = dir_.filePath("board.plt");
    WriteBoard(path, PltFormat::Plt45, 2000, 3);
    Open(path);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QVERIFY(CountColour(Shot(), kLayer2) > 0);  // the window's page preview has its red margin lines
    form_->view().FitPending = false;
    form_->view().Zoom = 10.0;
    const QSize screen(1000, 900);  // at least the window: the drawing lies inside the bitmap
    FrameInput in = FrameInputOf(*form_, RenderTarget::Bitmap);
    in.screenWidth = screen.width(), in.screenHeight = screen.height();
    const FrameLayout layout = ComputeFrame(in);

    QVERIFY(SaveBitmap(*form_, screen));
    QVERIFY(seams_->errors.isEmpty());
    const QString file = dir_.filePath("board.bmp");
    const QImage bmp(file, "BMP");
    QVERIFY(!bmp.isNull());
    // 8 bits per pixel, as the file header says (bytes 28-29 of the info header).
    const QByteArray head = ReadAll(file).left(54);
    QCOMPARE(head.left(2), QByteArray("BM"));
    QCOMPARE(uint8_t(head[28]) | uint8_t(head[29]) << 8, 8);
    QCOMPARE(bmp.depth(), 8);
    QCOMPARE(bmp.pixel(0, 0), qRgb(255, 255, 255));
    const DevicePoint bar1 = layout.place.Point(500, 500), bar2 = layout.place.Point(1500, 500);
    QCOMPARE(bmp.pixel(bar1.x, bar1.y), kLayer1);  // the layer colours exact
    QCOMPARE(bmp.pixel(bar2.x, bar2.y), kLayer3);
    // The drawing alone on white: no red margin lines, no black page frame or shadow.
    QCOMPARE(ColoursOf(bmp), (QSet<QRgb>{qRgb(255, 255, 255), kLayer1, kLayer3}));
    // The header box (2000 units wide, 1000 high) at the drawing's scale plus the screen: the scale
    // measured on the bitmap itself, from the 800-unit bars' inked runs.
    int barWidth = 0, barHeight = 0;
    for (int x = 0; x < bmp.width(); ++x) barWidth += bmp.pixel(x, bar1.y) == kLayer1;
    for (int y = 0; y < bmp.height(); ++y) barHeight += bmp.pixel(bar1.x, y) == kLayer1;
    QVERIFY(barWidth > 50);
    QVERIFY(std::abs(bmp.width() - 1000 - barWidth * 2000.0 / 800) <= 3);
    QVERIFY(std::abs(bmp.height() - 900 - barHeight * 1000.0 / 800) <= 3);
  }

  // The BMP name rule works on the file name only: the bitmap lands in the plot's own folder. An
  // existing bitmap is replaced whole, and no temporary file stays behind.
  void bitmapNamesStayInThePlotFolder() {
    const std::pair<const char*, const char*> cases[] = {
        {"a.plt", "a.bmp"}, {"sub/ab", "sub/bmp"},        {"x.", "bmp"},
        {"noext", "nobmp"}, {"v1.2/plain", "v1.2/plbmp"}, {"v1.2/b.plt", "v1.2/b.bmp"},
    };
    for (const auto& [plot, bmp] : cases) {
      QTemporaryDir root;
      const QString plotPath = root.filePath(plot);
      QDir().mkpath(QFileInfo(plotPath).path());
      WriteBoard(plotPath);
      const QString bmpPath = root.filePath(bmp);
      WriteBytes(bmpPath, "old");  // replaced
      Open(plotPath);
      seams_->errors.clear();
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      QVERIFY2(seams_->errors.isEmpty(), qPrintable(seams_->errors.join('|')));
      QCOMPARE(ReadAll(bmpPath).left(2), QByteArray("BM"));
      QStringList all;
      QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) all << QDir(root.path()).relativeFilePath(it.next());
      all.sort();
      QStringList expected{QString::fromLatin1(plot), QString::fromLatin1(bmp)};
      expected.sort();
      QCOMPARE(all, expected);
    }
  }

  void bitmapTargetRefusesAndReportsInsteadOfFailingSilently() {
    // A plot whose name already ends in "bmp" would be overwritten by its own bitmap.
    const QString own = dir_.filePath("plot.bmp");
    WriteBoard(own);
    Open(own);
    const QByteArray before = ReadAll(own);
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);
    QCOMPARE(ReadAll(own), before);

    // A name that cannot be written (a folder stands there) is reported.
    const QString path = dir_.filePath("locked.plt");
    WriteBoard(path);
    QVERIFY(QDir(dir_.path()).mkdir("locked.bmp"));
    Open(path);
    seams_->errors.clear();
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);

    // A zoom that would need gigabytes is refused before allocating.
    const QString big = dir_.filePath("big.plt");
    WriteBoard(big, PltFormat::Plt85, 2'000'000'000);
    Open(big);
    form_->view().FitPending = false;
    form_->view().Zoom = 100;
    seams_->errors.clear();
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->errors.size(), 1);
    QVERIFY(!QFile::exists(dir_.filePath("big.bmp")));
  }

  // The export saves as every save of the tools does (common/replace_file.h); these cases show
  // that it does, and what the export adds: no name reaching the plot itself is replaced.
  void bitmapSavesKeepWhatTheUserProtected() {
    struct Case {
      const char* name;
      QString plot;
      std::function<void(const QString& plot, const QString& bmp)> prepare;
      bool saved;
      mode_t mode;  // of the bitmap afterwards (0: none)
    };
    const QString longStem(251, QLatin1Char('p'));
    const Case cases[] = {
        {"a 255-byte name", longStem + ".plt", nullptr, true, 0},
        {"a private bitmap", "private.plt", [](const QString&, const QString& bmp) { Protect(bmp, 0600); }, true, 0600},
        {"a protected bitmap", "protected.plt", [](const QString&, const QString& bmp) { Protect(bmp, 0444); }, false,
         0444},
        {"a link to the plot", "linked.plt",
         [](const QString& plot, const QString& bmp) { QVERIFY(QFile::link(plot, bmp)); }, false, 0},
        {"a hard link to the plot", "hard.plt",
         [](const QString& plot, const QString& bmp) {
           QVERIFY(::link(QFile::encodeName(plot).constData(), QFile::encodeName(bmp).constData()) == 0);
         },
         false, 0},
    };
    for (const Case& c : cases) {
      const QString plot = dir_.filePath(c.plot);
      const QString bmp = plot.chopped(3) + "bmp";
      WriteBoard(plot);
      const QByteArray plotBytes = ReadAll(plot);
      if (c.prepare) c.prepare(plot, bmp);
      const QByteArray before = ReadAll(bmp);
      Open(plot);
      seams_->errors.clear();
      QCOMPARE(SaveBitmap(*form_, QSize(10, 10)), c.saved);
      QCOMPARE(ReadAll(plot), plotBytes);
      if (c.saved) {
        QVERIFY2(seams_->errors.isEmpty(), c.name);
        QCOMPARE(ReadAll(bmp).left(2), QByteArray("BM"));
      } else {
        QCOMPARE(seams_->errors.size(), 1);
        QVERIFY2(seams_->errors[0].contains(bmp), qPrintable(seams_->errors[0]));
        QVERIFY2(seams_->errors[0].contains('\n'), "with its reason");
        QCOMPARE(ReadAll(bmp), before);
      }
      if (c.mode) QCOMPARE(ModeOf(bmp), c.mode);
    }
  }

  // Every byte of the bitmap is the picture's: the padding at the end of each row is zero, and
  // two saves of one drawing give the same file, whatever the row length.
  void bitmapBytesAreAllDefined() {
    const QString plot = dir_.filePath("rows.plt");
    const QString bmp = dir_.filePath("rows.bmp");
    WriteBoard(plot);
    Open(plot);
    // Memory that nobody wrote reads as 0xAA here (glibc fills new blocks so while M_PERTURB
    // is set, and the sanitizer build fills them too), not as the zeroes of fresh pages.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_PERTURB, 0x55);
    const auto restore = qScopeGuard([] {
      mallopt(M_PERTURB, 0);
      mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    });
    form_->view().FitPending = false;
    std::set<uint32_t> padded;  // the row lengths modulo 4 that were met
    for (const double zoom : {1.0, 1.1, 1.2, 1.3, 1.4, 1.5}) {
      form_->view().Zoom = zoom;
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      const QByteArray first = ReadAll(bmp);
      QVERIFY(SaveBitmap(*form_, QSize(10, 10)));
      QCOMPARE(ReadAll(bmp), first);
      const auto u32 = [&](int at) {
        return uint32_t(uint8_t(first[at])) | uint32_t(uint8_t(first[at + 1])) << 8 |
               uint32_t(uint8_t(first[at + 2])) << 16 | uint32_t(uint8_t(first[at + 3])) << 24;
      };
      const uint32_t offset = u32(10), width = u32(18), height = u32(22), stride = (width + 3) & ~3u;
      padded.insert(width % 4);
      QCOMPARE(uint32_t(first.size()), offset + stride * height);
      for (uint32_t row = 0; row < height; ++row)
        for (uint32_t x = width; x < stride; ++x) QCOMPARE(int(first[int(offset + row * stride + x)]), 0);
    }
    QVERIFY(padded.size() > 1);
  }
};

QTEST_MAIN(BitmapTargetTest)
#include "render_bitmap_target_test.moc"
