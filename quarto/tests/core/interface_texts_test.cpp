// The interface texts: the date-and-version rule of the about box and the texts other parts take
// from the table.
#include <gtest/gtest.h>

#include "core/interface_texts.h"
#include "core/layer_table.h"
#include "core/plot_scan.h"

namespace quarto {
namespace {

TEST(InterfaceTexts, DateAndVersionSurviveSwitchesWhateverStandsBetween) {
  struct Case {
    const char* current;
    bool russian;
    const char* expected;
  };
  const Case cases[] = {
      {"03.05.2004, Россия\nВерсия 2.5", false, "03.05.2004, Russia\nVersion 2.5"},
      {"03.05.2004, Russia\nVersion 2.5", true, "03.05.2004, Россия\nВерсия 2.5"},
      {"03.05.2004, Russia\nVersion 2.5", false, "03.05.2004, Russia\nVersion 2.5"},
      // Characters, not bytes: a Cyrillic date keeps its ten letters whole.
      {"ДДММГГГГдд какой-то текст В1Ж", false, "ДДММГГГГдд, Russia\nVersion В1Ж"},
      // Shorter than date and version together: both are what there is.
      {"1.0", true, "1.0, Россия\nВерсия 1.0"},
      {"", false, ", Russia\nVersion "},
  };
  for (const Case& c : cases) EXPECT_EQ(DateVersionText(c.current, c.russian), c.expected) << c.current;
  EXPECT_EQ(InitialDateVersionText(), "03.05.2004, Россия\nВерсия 2.5");
}

TEST(InterfaceTexts, RowsAreNumberedInOrderAndNameTheirWindow) {
  const auto rows = InterfaceTexts();
  ASSERT_EQ(rows.size(), 72u);
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].row, static_cast<int>(i) + 1);
    EXPECT_TRUE(rows[i].form == "Form1" || rows[i].form == "Form2" || rows[i].form == "Form3" ||
                rows[i].form == "Form4")
        << rows[i].row;
  }
  EXPECT_EQ(InterfaceTextFor(1, false), "View, print PLT files PCAD 4.5, 8.5");
  EXPECT_EQ(InterfaceTextFor(72, true), "Дюйм");
}

TEST(InterfaceTexts, GridHeadersAndUnitNamesComeFromTheTable) {
  LayerGrid grid;
  InitLayerGrid(grid);
  EXPECT_EQ(grid.At(ColNumber, 0), "   Номер");
  SetLayerGridLanguage(grid, false);
  EXPECT_EQ(grid.At(ColNumber, 0), "   Number");
  EXPECT_EQ(grid.At(ColStatus, 0), "Status");
  EXPECT_EQ(grid.At(ColColour, 0), "Colour");
  EXPECT_EQ(grid.At(ColNames, 0), "The names of layers");
  EXPECT_EQ(UnitPanelText(PlotUnit::Mils, false), "Mils");
  EXPECT_EQ(UnitPanelText(PlotUnit::Metric, true), "Метрика");
}

}  // namespace
}  // namespace quarto
