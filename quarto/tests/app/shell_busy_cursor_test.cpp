// The wait cursor of long drawings: shown while a print or an export runs, given back after
// every paint, print and export however it ended, and never over a box.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/form1.h"
#include "app/render_targets.h"
#include "app/ui_seams.h"
#include "shell_test_helpers.h"

using namespace quarto;

namespace {

// Records which cursor was in force when a box was asked for.
struct CursorSeams : test::FakeSeams {
  QList<Qt::CursorShape> shapes;
  void Error(QWidget* parent, const QString& text) override {
    shapes << (QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
    FakeSeams::Error(parent, text);
  }
};

// A plot long enough that its paint shows the wait cursor.
void WriteLongPlot(const QString& path) {
  test::PltWriter w(PltFormat::Plt85);
  w.Header({1, 0, 0, 100000, 100000, -1, 1});
  w.LayerName("TOP", 1);
  w.Layer(1);
  for (int i = 0; i < static_cast<int>(kBusyPaintRecords); ++i) w.Line(0, 1, i, 0, i, 100000);
  w.Save(path.toStdString());
}

}  // namespace

class BusyCursorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    WriteLongPlot(dir_.filePath("long.plt"));
  }
  void init() { seams_ = std::make_unique<CursorSeams>(); }
  void cleanup() {
    form_.reset();
    seams_.reset();
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }

  // However a paint ends, drawn whole or with the page alone, the cursor is given back.
  void theCursorIsRestoredAfterAPaint() {
    const QString path = dir_.filePath("paint.plt");
    QVERIFY(QFile::copy(dir_.filePath("long.plt"), path));
    form_ = test::OpenInShownWindow(*seams_, path);
    QVERIFY(form_);
    QVERIFY(form_->scan().Index.Total() >= kBusyPaintRecords);
    test::PaintedArea(*form_);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(QFile::remove(path));  // the next paint finds it gone: the page alone
    test::PaintedArea(*form_);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QTRY_COMPARE(seams_->errors, QStringList{"File not found"});
  }

  // A print and an export wait with the wait cursor, tell their problems, and give it back.
  void printsAndExportsWaitAndGiveTheCursorBack() {
    const QString path = dir_.filePath("print.plt");
    QVERIFY(QFile::copy(dir_.filePath("long.plt"), path));
    form_ = test::OpenInShownWindow(*seams_, path);
    QVERIFY(form_);
    const std::unique_ptr<QPrinter> printer = test::PdfFilePrinter(dir_.filePath("print.pdf"));
    QVERIFY(PrintPlot(*form_, *printer));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(QFile::remove(path));
    QVERIFY(!PrintPlot(*form_, *printer));
    QVERIFY(!SaveBitmap(*form_, QSize(10, 10)));
    QCOMPARE(seams_->shapes, (QList<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  // The real boxes show the arrow over them while a drawing waits, and the wait cursor after.
  void aBoxShowsTheArrowWhileADrawingWaits() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape during = Qt::WaitCursor;
    QTimer::singleShot(0, [&] {
      if (QApplication::overrideCursor()) during = QApplication::overrideCursor()->shape();
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    DefaultUiSeams real;
    real.Error(nullptr, QStringLiteral("File not found"));
    QCOMPARE(during, Qt::ArrowCursor);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
  }

 private:
  QTemporaryDir dir_;
  std::unique_ptr<CursorSeams> seams_;
  std::unique_ptr<Form1> form_;
};

QTEST_MAIN(BusyCursorTest)
#include "shell_busy_cursor_test.moc"
