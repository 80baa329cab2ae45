// Header clicks sort the table byte-wise by the clicked column, alternating the
// direction with every accepted sort (descending first), never during a survey.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/MainWindowFixture.h"

namespace {
// Sorts accepted in this process so far: the direction lives for the whole run,
// so the next one is descending exactly when this is even.
int g_acceptedSorts = 0;

class ColumnSortTest : public MainWindowTest {
protected:
    void Click(int column)
    {
        const bool accepted = !IsBusy();
        SendColumnClick(Main(), List(), column);
        if (accepted) ++g_acceptedSorts;
    }
    bool NextIsAscending() const { return g_acceptedSorts % 2 == 1; }
    void SortAscending(int column)
    {
        if (!NextIsAscending()) Click(column);
        Click(column);
    }
    void Fill(int column, const std::vector<std::string>& texts)
    {
        ::SendMessageA(List(), LVM_DELETEALLITEMS, 0, 0);
        for (const auto& text : texts) AddTableRow(List(), RowWithCell(column, text));
    }
    static std::vector<std::string> Reversed(std::vector<std::string> texts)
    {
        std::reverse(texts.begin(), texts.end());
        return texts;
    }
};

TEST_F(ColumnSortTest, FirstSortAfterStartUpIsDescendingAndEverySortTurnsTheDirectionWhicheverColumn)
{
    const std::vector<std::string> column1 = {"b", "a", "c"};
    const std::vector<std::string> column5 = {"y", "z", "x"};
    for (size_t i = 0; i < column1.size(); ++i) AddTableRow(List(), {"", column1[i], "", "", "", column5[i], "", ""});
    const std::vector<std::string> up1 = {"a", "b", "c"}, up5 = {"x", "y", "z"};

    bool ascending = NextIsAscending();
    if (g_acceptedSorts == 0) {
        EXPECT_FALSE(ascending) << "a fresh run must start descending";
    }
    Click(1);
    EXPECT_EQ(ascending ? up1 : Reversed(up1), Column(1));
    Click(5);
    EXPECT_EQ(ascending ? Reversed(up5) : up5, Column(5)) << "column 5 must go the other way than column 1";
    Click(5);
    EXPECT_EQ(ascending ? up5 : Reversed(up5), Column(5));
}

TEST_F(ColumnSortTest, ClicksWhileBusyChangeNothingAndKeepTheDirectionThatWasDue)
{
    Fill(0, {"b", "c", "a"});
    const bool dueAscending = NextIsAscending();
    dlg->SetBusyState(0);
    ASSERT_TRUE(IsBusy());
    for (int column : {0, 0, 3}) Click(column);
    EXPECT_EQ((std::vector<std::string>{"b", "c", "a"}), Column(0));

    dlg->SetBusyState(1);
    Click(0);
    const std::vector<std::string> up = {"a", "b", "c"};
    EXPECT_EQ(dueAscending ? up : Reversed(up), Column(0));
}

TEST_F(ColumnSortTest, AClickOnAnEmptyTableStillTurnsTheDirection)
{
    const bool dueAscending = NextIsAscending();
    ASSERT_EQ(0, RowCount());
    Click(2);
    Fill(2, {"m", "z", "a"});
    Click(2);
    const std::vector<std::string> up = {"a", "m", "z"};
    EXPECT_EQ(dueAscending ? Reversed(up) : up, Column(2));
}

TEST_F(ColumnSortTest, CellsCompareByTheirUnsignedBytesInBothDirections)
{
    const std::string longA = std::string(300, 'x') + "a";
    const std::string longB = std::string(300, 'x') + "b";
    struct Case {
        const char* what;
        int column;
        std::vector<std::string> ascending;  // the expected ascending order
    };
    const Case cases[] = {
        {"numbers sort as text", 7, {"10", "2", "9"}},
        {"empty cells first", 2, {"", "a", "x"}},
        {"upper case before lower case", 1, {"A", "B", "a", "b"}},
        {"a text before its continuations", 3, {"ab", "abc", "abd"}},
        // 表 is 95 5C, ｱ is B1: every double-byte or katakana text after ASCII.
        {"Shift-JIS after ASCII", 0, {"A", "z", "~", "表", "ｱ"}},
        {"whole texts, past 256 bytes", 6, {longA, longB}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> shuffled = c.ascending;
        std::rotate(shuffled.begin(), shuffled.begin() + 1, shuffled.end());
        std::swap(shuffled.front(), shuffled.back());
        Fill(c.column, shuffled);
        SortAscending(c.column);
        EXPECT_EQ(c.ascending, Column(c.column));
        Click(c.column);
        EXPECT_EQ(Reversed(c.ascending), Column(c.column));
    }
}

TEST_F(ColumnSortTest, EveryRowKeepsItsOwnItemDataThroughSorts)
{
    const std::map<std::string, DWORD> hotkeys = {
        {"c", 0x0641}, {"a", 0x0000}, {"d", 0x0370}, {"b", 0x0B5A}, {"e", 0x0000FFFF}};
    for (const auto& [text, hotkey] : hotkeys) AddTableRow(List(), RowWithCell(4, text), hotkey);
    for (int column : {4, 4, 0}) {
        Click(column);
        for (int row = 0; row < RowCount(); ++row) {
            EXPECT_EQ(hotkeys.at(Cell(row, 4)), RowItemData(List(), row)) << "row " << row << " after column " << column;
        }
    }
}

TEST_F(ColumnSortTest, AMouseClickOnTheHeaderSortsByThatColumn)
{
    Fill(3, {"q", "w", "e"});
    const bool ascending = NextIsAscending();
    HWND header = reinterpret_cast<HWND>(::SendMessageA(List(), LVM_GETHEADER, 0, 0));
    RECT rect = {};
    ASSERT_TRUE(::SendMessageA(header, HDM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rect)));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(header, WM_LBUTTONUP, 0, at);
    PumpPending();
    ++g_acceptedSorts;
    const std::vector<std::string> up = {"e", "q", "w"};
    EXPECT_EQ(ascending ? up : Reversed(up), Column(3));
}
}  // namespace
