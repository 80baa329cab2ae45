#include <gtest/gtest.h>

#include "mainwnd/LinkSurveyDlg.h"
#include "survey/TableColumns.h"

TEST(ShowCmdName, NamesEveryShowCommandOfTheTable)
{
    const char* expected[12] = {"非表示", "通常のウィンドウ", "最小化", "最大化", "通常のウィンドウ",
                                "通常のウィンドウ", "最小化", "最小化", "通常のウィンドウ",
                                "通常のウィンドウ", "通常のウィンドウ", "最大化"};
    for (int i = 0; i < 12; ++i) EXPECT_STREQ(expected[i], ShowCmdName(i)) << "show command " << i;
}

TEST(ShowCmdName, ValuesOutsideTheTableAreANormalWindow)
{
    for (int value : {-1, 12, 100, INT_MIN, INT_MAX}) EXPECT_STREQ("通常のウィンドウ", ShowCmdName(value)) << value;
}

TEST(ColumnFitArithmetic, SharesTruncateAndTheLastColumnLeavesThirtyPixels)
{
    EXPECT_EQ(100, ColumnShare(800, 8));
    EXPECT_EQ(100, ColumnShare(807, 8));
    EXPECT_EQ(70, LastColumnWidth(100, 96));
    // Widths below 30 travel as their low 16 bits.
    EXPECT_EQ(0xFFFFu, ColumnWidthParam(LastColumnWidth(29, 96)));
    EXPECT_EQ(0xFFFEu, ColumnWidthParam(LastColumnWidth(28, 96)));
    EXPECT_EQ(100u, ColumnWidthParam(100));
}

TEST(ColumnFitArithmetic, TheRoomForTheScrollBarGrowsWithTheDpi)
{
    struct Case { UINT dpi; int last; } cases[] = {{96, 70}, {120, 62}, {144, 55}, {192, 40}};
    for (const Case& c : cases) EXPECT_EQ(c.last, LastColumnWidth(100, c.dpi)) << c.dpi << " DPI";
}

TEST(ScaleForDpi, RoundsToTheNearestPixelBothWaysAndKeepsTheSign)
{
    struct Case { int size; UINT from, to; int scaled; } cases[] = {
        {12, 96, 96, 12}, {12, 96, 144, 18}, {12, 96, 192, 24}, {101, 96, 144, 152}, {152, 144, 96, 101},
        {-13, 96, 144, -20}, {-20, 144, 96, -13}, {0, 96, 192, 0}, {25, 96, 120, 31}};
    for (const Case& c : cases) EXPECT_EQ(c.scaled, ScaleForDpi(c.size, c.from, c.to)) << c.size << " " << c.from << "->" << c.to;
}
