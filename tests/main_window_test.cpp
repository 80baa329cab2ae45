// The main window as it starts: title, table, list style and font, resizing,
// column fitting, and how the window and the program end.
#include <gtest/gtest.h>

#include <vector>

#include "support/MainWindowFixture.h"
#include "survey/TableColumns.h"

namespace {
std::string HeaderText(HWND list, int index)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    char text[256] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(header, HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The list fills the client area above the status bar, which spans the bottom edge.
void ExpectListAboveStatusBar(HWND main, const std::string& where)
{
    RECT client, list, bar;
    ::GetClientRect(main, &client);
    ::GetWindowRect(::GetDlgItem(main, 1000), &list);
    ::GetWindowRect(::GetDlgItem(main, 1013), &bar);
    ::MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&list), 2);
    ::MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(client.left, list.left) << where;
    EXPECT_EQ(client.top, list.top) << where;
    EXPECT_EQ(client.right, list.right) << where;
    EXPECT_EQ(bar.top, list.bottom) << where;
    EXPECT_GT(bar.bottom, bar.top) << where;
    EXPECT_EQ(client.right, bar.right) << where;
    EXPECT_EQ(client.bottom, bar.bottom) << where;
}
}  // namespace

using StartUp = MainWindowTest;

TEST_F(StartUp, TitleIsTheWindowsDirectoryFollowedByTheProductName)
{
    char windows[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetWindowsDirectoryA(windows, MAX_PATH));
    EXPECT_EQ(std::string(windows) + "\\ - Lirvan", WindowText(Main()));
    EXPECT_EQ(std::string(windows), WideToAnsi(dlg->m_strFolder).str());
}

TEST(MainWindowTitle, UsesTheFolderExactlyAsGivenEvenWithATrailingBackslash)
{
    EXPECT_EQ(L"C:\\windows\\ - Lirvan", MainWindowTitle(L"C:\\windows").str());
    EXPECT_EQ(L"X:\\\\ - Lirvan", MainWindowTitle(L"X:\\").str());
    EXPECT_EQ(L"c:\\ - Lirvan", MainWindowTitle(L"c:").str());
}

TEST_F(StartUp, TableHasTheEightHeadersInOrder)
{
    const char* expected[] = {"ショートカットのパス", "リンク先", "引数", "作業フォルダ",
                              "ショートカットキー", "実行時の大きさ", "アイコンのパス", "アイコンのインデックス"};
    HWND header = reinterpret_cast<HWND>(::SendMessageA(List(), LVM_GETHEADER, 0, 0));
    ASSERT_EQ(8, ::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(expected[i], HeaderText(List(), i)) << "column " << i;
    EXPECT_EQ(0, RowCount());
}

TEST_F(StartUp, ListHasItsStylesAndFont)
{
    EXPECT_EQ(0x421, ::SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    // A report list with single selection, no sort style, a clickable header.
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(List(), GWL_STYLE));
    const DWORD expected = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | WS_TABSTOP;
    EXPECT_EQ(expected, style & (expected | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOSORTHEADER));

    HFONT font = Font();
    ASSERT_NE(nullptr, font);
    LOGFONTA logFont = {};
    ASSERT_EQ(static_cast<int>(sizeof logFont), ::GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_EQ("ＭＳ Ｐゴシック", std::string(logFont.lfFaceName));
    EXPECT_EQ(SHIFTJIS_CHARSET, logFont.lfCharSet);
    EXPECT_EQ(12, logFont.lfHeight);
    EXPECT_EQ(FW_NORMAL, logFont.lfWeight);
}

TEST_F(StartUp, WindowCarriesTheProgramIconBigAndSmall)
{
    HICON big = reinterpret_cast<HICON>(::SendMessageA(Main(), WM_GETICON, ICON_BIG, 0));
    HICON small = reinterpret_cast<HICON>(::SendMessageA(Main(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(nullptr, big);
    EXPECT_EQ(big, small);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(big),
              reinterpret_cast<HCURSOR>(::SendMessageA(Main(), WM_QUERYDRAGICON, 0, 0)));
}

TEST_F(StartUp, ColumnsAreSpreadOverTheListAtStart)
{
    RECT outer;
    ::GetWindowRect(List(), &outer);
    const int share = (outer.right - outer.left) / 8;
    for (int i = 0; i < 7; ++i) EXPECT_EQ(share, ColumnWidth(i)) << "column " << i;
    EXPECT_EQ(share - 30, ColumnWidth(7));
}

using Resizing = MainWindowTest;

TEST_F(Resizing, ListFillsTheClientAreaAboveTheStatusBarAndColumnWidthsStay)
{
    const std::vector<int> before = Widths();

    for (int show : {SW_MAXIMIZE, SW_RESTORE}) {
        ::ShowWindow(Main(), show);
        PumpPending();
        ExpectListAboveStatusBar(Main(), "show " + std::to_string(show));
    }
    ::SetWindowPos(Main(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    EXPECT_EQ(before, Widths());
}

TEST_F(Resizing, MinimisingShrinksTheListToNothing)
{
    ::SendMessageA(Main(), WM_SIZE, SIZE_MINIMIZED, 0);
    RECT list;
    ::GetWindowRect(List(), &list);
    EXPECT_EQ(0, list.right - list.left);
    EXPECT_EQ(0, list.bottom - list.top);
}

TEST(CenteredIconOrigin, CentresWithDivisionTruncatingTowardZero)
{
    EXPECT_EQ(84, CenteredIconOrigin(200, 100, 32, 32).x);
    EXPECT_EQ(34, CenteredIconOrigin(200, 100, 32, 32).y);
    EXPECT_EQ(85, CenteredIconOrigin(201, 101, 32, 32).x);
    // A client area smaller than the icon: (0 - 32 + 1) / 2 is -15, not -16.
    EXPECT_EQ(-15, CenteredIconOrigin(0, 0, 32, 32).x);
    EXPECT_EQ(-15, CenteredIconOrigin(0, 0, 32, 32).y);
}

using FitToWindow = MainWindowTest;

TEST_F(FitToWindow, SpreadsTheListWidthOverTheColumns)
{
    for (int width : {800, 807}) {
        ::MoveWindow(List(), 0, 0, width, 200, TRUE);
        dlg->FitColumnsToWindow(dlg->m_listCtrl);
        EXPECT_EQ((std::vector<int>{100, 100, 100, 100, 100, 100, 100, 70}), Widths()) << width << " px";
    }
}

TEST_F(FitToWindow, NarrowListsHandTheLastWidthOverAsItsLowSixteenBits)
{
    struct Case { int share; LPARAM last; } cases[] = {{29, 0xFFFF}, {28, 0xFFFE}, {40, 10}};
    for (const Case& c : cases) {
        WidthWatch watch(List());
        ::MoveWindow(List(), 0, 0, c.share * 8, 200, TRUE);
        dlg->FitColumnsToWindow(dlg->m_listCtrl);
        const auto& changes = WidthWatch::Changes();
        ASSERT_EQ(9u, changes.size()) << "share " << c.share;
        for (int i = 0; i < 8; ++i) EXPECT_EQ(c.share, changes[i].width) << "share " << c.share;
        EXPECT_EQ(c.last, changes[8].width) << "share " << c.share;
    }
}

using DpiChange = MainWindowTest;

TEST_F(DpiChange, OnAMonitorOfAnotherScaleTheWindowTakesTheSuggestedRectangleAndRescalesFontAndColumns)
{
    std::vector<int> widths = Widths();
    UINT dpiBefore = 96;
    HFONT fontAtStart = Font();

    struct Case { UINT dpi; RECT suggested; int fontHeight; } cases[] = {
        {144, {40, 30, 40 + 900, 30 + 640}, 18}, {192, {0, 0, 1100, 800}, 24}, {96, {20, 10, 20 + 560, 10 + 420}, 12}};
    for (const Case& c : cases) {
        ::SendMessageA(Main(), WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&c.suggested));
        PumpPending();
        RECT window;
        ::GetWindowRect(Main(), &window);
        EXPECT_TRUE(::EqualRect(&c.suggested, &window)) << c.dpi << " DPI: " << window.left << "," << window.top << " "
                                                        << window.right << "," << window.bottom;
        ExpectListAboveStatusBar(Main(), std::to_string(c.dpi) + " DPI");

        EXPECT_EQ(c.fontHeight, ListFont().lfHeight) << c.dpi << " DPI";
        EXPECT_STREQ("ＭＳ Ｐゴシック", ListFont().lfFaceName);
        // Each width looks as wide as before the move, rounded to the pixel.
        for (int i = 0; i < 8; ++i) {
            widths[i] = ::MulDiv(widths[i], c.dpi, dpiBefore);
            EXPECT_EQ(widths[i], ColumnWidth(i)) << c.dpi << " DPI, column " << i;
        }
        dpiBefore = c.dpi;
    }
    EXPECT_NE(fontAtStart, Font());

    // Fitting to the window at 150 % leaves the scroll bar its wider room.
    ::SendMessageA(Main(), WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    ::MoveWindow(List(), 0, 0, 1200, 300, TRUE);
    dlg->FitColumnsToWindow(dlg->m_listCtrl);
    EXPECT_EQ(150, ColumnWidth(0));
    EXPECT_EQ(105, ColumnWidth(7));
}
