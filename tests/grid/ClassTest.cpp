// The published class: defaults, stored values and form storage of the extents.
#include <gtest/gtest.h>

#include "platform/classes/Filer.h"
#include "tests/grid/GridTestSupport.h"

using namespace grid_test;

namespace {

TEST(GridClass, FreshGridStoresOnlyTheFontSizeItsConstructorChanged) {
  TCellGrid grid(nullptr);
  grid.SetName("gvData");
  const String text = WriteComponentToText(&grid);
  EXPECT_NE(text.find("CellFontSize = 8"), String::npos) << text;
  for (const char* name : {"ColCount", "Options", "CellZeroNull", "TitleColor", "ColWidths", "RowHeights",
                           "HighLightTextColor", "CellColor"})
    EXPECT_EQ(text.find(name), String::npos) << name << " in\n" << text;
}

TEST(GridClass, FormTextRoundTripsCountsOptionsColoursAndExtents) {
  TCellGrid grid(nullptr);
  grid.SetName("gvData");
  grid.SetColCount(7);
  grid.SetRowCount(3);
  grid.SetOptions(TCellGridOptions{goVertLine, goHorzLine, goEditing, goColSizing});
  grid.SetTitleColor(clRed);
  grid.SetColWidths(2, 33);
  grid.SetRowHeights(1, 20);
  grid.SetCellDataStyle(dsNumber);
  const String text = WriteComponentToText(&grid);
  EXPECT_NE(text.find("ColWidths = ("), String::npos) << text;

  TCellGrid copy(nullptr);
  ReadComponentFromText(text, &copy, "test");
  EXPECT_EQ(copy.ColCount(), 7);
  EXPECT_EQ(copy.RowCount(), 3);
  EXPECT_TRUE(copy.Options() == grid.Options());
  EXPECT_EQ(copy.TitleColor(), clRed);
  EXPECT_EQ(copy.GetColWidths(2), 33);
  EXPECT_EQ(copy.GetColWidths(6), 80);
  EXPECT_EQ(copy.GetRowHeights(1), 20);
  EXPECT_EQ(copy.CellDataStyle(), dsNumber);
  EXPECT_EQ(copy.GetCellInfo(6, 2)->DataStyle, dsNumber);
}

TEST(GridClass, PropertiesThatRepaintOnlyOnChange) {
  TTestGrid grid;
  grid.ClearLog();
  grid.SetFixedLineColor(grid.FixedLineColor());
  grid.SetClientLineColor(grid.ClientLineColor());
  grid.SetHighLightColor(grid.HighLightColor());
  grid.SetShowRowTitle(true);
  EXPECT_TRUE(grid.Invalidated.empty());
  grid.SetFixedLineColor(clRed);
  EXPECT_EQ(grid.Invalidated.size(), 1u);
}

TEST(GridClass, NeverFiredEventsChangeNothing) {
  TTestGrid grid;
  bool fired = false;
  grid.SetBeforeSetCellProp([&](TObject*, TGridRect, bool& can) {
    fired = true;
    can = false;
  });
  grid.SetOnInsertCol([&](TObject*, TGridRect) { fired = true; });
  grid.SetAllCellsProperty(cpColor, clRed);
  grid.SetColCount(7);
  EXPECT_FALSE(fired);
  EXPECT_EQ(grid.GetCellColor(2, 2), clRed);
}

}  // namespace
