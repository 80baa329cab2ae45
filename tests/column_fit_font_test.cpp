// The column fitting commands and the list font.
#include <gtest/gtest.h>

#include <vector>

#include "framework/FontDialog.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"

namespace {
std::vector<bool> g_visibleAtWidthChange;
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK RecordVisibility(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LVM_SETCOLUMNWIDTH) g_visibleAtWidthChange.push_back(::IsWindowVisible(hWnd) != FALSE);
    return ::CallWindowProcA(g_listProc, hWnd, message, wParam, lParam);
}

int ColumnWidth(HWND list, int column) { return static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); }

struct ChooserScript {
    BOOL result = FALSE;
    CHOOSEFONTA seen = {};
    LOGFONTA seeded = {};
    LOGFONTA chosen = {};
    int calls = 0;
};
ChooserScript g_chooser;

BOOL WINAPI FakeChooser(LPCHOOSEFONTA cf)
{
    ++g_chooser.calls;
    g_chooser.seen = *cf;
    g_chooser.seeded = *cf->lpLogFont;
    if (g_chooser.result) *cf->lpLogFont = g_chooser.chosen;
    return g_chooser.result;
}
}  // namespace

class ViewCommandsTest : public MainWindowTest {
protected:
    void AddRow(const std::string& first)
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>(first.c_str());
        dlg->m_listCtrl.InsertItem(item);
    }
    std::vector<int> Widths() const
    {
        std::vector<int> widths;
        for (int i = 0; i < 8; ++i) widths.push_back(ColumnWidth(List(), i));
        return widths;
    }
    void WatchWidths()
    {
        g_visibleAtWidthChange.clear();
        g_listProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordVisibility)));
    }
    void UnwatchWidths() { ::SetWindowLongPtrA(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc)); }
};

TEST_F(ViewCommandsTest, FitCommandsSetTheWidthsWithTheListHiddenAlsoWhileBusy)
{
    AddRow("C:\\a rather long path to a shortcut file somewhere\\tool.lnk");
    dlg->SetBusyState(0);
    WatchWidths();

    PressKey(List(), 'U', false, true);
    const std::vector<int> fitted = Widths();
    EXPECT_EQ(8u, g_visibleAtWidthChange.size());
    // Sizing again to the contents changes nothing: the command did exactly that.
    for (int i = 0; i < 8; ++i) dlg->m_listCtrl.SetColumnWidth(i, LVSCW_AUTOSIZE);
    EXPECT_EQ(fitted, Widths());
    EXPECT_GT(fitted[0], fitted[1]);

    ::MoveWindow(List(), 0, 0, 800, 300, TRUE);
    g_visibleAtWidthChange.clear();
    PressKey(List(), 'W', false, true);
    EXPECT_EQ((std::vector<int>{100, 100, 100, 100, 100, 100, 100, 70}), Widths());
    EXPECT_EQ(9u, g_visibleAtWidthChange.size());

    UnwatchWidths();
    dlg->SetBusyState(1);
    for (bool visible : g_visibleAtWidthChange) EXPECT_FALSE(visible) << "widths set while the list was shown";
    EXPECT_TRUE(::IsWindowVisible(List()));
}

class FontTest : public ViewCommandsTest {
protected:
    void SetUp() override
    {
        ViewCommandsTest::SetUp();
        g_chooser = ChooserScript();
        g_pfnChooseFont = &FakeChooser;
    }
    void TearDown() override
    {
        g_pfnChooseFont = &::ChooseFontA;
        ViewCommandsTest::TearDown();
    }
    LOGFONTA ListFont() const
    {
        LOGFONTA logFont = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0)), sizeof logFont, &logFont);
        return logFont;
    }
};

TEST_F(FontTest, TheChooserIsSeededFromTheListFontAndLimitedToNineToSeventyTwoPoints)
{
    Command(ID_TOOL_FONT);
    ASSERT_EQ(1, g_chooser.calls);
    EXPECT_EQ(static_cast<DWORD>(0x2103 | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK), g_chooser.seen.Flags);
    EXPECT_EQ(9, g_chooser.seen.nSizeMin);
    EXPECT_EQ(72, g_chooser.seen.nSizeMax);
    EXPECT_EQ(Main(), g_chooser.seen.hwndOwner);
    EXPECT_EQ(nullptr, g_chooser.seen.hDC);
    EXPECT_NE(nullptr, g_chooser.seen.lpfnHook);
    EXPECT_STREQ("ＭＳ Ｐゴシック", g_chooser.seeded.lfFaceName);
    EXPECT_EQ(12, g_chooser.seeded.lfHeight);
}

TEST_F(FontTest, AChosenFontReachesTheListAndKeepsStyleAndWidths)
{
    const std::vector<int> widths = Widths();
    g_chooser.result = TRUE;
    g_chooser.chosen = ListFont();
    lstrcpyA(g_chooser.chosen.lfFaceName, "IPAGothic");
    g_chooser.chosen.lfHeight = -20;
    g_chooser.chosen.lfWeight = FW_BOLD;
    Command(ID_TOOL_FONT);

    const LOGFONTA now = ListFont();
    EXPECT_STREQ("IPAGothic", now.lfFaceName);
    EXPECT_EQ(-20, now.lfHeight);
    EXPECT_EQ(FW_BOLD, now.lfWeight);
    EXPECT_EQ(0x421, ::SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(widths, Widths());

    // The next choice starts from the font now in use.
    g_chooser.result = FALSE;
    Command(ID_TOOL_FONT);
    EXPECT_STREQ("IPAGothic", g_chooser.seeded.lfFaceName);
}

TEST_F(FontTest, ACancelledChooserChangesNothing)
{
    HFONT before = reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0));
    const std::vector<int> widths = Widths();
    Command(ID_TOOL_FONT);
    EXPECT_EQ(before, reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0)));
    EXPECT_EQ(widths, Widths());
    EXPECT_EQ(0x421, ::SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

TEST_F(ViewCommandsTest, TheRealFontDialogOpensAndCanBeCancelled)
{
    HFONT before = reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0));
    // The chooser's caption comes from the system: find it by its class and owner instead.
    struct Watch {
        HWND owner;
        volatile LONG done = 0;
        static DWORD WINAPI Run(LPVOID param)
        {
            auto* self = static_cast<Watch*>(param);
            for (int i = 0; i < 500 && !self->done; ++i) {
                HWND found = nullptr;
                for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
                     w = ::FindWindowExA(nullptr, w, "#32770", nullptr)) {
                    if (::GetWindow(w, GW_OWNER) == self->owner && ::IsWindowVisible(w)) found = w;
                }
                if (found) {
                    ::PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                    ::InterlockedExchange(&self->done, 1);
                    return 0;
                }
                ::Sleep(30);
            }
            return 1;
        }
    } watch{Main()};
    HANDLE thread = ::CreateThread(nullptr, 0, &Watch::Run, &watch, 0, nullptr);
    Command(ID_TOOL_FONT);
    ::WaitForSingleObject(thread, 20000);
    ::CloseHandle(thread);
    EXPECT_TRUE(watch.done) << "no font dialog appeared";
    EXPECT_EQ(before, reinterpret_cast<HFONT>(::SendMessageA(List(), WM_GETFONT, 0, 0)));
}
