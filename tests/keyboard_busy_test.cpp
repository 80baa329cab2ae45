// The keyboard filter, the command table's refusal of greyed commands, the busy
// state, and the ways the window ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/LinkSurveyApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "support/TestHelpers.h"

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

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg = std::make_unique<ProbeDlg>();
        ASSERT_TRUE(dlg->Create(nullptr));
        theApp.m_pMainWnd = dlg.get();
        PumpPending();
    }
    void TearDown() override
    {
        if (dlg->m_hWnd) dlg->SetBusyState(1);
        theApp.m_pMainWnd = nullptr;
        dlg.reset();
        // A destroyed main window posts WM_QUIT: take it out of the queue.
        PumpPending();
    }
    HWND Main() const { return dlg->m_hWnd; }
    HWND List() const { return ::GetDlgItem(dlg->m_hWnd, IDC_LINK_LIST); }
    bool Alive() const { return dlg->m_hWnd != nullptr && ::IsWindow(dlg->m_hWnd); }
    UINT CloseState() const { return ::GetMenuState(::GetSystemMenu(Main(), FALSE), 6, MF_BYPOSITION); }

    std::unique_ptr<ProbeDlg> dlg;
};

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

TEST_F(KeyboardTest, AcceleratorsReachTheCommandTable)
{
    PressKey(List(), 'F', false, true);
    PressKey(List(), 'U', false, true);
    PressKey(List(), 'W', false, true);
    PressKey(List(), VK_F1);
    PressKey(List(), VK_F5);
    const std::vector<UINT> expected = {ID_TOOL_SELECT_FOLDER, ID_TOOL_FIT_TEXT, ID_TOOL_FIT_WINDOW, ID_HELP_CONTENTS,
                                        ID_TOOL_SCAN};
    EXPECT_EQ(expected, dlg->delivered);
}

TEST_F(KeyboardTest, AFolderChoiceFromTheMenuCarriesCommand65535)
{
    HMENU tools = ::GetSubMenu(::GetMenu(Main()), 1);
    ASSERT_EQ(65535u, ::GetMenuItemID(tools, 5));
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(65535, 0), 0);
    EXPECT_EQ(std::vector<UINT>{ID_TOOL_SELECT_FOLDER}, dlg->delivered);
}

TEST_F(KeyboardTest, GreyedCommandsComeNeitherFromTheMenuNorFromTheirAccelerator)
{
    dlg->SetBusyState(0);
    PressKey(List(), VK_F5);
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(ID_TOOL_SCAN, 0), 0);
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(ID_FILE_SAVE_CSV, 0), 0);
    EXPECT_TRUE(dlg->delivered.empty());

    // The commands that stay enabled still work while busy.
    PressKey(List(), 'F', false, true);
    PressKey(List(), 'U', false, true);
    PressKey(List(), 'W', false, true);
    PressKey(List(), VK_F1);
    EXPECT_EQ((std::vector<UINT>{ID_TOOL_SELECT_FOLDER, ID_TOOL_FIT_TEXT, ID_TOOL_FIT_WINDOW, ID_HELP_CONTENTS}),
              dlg->delivered);
}

TEST_F(KeyboardTest, AltF4ClosesWhenIdle)
{
    PressKey(List(), VK_F4, true);
    PumpPending();
    EXPECT_FALSE(Alive());
}

TEST_F(KeyboardTest, AltF4IsSwallowedWhileBusy)
{
    dlg->SetBusyState(0);
    PressKey(List(), VK_F4, true);
    PumpPending();
    EXPECT_TRUE(Alive());
}

TEST_F(KeyboardTest, NothingClosesTheWindowWhileBusy)
{
    dlg->SetBusyState(0);
    ::SendMessageA(Main(), WM_CLOSE, 0, 0);  // from outside: the cancel action
    ::SendMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    PumpPending();
    EXPECT_TRUE(Alive());
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
    HMENU menu = ::GetMenu(Main());
    EXPECT_EQ(static_cast<UINT>(MF_DEFAULT), CloseState() & ~0u) << "Close starts enabled";
    dlg->SetBusyState(0);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), CloseState() & ~static_cast<UINT>(MF_DEFAULT));
    for (UINT command : kBusyCommands) EXPECT_EQ(static_cast<UINT>(MF_GRAYED), MenuState(menu, command)) << command;
    for (UINT command : kAlwaysEnabled) EXPECT_EQ(0u, MenuState(menu, command)) << command;

    dlg->SetBusyState(1);
    EXPECT_EQ(0u, CloseState() & ~static_cast<UINT>(MF_DEFAULT));
    for (UINT command : kBusyCommands) EXPECT_EQ(0u, MenuState(menu, command)) << command;
}

// ---- The real program, in a process of its own ---------------------------------

namespace {
struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;

    bool Start()
    {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string exe(path);
        exe = exe.substr(0, exe.find_last_of('\\')) + "\\..\\Lirvan.exe";
        STARTUPINFOA startup = {sizeof startup};
        std::string command = "\"" + exe + "\"";
        if (!::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process)) {
            return false;
        }
        for (int i = 0; i < 300 && !window; ++i) {
            ::EnumWindows(&Program::Match, reinterpret_cast<LPARAM>(this));
            if (!window) ::Sleep(50);
        }
        return window != nullptr;
    }
    static BOOL CALLBACK Match(HWND hWnd, LPARAM param)
    {
        auto* self = reinterpret_cast<Program*>(param);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        char title[512] = {};
        ::GetWindowTextA(hWnd, title, sizeof title);
        if (pid == self->process.dwProcessId && std::string(title).find(" - Lirvan") != std::string::npos) {
            self->window = hWnd;
            return FALSE;
        }
        return TRUE;
    }
    bool Ended(DWORD timeoutMs) const { return ::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0; }
    ~Program()
    {
        if (process.hProcess) {
            if (!Ended(0)) ::TerminateProcess(process.hProcess, 1);
            ::CloseHandle(process.hProcess);
            ::CloseHandle(process.hThread);
        }
    }
};
}  // namespace

TEST(Program, EndsWhenTheExitCommandRuns)
{
    Program program;
    ASSERT_TRUE(program.Start());
    ::PostMessageA(program.window, WM_COMMAND, MAKEWPARAM(ID_FILE_EXIT, 0), 0);
    EXPECT_TRUE(program.Ended(20000));
}

TEST(Program, EndsWhenClosedFromItsCaption)
{
    Program program;
    ASSERT_TRUE(program.Start());
    ::PostMessageA(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(program.Ended(20000));
}
