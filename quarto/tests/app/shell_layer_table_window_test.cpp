// The layer table window: clicks, colours, row dragging and the sort, apply and close.
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "app/form1.h"
#include "app/form2.h"
#include "app/startup.h"
#include "shell_fake_seams.h"
#include "shell_test_helpers.h"
#include "testsupport/plt_writer.h"

using namespace quarto;

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

QString Cell(Form2& f, int col, int row) { return QString::fromStdString(f.table().Grid.At(col, row)); }

void Click(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
  QTest::mousePress(w, b, Qt::NoModifier, p);
  QTest::mouseRelease(w, b, Qt::NoModifier, p);
}

QPoint CellCentre(Form2& f, int col, int row) { return f.StringGrid1->CellRect(col, row).center(); }

using test::PaintCounter;

}  // namespace

class LayerTableWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    seams_ = std::make_unique<test::FakeSeams>();
    form1_ = StartUp({}, seams_.get());
    form2_ = form1_->form2();
    // Layers 2 and 5 are named and on, as a scan leaves them.
    LayerGrid& g = form2_->table().Grid;
    AddLayerName(g, 2, "TOP", true);
    AddLayerName(g, 5, "BOT", true);
    form2_->ApplyLayerTable();
    form2_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form2_));
  }
  void cleanup() {
    form1_.reset();
    seams_.reset();
  }

  void windowLayout() {
    QCOMPARE(form2_->size(), QSize(504, 324));
    QCOMPARE(form2_->StringGrid1->geometry(), QRect(0, 0, 505, 276));
    QCOMPARE(form2_->StringGrid1->CellRect(3, 16), QRect(168, 256, 333, 15));
    QCOMPARE(Cell(*form2_, 0, 0), U("   Номер"));
    QCOMPARE(Cell(*form2_, 3, 0), U("Названия слоев"));
    QCOMPARE(Cell(*form2_, 0, 7), QStringLiteral("     7"));
    QCOMPARE(form2_->BitBtn2->text(), U("Применить"));
    QCOMPARE(form2_->CheckBox1->text(), U("Цвет по умолчанию"));
    QVERIFY(form2_->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(form2_->ColorGrid1->ForegroundColor(), 0u);
  }

  void aClickIsPressAndReleaseInOneCellWithTheLeftButton() {
    QWidget* grid = form2_->StringGrid1;
    // Press on row 2's status, release on row 3's: nothing.
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 1, 2));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 1, 3));
    QCOMPARE(Cell(*form2_, 1, 2), U("   Вкл."));
    // Right button: nothing.
    Click(grid, CellCentre(*form2_, 1, 2), Qt::RightButton);
    QCOMPARE(Cell(*form2_, 1, 2), U("   Вкл."));
    // A left click in one cell switches off; an unnamed row cannot be switched on.
    Click(grid, CellCentre(*form2_, 1, 2));
    QCOMPARE(Cell(*form2_, 1, 2), U("   Выкл."));
    Click(grid, CellCentre(*form2_, 1, 3));
    QCOMPARE(Cell(*form2_, 1, 3), U("   Выкл."));
    // English interface writes English statuses.
    form1_->English1->setChecked(true);
    Click(grid, CellCentre(*form2_, 1, 2));
    QCOMPARE(Cell(*form2_, 1, 2), QStringLiteral("   ON"));
    // The drawing order follows only at Apply.
    // A Russian "on" under the English interface is rewritten as "ON" first, then switched off.
    Click(grid, CellCentre(*form2_, 1, 5));
    QCOMPARE(Cell(*form2_, 1, 5), QStringLiteral("   ON"));
    Click(grid, CellCentre(*form2_, 1, 5));
    QCOMPARE(Cell(*form2_, 1, 5), QStringLiteral("   OFF"));
    QCOMPARE(form2_->table().LayerOrderCount, 2);
    form2_->BitBtn2->click();
    QCOMPARE(form2_->table().LayerOrderCount, 1);
    QCOMPARE(form2_->table().LayerOrder[0], 2);
    QVERIFY(form2_->isVisible());
  }

  void colourClickWhileDefaultColoursAreCheckedShowsTheUserColours() {
    LayerTable& t = form2_->table();
    t.UserLayerColors[6] = 0x123456;  // layer 7: a user colour that the defaults hide
    QVERIFY(form2_->CheckBox1->isChecked());
    QCOMPARE(t.LayerColors, DefaultLayerColors);

    // Red in the colour picker (0x0000FF), then the colour cell of row 4.
    Click(form2_->ColorGrid1, form2_->ColorGrid1->CellRect(9).center());
    QCOMPARE(form2_->ColorGrid1->ForegroundColor(), 0x0000FFu);
    Click(form2_->StringGrid1, CellCentre(*form2_, 2, 4));
    QVERIFY(!form2_->CheckBox1->isChecked());
    QCOMPARE(t.LayerColors[3], 0x0000FFu);
    QCOMPARE(t.UserLayerColors[3], 0x0000FFu);
    QCOMPARE(t.LayerColors[6], 0x123456u);
    QImage shot = form2_->StringGrid1->grab().toImage();
    QCOMPARE(shot.pixelColor(CellCentre(*form2_, 2, 4)), QColor(255, 0, 0));
    QCOMPARE(shot.pixelColor(CellCentre(*form2_, 2, 7)), QColor(0x56, 0x34, 0x12));
    QCOMPARE(shot.pixelColor(CellCentre(*form2_, 2, 1)), QColor(0, 128, 0));

    // Checking the box again shows the defaults and keeps the user's colours.
    form2_->CheckBox1->click();
    QCOMPARE(t.LayerColors, DefaultLayerColors);
    QCOMPARE(t.UserLayerColors[3], 0x0000FFu);
    form2_->CheckBox1->click();
    QCOMPARE(t.LayerColors[3], 0x0000FFu);
  }

  void startColoursFollowTheSettingWhateverTheBoxShowed() {
    LayerTable& t = form2_->table();
    t.UserLayerColors.fill(0x112233);
    // The box is checked already; the setting says user colours: the handler runs once and shows them.
    t.DefaultColors = false;
    form2_->ApplyStartColours();
    QVERIFY(!form2_->CheckBox1->isChecked());
    QCOMPARE(t.LayerColors, t.UserLayerColors);
    // The box is unchecked already; the handler still runs when the setting agrees with it.
    t.LayerColors = DefaultLayerColors;
    form2_->ApplyStartColours();
    QCOMPARE(t.LayerColors, t.UserLayerColors);
    t.DefaultColors = true;
    form2_->ApplyStartColours();
    QVERIFY(form2_->CheckBox1->isChecked());
    QCOMPARE(t.LayerColors, DefaultLayerColors);
  }

  void coloursRepaintOnlyTheTableApplyRepaintsTheMainWindow() {
    form1_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form1_.get()));
    QApplication::processEvents();
    PaintCounter counter;
    form1_->drawingArea()->installEventFilter(&counter);
    // Paint now whatever showing the window left to paint: the repaint clears the dirty region, so
    // an update request still on its way paints nothing, however late a loaded machine delivers it.
    form1_->drawingArea()->repaint();
    QApplication::processEvents();
    counter.paints = 0;
    Click(form2_->ColorGrid1, form2_->ColorGrid1->CellRect(9).center());
    Click(form2_->StringGrid1, CellCentre(*form2_, 2, 4));
    form2_->CheckBox1->click();
    QApplication::processEvents();
    QCOMPARE(counter.paints, 0);
    form2_->BitBtn2->click();
    QTRY_VERIFY(counter.paints > 0);
    const int afterApply = counter.paints;
    form2_->BitBtn1->click();
    QTRY_VERIFY(counter.paints > afterApply);
  }

  void aRowDraggedPastEitherEndLandsOnTheFirstOrLastRow() {
    QWidget* grid = form2_->StringGrid1;
    const QPoint above(CellCentre(*form2_, 0, 5).x(), -20);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 0, 5));
    QTest::mouseMove(grid, CellCentre(*form2_, 0, 0));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, above);
    QCOMPARE(Cell(*form2_, 0, 1), QStringLiteral("     5"));
    QCOMPARE(Cell(*form2_, 3, 1), QStringLiteral("BOT,"));
    QCOMPARE(Cell(*form2_, 0, 2), QStringLiteral("     1"));

    const QPoint below(CellCentre(*form2_, 0, 1).x(), grid->height() + 30);
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 0, 1));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(Cell(*form2_, 0, 16), QStringLiteral("     5"));
    QCOMPARE(Cell(*form2_, 0, 1), QStringLiteral("     1"));
  }

  void openingAPlotPutsDraggedRowsBackInNumberOrder() {
    QTemporaryDir dir;
    test::PltWriter w(PltFormat::Plt45);
    w.Header({});
    w.LayerName("B", 3);
    w.LayerName("A", 9);
    w.Layer(3);
    w.Line(0, 1, 0, 0, 10, 10);
    const QString path = dir.filePath("a.plt");
    w.Save(path.toStdString());

    MoveLayerRow(form2_->table().Grid, 9, 1);
    MoveLayerRow(form2_->table().Grid, 16, 2);
    form2_->BitBtn2->click();
    seams_->openAnswers = {path};
    form1_->N2Click();
    QVERIFY(seams_->errors.isEmpty());
    for (int row = 1; row <= 16; ++row) {
      QCOMPARE(Cell(*form2_, 0, row), QStringLiteral("     %1").arg(row));
      const bool named = row == 3 || row == 9;
      QCOMPARE(Cell(*form2_, 1, row), named ? U("   Вкл.") : U("   Выкл."));
    }
    QCOMPARE(Cell(*form2_, 3, 3), QStringLiteral("B,"));
    QCOMPARE(Cell(*form2_, 3, 2), QString());
    QCOMPARE(form2_->table().LayerOrderCount, 2);
    QCOMPARE(form2_->table().LayerOrder[0], 3);
    QCOMPARE(form2_->table().LayerOrder[1], 9);
  }

  void topLeftClickSortsDraggedRowsBack() {
    QWidget* grid = form2_->StringGrid1;
    // Drag row 2 (layer 2, on, "TOP,") by its number cell down to row 6.
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 0, 2));
    QTest::mouseMove(grid, CellCentre(*form2_, 0, 4));
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(*form2_, 0, 6));
    QCOMPARE(Cell(*form2_, 0, 6), QStringLiteral("     2"));
    QCOMPARE(Cell(*form2_, 3, 6), QStringLiteral("TOP,"));
    QCOMPARE(Cell(*form2_, 0, 4), QStringLiteral("     5"));
    // The colour moves with its row.
    QCOMPARE(grid->grab().toImage().pixelColor(CellCentre(*form2_, 2, 6)), QColor(255, 0, 0));
    // Apply: layer 5 now lies above layer 2.
    form2_->BitBtn2->click();
    QCOMPARE(form2_->table().LayerOrder[0], 5);
    QCOMPARE(form2_->table().LayerOrder[1], 2);

    // A click on a number cell or another header changes nothing; the top-left cell sorts.
    Click(grid, CellCentre(*form2_, 0, 3));
    Click(grid, CellCentre(*form2_, 1, 0));
    QCOMPARE(Cell(*form2_, 0, 6), QStringLiteral("     2"));
    Click(grid, CellCentre(*form2_, 0, 0));
    for (int row = 1; row <= 16; ++row) QCOMPARE(Cell(*form2_, 0, row), QStringLiteral("     %1").arg(row));
    QCOMPARE(Cell(*form2_, 1, 2), U("   Вкл."));
    QCOMPARE(Cell(*form2_, 3, 2), QStringLiteral("TOP,"));
    QCOMPARE(Cell(*form2_, 3, 5), QStringLiteral("BOT,"));
    QCOMPARE(form2_->table().LayerOrder[0], 5);  // only OK, Apply or closing rebuild the order

    // OK applies and hides the window; it is not destroyed.
    QPointer<Form2> alive = form2_;
    form2_->BitBtn1->click();
    QVERIFY(alive && !form2_->isVisible());
    QCOMPARE(form2_->table().LayerOrder[0], 2);
    QCOMPARE(form2_->table().LayerOrder[1], 5);
  }

 private:
  std::unique_ptr<test::FakeSeams> seams_;
  std::unique_ptr<Form1> form1_;
  Form2* form2_ = nullptr;
};

QTEST_MAIN(LayerTableWindowTest)
#include "shell_layer_table_window_test.moc"
