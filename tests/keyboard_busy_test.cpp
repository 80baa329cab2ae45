// The keyboard filter, the command table's refusal of greyed commands, the busy
// state, and the ways the window ends.
#include <gtest/gtest.h>

#include <vector>

#include "res/resource.h"
#include "support/MainWindowFixture.h"

namespace {
// The real main window, with a table in front of its own that records which
// commands are delivered, and a record of the dialog's default-button action.
class ProbeDlg : public CLinkSurveyDlg {
public:
    std::vector<UINT> delivered;
    int okCalls = 0;
    void OnOK() override { ++okCalls; }
    template <UINT id> void Record() { delivered.push_back(id); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDlg, CLinkSurveyDlg)
    ON_COMMAND(ID_TOOL_SELECT_FOLDER, Record<ID_TOOL_SELECT_FOLDER>)
    ON_COMMAND(ID_TOOL_FIT_TEXT, Record<ID_TOOL_FIT_TEXT>)
    ON_COMMAND(ID_TOOL_FIT_WINDOW, Record<ID_TOOL_FIT_WINDOW>)
    ON_COMMAND(ID_HELP_CONTENTS, Record<ID_HELP_CONTENTS>)
    ON_COMMAND(ID_TOOL_SCAN, Record<ID_TOOL_SCAN>)
    ON_COMMAND(ID_FILE_SAVE_CSV, Record<ID_FILE_SAVE_CSV>)
END_MESSAGE_MAP()

using KeyboardTest = WindowTest<ProbeDlg>;

const UINT kBusyCommands[] = {ID_TOOL_SCAN, ID_FILE_SAVE_CSV, ID_FILE_COPY_CSV, ID_FILE_EXIT};
const UINT kAlwaysEnabled[] = {ID_FILE_VIEW_LIST, ID_TOOL_FIT_WINDOW, ID_TOOL_FIT_TEXT, ID_TOOL_SELECT_FOLDER,
                               ID_TOOL_FONT,      ID_HELP_CONTENTS,   ID_WEB_HOME,      ID_WEB_BOARD,
                               ID_HELP_ABOUT};
}  // namespace

TEST_F(KeyboardTest, EnterAndEscNeverCloseTheWindow)
{
    PressKey(List(), VK_RETURN);
    EXPECT_TRUE(Alive());
    EXPECT_EQ(0, dlg->okCalls) << "Enter reached the default-button action";

    PressKey(List(), VK_ESCAPE);
    EXPECT_TRUE(Alive());
    PressKey(Main(), VK_ESCAPE);
    EXPECT_TRUE(Alive());
}

TEST_F(KeyboardTest, AcceleratorsReachTheCommandTableButGreyedCommandsComeNeitherFromTheMenuNorFromTheirKey)
{
    for (int enable : {1, 0}) {
        dlg->SetBusyState(enable);
        dlg->delivered.clear();
        if (!enable) {
            for (UINT id : {ID_TOOL_SCAN, ID_FILE_SAVE_CSV}) ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
            EXPECT_TRUE(dlg->delivered.empty());
        }
        for (UINT key : {'F', 'U', 'W'}) PressKey(List(), key, false, true);
        for (UINT key : {VK_F1, VK_F5}) PressKey(List(), key);
        // The commands that stay enabled still work while busy.
        std::vector<UINT> expected = {ID_TOOL_SELECT_FOLDER, ID_TOOL_FIT_TEXT, ID_TOOL_FIT_WINDOW, ID_HELP_CONTENTS};
        if (enable) expected.push_back(ID_TOOL_SCAN);
        EXPECT_EQ(expected, dlg->delivered) << "enable " << enable;
    }
}

TEST_F(KeyboardTest, AFolderChoiceFromTheMenuCarriesCommand65535)
{
    HMENU tools = ::GetSubMenu(::GetMenu(Main()), 1);
    ASSERT_EQ(65535u, ::GetMenuItemID(tools, 5));
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(65535, 0), 0);
    EXPECT_EQ(std::vector<UINT>{ID_TOOL_SELECT_FOLDER}, dlg->delivered);
}

TEST_F(KeyboardTest, NothingClosesTheWindowWhileBusyAndAltF4DoesWhenIdle)
{
    dlg->SetBusyState(0);
    PressKey(List(), VK_F4, true);
    ::SendMessageA(Main(), WM_CLOSE, 0, 0);  // from outside: the cancel action
    ::SendMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    PumpPending();
    EXPECT_TRUE(Alive());

    dlg->SetBusyState(1);
    PressKey(List(), VK_F4, true);
    PumpPending();
    EXPECT_FALSE(Alive());
}

TEST_F(KeyboardTest, ExitCommandAndCancelActionDestroyTheWindowAndEndTheLoop)
{
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_FALSE(Alive());
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit message";

    // The second window, not the application's main one, just closes.
    ProbeDlg other;
    ASSERT_TRUE(other.Create(nullptr));
    ::SendMessageA(other.m_hWnd, WM_CLOSE, 0, 0);
    PumpPending();
    EXPECT_EQ(nullptr, other.m_hWnd);
}

TEST_F(KeyboardTest, BusyStateGreysExactlyCloseAndFourCommands)
{
    // Close is the menu's default item, so its state carries MF_DEFAULT besides the greyed bits.
    const UINT kDefault = MF_DEFAULT;
    EXPECT_EQ(kDefault, CloseState() & kDefault);
    EXPECT_EQ(0u, CloseState() & ~kDefault) << "Close starts enabled";
    for (int enable : {0, 1}) {
        dlg->SetBusyState(enable);
        const UINT greyed = enable ? 0u : static_cast<UINT>(MF_GRAYED);
        EXPECT_EQ(greyed, CloseState() & ~kDefault) << "enable " << enable;
        for (UINT command : kBusyCommands) EXPECT_EQ(greyed, MenuState(Menu(), command)) << command;
        for (UINT command : kAlwaysEnabled) EXPECT_EQ(0u, MenuState(Menu(), command)) << command;
    }
}

// The real program, in a process of its own.
TEST(Program, EndsWhenTheExitCommandRunsAndWhenClosedFromItsCaption)
{
    for (auto [message, wParam] : {std::pair<UINT, WPARAM>{WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0)}, {WM_SYSCOMMAND, SC_CLOSE}}) {
        ChildProcess program(BuiltProgram());
        HWND window = program.WaitForWindow(" - Lirvan");
        ASSERT_NE(nullptr, window) << message;
        ::PostMessageA(window, message, wParam, 0);
        EXPECT_TRUE(program.Ended(20000)) << message;
    }
}
