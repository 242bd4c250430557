#include "core/layer_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarto {
namespace {

std::vector<int> Order(const LayerTable& t) {
  return std::vector<int>(t.LayerOrder.begin(), t.LayerOrder.begin() + t.LayerOrderCount);
}

std::vector<int> RowNumbers(const LayerGrid& g) {
  std::vector<int> v;
  for (int row = 1; row < kLayerGridRows; ++row) v.push_back(RowLayerNumber(g, row));
  return v;
}

const std::vector<int> kInOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

class LayerTableTest : public ::testing::Test {
 protected:
  void SetUp() override { InitLayerGrid(t.Grid); }
  LayerClickResult Click(int col, int row, bool russian = true, uint32_t colour = 0) {
    return StringGrid1MouseUp(t, {col, row}, {col, row}, true, russian, colour);
  }
  LayerTable t;
};

TEST_F(LayerTableTest, GridStartsRussianNumberedAndOff) {
  EXPECT_EQ(t.Grid.At(ColNumber, 0), "   Номер");
  EXPECT_EQ(t.Grid.At(ColNames, 0), "Названия слоев");
  EXPECT_EQ(t.Grid.At(ColNumber, 7), "     7");
  EXPECT_EQ(t.Grid.At(ColNumber, 16), "     16");
  EXPECT_EQ(t.Grid.At(ColStatus, 1), "   Выкл.");
  EXPECT_EQ(RowNumbers(t.Grid), kInOrder);
  ApplyLayerTable(t);
  EXPECT_EQ(t.LayerOrderCount, 0);  // all rows off: nothing drawn
}

TEST_F(LayerTableTest, StatusTextsAndOnRuleInBothLanguages) {
  struct Case {
    const char* status;
    bool on;
  };
  const Case cases[] = {{"   Вкл.", true},   {"   ON", true},   {"ON", true},  {"  Вкл.  ", true},
                        {"   Выкл.", false}, {"   OFF", false}, {"on", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(LayerStatusIsOn(c.status), c.on) << c.status;
  EXPECT_EQ(LayerStatusText(true, false), "   ON");
  EXPECT_EQ(LayerStatusText(false, false), "   OFF");
}

TEST_F(LayerTableTest, ApplyTakesOnRowsTopFirstWhateverTheirLanguage) {
  AddLayerName(t.Grid, 3, "TOP", true);
  t.Grid.At(ColStatus, 9) = "   ON";  // English status while Russian is selected
  AddLayerName(t.Grid, 12, "BOT", false);
  MoveLayerRow(t.Grid, 12, 1);  // layer 12 dragged to the top
  ApplyLayerTable(t);
  EXPECT_EQ(Order(t), (std::vector<int>{12, 3, 9}));
}

TEST_F(LayerTableTest, NamesAccumulateAndSwitchTheLayerOn) {
  EXPECT_TRUE(AddLayerName(t.Grid, 5, "A", true));
  EXPECT_TRUE(AddLayerName(t.Grid, 5, "B", true));
  EXPECT_EQ(t.Grid.At(ColNames, 5), "A,B,");
  EXPECT_EQ(t.Grid.At(ColStatus, 5), "   Вкл.");
  for (int bad : {0, 17, 19, -1}) EXPECT_FALSE(AddLayerName(t.Grid, bad, "X", true));
  // A reset (the scan of a newly opened plot) puts rows back in order, off and unnamed.
  MoveLayerRow(t.Grid, 5, 14);
  ResetLayerRows(t.Grid, false);
  EXPECT_EQ(RowNumbers(t.Grid), kInOrder);
  EXPECT_EQ(t.Grid.At(ColNames, 5), "");
  EXPECT_EQ(t.Grid.At(ColStatus, 5), "   OFF");
}

TEST_F(LayerTableTest, StatusClickSwitchesOnOnlyANamedRow) {
  AddLayerName(t.Grid, 2, "INNER", true);
  EXPECT_TRUE(Click(ColStatus, 2).grid_changed);
  EXPECT_EQ(t.Grid.At(ColStatus, 2), "   Выкл.");
  Click(ColStatus, 2);
  EXPECT_EQ(t.Grid.At(ColStatus, 2), "   Вкл.");
  Click(ColStatus, 4);  // no name: stays off
  EXPECT_EQ(t.Grid.At(ColStatus, 4), "   Выкл.");
  // An on row without names can still be switched off.
  t.Grid.At(ColStatus, 6) = "   ON";
  Click(ColStatus, 6, false);
  EXPECT_EQ(t.Grid.At(ColStatus, 6), "   OFF");
  // English click on a Russian "on" row of a named layer: not the English on text, so it is
  // written as on in English.
  Click(ColStatus, 2, false);
  EXPECT_EQ(t.Grid.At(ColStatus, 2), "   ON");
}

TEST_F(LayerTableTest, ClicksThatDoNothing) {
  AddLayerName(t.Grid, 1, "TOP", true);
  const LayerGrid before = t.Grid;
  const LayerColorArray colours = t.LayerColors;
  // Press and release in different cells; the right button; header cells; a number cell.
  EXPECT_FALSE(StringGrid1MouseUp(t, {ColStatus, 1}, {ColStatus, 2}, true, true, 0).grid_changed);
  EXPECT_FALSE(StringGrid1MouseUp(t, {ColStatus, 1}, {ColStatus, 1}, false, true, 0).grid_changed);
  for (GridCell c : {GridCell{1, 0}, GridCell{2, 0}, GridCell{3, 0}, GridCell{0, 3}, GridCell{3, 1}})
    StringGrid1MouseUp(t, c, c, true, true, 0x123456);
  EXPECT_EQ(t.Grid.cells, before.cells);
  EXPECT_EQ(t.LayerColors, colours);
}

TEST_F(LayerTableTest, ColourClickWhileDefaultColoursAreOn) {
  CheckBox1Click(t, true);
  t.UserLayerColors[0] = 0x00111111;
  MoveLayerRow(t.Grid, 4, 1);  // the top row now shows layer 4
  const auto r = Click(ColColour, 1, true, 0x00ABCDEF);
  EXPECT_TRUE(r.uncheck_default_colours);
  EXPECT_EQ(t.LayerColors[3], 0x00ABCDEFu);
  EXPECT_EQ(t.UserLayerColors[3], 0x00ABCDEFu);
  // Unchecking the box runs its handler: the user colours for all layers, the new one included.
  CheckBox1Click(t, false);
  EXPECT_EQ(t.LayerColors[0], 0x00111111u);
  EXPECT_EQ(t.LayerColors[3], 0x00ABCDEFu);
  // Checking shows the defaults again without losing the user colours.
  CheckBox1Click(t, true);
  EXPECT_EQ(t.LayerColors, DefaultLayerColors);
  EXPECT_EQ(t.UserLayerColors[3], 0x00ABCDEFu);
  // Nothing chosen in the colour picker yet: black.
  Click(ColColour, 2, true, 0);  // row 2 shows layer 1 after the move
  EXPECT_EQ(t.LayerColors[0], 0u);
}

TEST_F(LayerTableTest, DefaultColoursAreRedInTheLowByte) {
  EXPECT_EQ(DefaultLayerColors[1], 0x000000FFu);  // layer 2: red
  EXPECT_EQ(DefaultLayerColors[3], 0x00FF0000u);  // layer 4: blue
  EXPECT_EQ(DefaultLayerColors[9], DefaultLayerColors[13]);
}

TEST_F(LayerTableTest, SortAfterMovesKeepsEachRowsStatusColourAndNames) {
  AddLayerName(t.Grid, 3, "THREE", true);
  AddLayerName(t.Grid, 16, "LAST", true);
  MoveLayerRow(t.Grid, 16, 1);
  MoveLayerRow(t.Grid, 3, 10);
  MoveLayerRow(t.Grid, 8, 2);
  EXPECT_NE(RowNumbers(t.Grid), kInOrder);
  ApplyLayerTable(t);
  EXPECT_EQ(Order(t), (std::vector<int>{16, 3}));
  Click(ColNumber, 0);  // top-left header cell sorts
  EXPECT_EQ(RowNumbers(t.Grid), kInOrder);
  EXPECT_EQ(t.Grid.At(ColNames, 3), "THREE,");
  EXPECT_EQ(t.Grid.At(ColNames, 16), "LAST,");
  EXPECT_EQ(t.Grid.At(ColStatus, 16), "   Вкл.");
  EXPECT_EQ(t.Grid.At(ColStatus, 8), "   Выкл.");
  // The order changes only at the next apply.
  EXPECT_EQ(Order(t), (std::vector<int>{16, 3}));
  ApplyLayerTable(t);
  EXPECT_EQ(Order(t), (std::vector<int>{3, 16}));
}

TEST_F(LayerTableTest, MoveRowShiftsTheRowsBetween) {
  MoveLayerRow(t.Grid, 2, 5);
  EXPECT_EQ(RowNumbers(t.Grid), (std::vector<int>{1, 3, 4, 5, 2, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  MoveLayerRow(t.Grid, 16, 1);
  EXPECT_EQ(RowNumbers(t.Grid)[0], 16);
  MoveLayerRow(t.Grid, 0, 3);  // the header row never moves
  MoveLayerRow(t.Grid, 3, 17);
  EXPECT_EQ(t.Grid.At(ColNumber, 0), "   Номер");
}

TEST_F(LayerTableTest, LanguageSwitchKeepsOnOff) {
  AddLayerName(t.Grid, 2, "X", true);
  SetLayerGridLanguage(t.Grid, false);
  EXPECT_EQ(t.Grid.At(ColStatus, 2), "   ON");
  EXPECT_EQ(t.Grid.At(ColStatus, 3), "   OFF");
  EXPECT_EQ(t.Grid.At(ColNames, 0), "The names of layers");
  SetLayerGridLanguage(t.Grid, true);
  EXPECT_EQ(t.Grid.At(ColStatus, 2), "   Вкл.");
  EXPECT_EQ(t.Grid.At(ColStatus, 3), "   Выкл.");
}

}  // namespace
}  // namespace quarto
