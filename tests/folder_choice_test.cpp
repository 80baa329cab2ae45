// Choosing the survey folder, with a picker of our own standing in for the shell's.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "res/resource.h"
#include "support/LinkFiles.h"
#include "support/MainWindowFixture.h"
#include "support/Seam.h"
#include "support/SurveyHold.h"
#include "survey/FolderChoice.h"

namespace {
enum class Answer { Cancel, Folder, VirtualItem };

struct PickerScript {
    Answer answer = Answer::Cancel;
    std::wstring folder;
    int calls = 0;
    BROWSEINFOW seen = {};
    std::string title;
    std::string preselected;  // what the callback handed to the picker window
    WPARAM preselectedIsPath = 0;
};
PickerScript g_script;

LRESULT CALLBACK ProbeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BFFM_SETSELECTIONW) {
        g_script.preselectedIsPath = wParam;
        g_script.preselected = WideToAnsi(reinterpret_cast<const WCHAR*>(lParam)).str();
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

LPITEMIDLIST WINAPI FakePicker(LPBROWSEINFOW info)
{
    ++g_script.calls;
    g_script.seen = *info;
    g_script.title = info->lpszTitle ? WideToAnsi(info->lpszTitle).str() : "";
    // Opening: the callback preselects the current folder in the picker's window.
    WNDCLASSA probeClass = {};
    probeClass.lpfnWndProc = ProbeProc;
    probeClass.hInstance = ::GetModuleHandleA(nullptr);
    probeClass.lpszClassName = "LirvanPickerProbe";
    ::RegisterClassA(&probeClass);
    HWND probe = ::CreateWindowA("LirvanPickerProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 probeClass.hInstance, nullptr);
    if (info->lpfn) info->lpfn(probe, BFFM_INITIALIZED, 0, info->lParam);
    ::DestroyWindow(probe);

    LPITEMIDLIST chosen = nullptr;
    if (g_script.answer == Answer::Folder) {
        ::SHParseDisplayName(g_script.folder.c_str(), nullptr, &chosen, 0, nullptr);
    } else if (g_script.answer == Answer::VirtualItem) {
        ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &chosen);
    }
    return chosen;
}
}  // namespace

class FolderChoiceTest : public MainWindowTest {
protected:
    FolderChoiceTest() { g_script = PickerScript(); }
    void Choose(Answer answer, const std::string& folder = "") { Choose(answer, Wide(folder)); }
    void Choose(Answer answer, const std::wstring& folder)
    {
        g_script.answer = answer;
        g_script.folder = folder;
        Command(ID_TOOL_SELECT_FOLDER);
    }
    ScopedSeam<BrowseForFolderFunction> picker{g_pfnShowFolderPicker, &FakePicker};
};

TEST_F(FolderChoiceTest, CancelOrAnItemWithoutAPathChangesNothing)
{
    const std::string folder = WideToAnsi(dlg->m_strFolder).str();
    const std::string title = WindowText(Main());
    Choose(Answer::Cancel);
    Choose(Answer::VirtualItem);
    EXPECT_EQ(2, g_script.calls);
    EXPECT_EQ(folder, WideToAnsi(dlg->m_strFolder).str());
    EXPECT_EQ(title, WindowText(Main()));
}

TEST_F(FolderChoiceTest, ADriveRootIsStoredWithoutItsBackslash)
{
    Choose(Answer::Folder, "Z:\\");
    EXPECT_EQ("Z:", WideToAnsi(dlg->m_strFolder).str());
    EXPECT_EQ("Z:\\ - Lirvan", WindowText(Main()));

    Choose(Answer::Folder, "C:\\windows\\system32");
    EXPECT_EQ("C:\\windows\\system32", WideToAnsi(dlg->m_strFolder).str());
    EXPECT_EQ("C:\\windows\\system32\\ - Lirvan", WindowText(Main()));
}

TEST_F(FolderChoiceTest, AFolderEndingIn表KeepsItsWholeName)
{
    TempTree tree;
    const std::string folder = tree.Folder("資料表");
    Choose(Answer::Folder, folder);
    EXPECT_EQ(folder, WideToAnsi(dlg->m_strFolder).str());
    EXPECT_EQ(folder + "\\ - Lirvan", WindowText(Main()));
}

TEST_F(FolderChoiceTest, AFolderBeyondTheCodePageIsChosenAndSurveyedExactly)
{
    ComScope com;
    TempTree tree;
    const std::wstring folder = Wide(tree.Root()) + L"\\Zo\u00eb \u2122";
    ASSERT_TRUE(MakeFolderW(folder));
    ASSERT_HRESULT_SUCCEEDED(MakeLinkW(folder + L"\\a.lnk", L"C:\\windows\\notepad.exe", L"", L""));
    Choose(Answer::Folder, folder);
    EXPECT_EQ(folder, dlg->m_strFolder.str());
    WCHAR title[512] = {};
    ::GetWindowTextW(Main(), title, 512);
    EXPECT_EQ(folder + L"\\ - Lirvan", title);
    Command(ID_TOOL_SCAN);
    ASSERT_TRUE(WaitSurveyEnded());
    ASSERT_EQ(1, RowCount());
    EXPECT_EQ(folder + L"\\a.lnk", dlg->m_listCtrl.GetItemTextW(0, 0).str());
}

TEST_F(FolderChoiceTest, ThePickerOpensOnTheCurrentFolderWithItsTitleAndFlags)
{
    Choose(Answer::Folder, "Z:\\");
    Choose(Answer::Cancel);
    EXPECT_EQ(Main(), g_script.seen.hwndOwner);
    EXPECT_EQ(nullptr, g_script.seen.pidlRoot);
    EXPECT_EQ(nullptr, g_script.seen.pszDisplayName);
    EXPECT_EQ(3u, g_script.seen.ulFlags);
    EXPECT_EQ("指定したフォルダ以下を全て検索します", g_script.title);
    // Handed over exactly as stored, drive letter and colon.
    EXPECT_EQ("Z:", g_script.preselected);
    EXPECT_EQ(static_cast<WPARAM>(TRUE), g_script.preselectedIsPath);
}

TEST(RemoveTrailingBackslash, RemovesOneBackslashCharacterAtMost)
{
    EXPECT_EQ(L"D:", RemoveTrailingBackslash(L"D:\\").str());
    EXPECT_EQ(L"D:\\Data", RemoveTrailingBackslash(L"D:\\Data").str());
    EXPECT_EQ(L"D:\\", RemoveTrailingBackslash(L"D:\\\\").str());
    EXPECT_EQ(L"C:\\資料表", RemoveTrailingBackslash(L"C:\\資料表").str());  // 表 ends in byte 0x5C in Shift-JIS
    EXPECT_EQ(L"", RemoveTrailingBackslash(L"").str());
}

TEST_F(FolderChoiceTest, ChoosingDuringASurveyRetitlesAtOnceAndTheSurveyKeepsItsFolder)
{
    ComScope com;
    TempTree surveyed;
    const int links = 4;
    for (int i = 0; i < links; ++i) {
        ASSERT_HRESULT_SUCCEEDED(MakeLink(surveyed.Path("l" + std::to_string(i) + ".lnk"), LinkSpec()));
    }
    TempTree other;
    SurveyHold hold(2);
    StartSurvey(surveyed.Root());
    ASSERT_TRUE(hold.WaitHeld());
    ASSERT_TRUE(PumpUntil([this] { return RowCount() == 1; }));
    ASSERT_TRUE(IsBusy());

    Choose(Answer::Folder, other.Root());
    EXPECT_EQ(other.Root() + "\\ - Lirvan", WindowText(Main()));
    EXPECT_TRUE(IsBusy()) << "the survey should still run";
    hold.Release();

    ASSERT_TRUE(WaitSurveyEnded());
    EXPECT_EQ(links, RowCount());
    for (int row = 0; row < RowCount(); ++row) {
        EXPECT_EQ(0u, Cell(row, 0).rfind(surveyed.Root(), 0)) << Cell(row, 0);
    }
    EXPECT_EQ(other.Root(), WideToAnsi(dlg->m_strFolder).str());
}
