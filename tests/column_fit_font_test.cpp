// The column fitting commands and the list font.
#include <gtest/gtest.h>

#include <vector>

#include "framework/FontDialog.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Seam.h"

namespace {
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

using ViewCommandsTest = MainWindowTest;

TEST_F(ViewCommandsTest, FitCommandsSetTheWidthsWithTheListHiddenAlsoWhileBusy)
{
    AddTableRow(List(), RowWithCell(0, "C:\\a rather long path to a shortcut file somewhere\\tool.lnk"));
    dlg->SetBusyState(0);
    auto press = [this](char key, size_t changes) {
        WidthWatch watch(List());
        PressKey(List(), key, false, true);
        EXPECT_EQ(changes, WidthWatch::Changes().size()) << key;
        for (const auto& change : WidthWatch::Changes()) EXPECT_FALSE(change.visible) << "widths set while the list was shown";
    };
    press('U', 8);
    const std::vector<int> fitted = Widths();
    // Sizing again to the contents changes nothing: the command did exactly that.
    for (int i = 0; i < 8; ++i) dlg->m_listCtrl.SetColumnWidth(i, LVSCW_AUTOSIZE);
    EXPECT_EQ(fitted, Widths());
    EXPECT_GT(fitted[0], fitted[1]);

    ::MoveWindow(List(), 0, 0, 800, 300, TRUE);
    press('W', 9);
    EXPECT_EQ((std::vector<int>{100, 100, 100, 100, 100, 100, 100, 70}), Widths());
    dlg->SetBusyState(1);
    EXPECT_TRUE(::IsWindowVisible(List()));
}

class FontTest : public MainWindowTest {
protected:
    FontTest() { g_chooser = ChooserScript(); }
    ScopedSeam<ChooseFontFunction> chooser{g_pfnChooseFont, &FakeChooser};
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

TEST_F(FontTest, AChosenFontReachesTheListAndKeepsStyleAndWidthsACancelledOneChangesNothing)
{
    HFONT before = Font();
    const std::vector<int> widths = Widths();
    Command(ID_TOOL_FONT);
    EXPECT_EQ(before, Font());
    EXPECT_EQ(widths, Widths());
    EXPECT_EQ(0x421, ::SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));

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

TEST_F(ViewCommandsTest, TheRealFontDialogOpensAndCanBeCancelled)
{
    HFONT before = Font();
    // The chooser's caption comes from the system: found by its owner instead.
    DialogAnswerer chooser(Main(), IDCANCEL);
    Command(ID_TOOL_FONT);
    EXPECT_TRUE(chooser.Answered()) << "no font dialog appeared";
    EXPECT_EQ(before, Font());
}
