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
    EXPECT_EQ(70, LastColumnWidth(100));
    // Widths below 30 travel as their low 16 bits.
    EXPECT_EQ(0xFFFFu, ColumnWidthParam(LastColumnWidth(29)));
    EXPECT_EQ(0xFFFEu, ColumnWidthParam(LastColumnWidth(28)));
    EXPECT_EQ(100u, ColumnWidthParam(100));
}
