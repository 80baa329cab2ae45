// Surveys of generated folder trees through the real start command.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <vector>

#include "res/resource.h"
#include "support/LinkFiles.h"
#include "support/MainWindowFixture.h"
#include "support/Seam.h"
#include "support/SurveyHold.h"
#include "edit/ShellActions.h"
#include "survey/FolderChoice.h"
#include "survey/HotkeyNames.h"
#include "survey/LinkReaderDriver.h"
#include "survey/LinkReaderPool.h"
#include "survey/LinkReaderProtocol.h"
#include "survey/ShellLink.h"
#include "survey/TargetCheck.h"
#include "survey/UnreadFilesDlg.h"

class SurveyTest : public MainWindowTest {
protected:
    std::string Status() const { return WindowText(::GetDlgItem(Main(), IDC_STATUS_BAR)); }
    DWORD ItemData(int row) const { return static_cast<DWORD>(dlg->m_listCtrl.GetItemData(row)); }

    // The row of a link file holds what the service reads from it, resolved or as stored.
    int ExpectListedAsTheServiceReadsIt(const std::wstring& path, bool resolved)
    {
        const std::string name = Utf8(WideToAnsi(path.c_str()).str());
        int row = RowCount() - 1;
        while (row >= 0 && dlg->m_listCtrl.GetItemTextW(row, 0).str() != path) --row;
        EXPECT_GE(row, 0) << name << " is not listed";
        const ServiceReading read = ReadWithService(path, resolved);
        EXPECT_HRESULT_SUCCEEDED(read.status) << name;
        if (row < 0 || FAILED(read.status)) return row;
        EXPECT_EQ(read.target, dlg->m_listCtrl.GetItemTextW(row, 1).str()) << name;
        EXPECT_EQ(read.arguments, dlg->m_listCtrl.GetItemTextW(row, 2).str()) << name;
        EXPECT_EQ(read.workDir, dlg->m_listCtrl.GetItemTextW(row, 3).str()) << name;
        EXPECT_EQ(HotkeyToText(read.hotkey).str(), Cell(row, 4)) << name;
        EXPECT_EQ(ShowCmdName(read.showCmd), Cell(row, 5)) << name;
        EXPECT_EQ(read.iconPath, dlg->m_listCtrl.GetItemTextW(row, 6).str()) << name;
        EXPECT_EQ(std::to_string(read.iconIndex < 0 ? 0 : read.iconIndex), Cell(row, 7)) << name;
        EXPECT_EQ(DWORD(read.hotkey), ItemData(row)) << name;
        return row;
    }

    ComScope com;
    TempTree tree;
};

TEST_F(SurveyTest, ListsEveryReadableLinkInWalkOrderWithItsCells)
{
    const LinkSpec full = {kNotepad, "/a,/b", "C:\\windows\\temp", 0x0641, SW_SHOWNORMAL, kShell32, 5};
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("full.lnk"), full));
    LinkSpec negative;
    negative.iconIndex = -1;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("negative.lnk"), negative));
    for (const char* name : {"readme.LNK", "App.Pif", ".lnk", "x.lnk2", "lnk", "x.lnk.txt"}) {
        ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path(name), LinkSpec())) << name;
    }
    tree.Folder("tools.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("tools.lnk\\inner.lnk"), LinkSpec()));
    const std::string hidden = tree.Folder("hidden");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("hidden\\secret.lnk"), LinkSpec()));
    ::SetFileAttributesA(tree.Path("hidden\\secret.lnk").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    // 表 is 0x95 0x5C in Shift-JIS: its second byte is no path separator.
    tree.Folder("表");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("表\\表.lnk"), LinkSpec()));
    WriteTextFile(tree.Path("invalid.lnk"), "not a link");
    tree.Folder("empty");

    std::vector<std::string> expected = tree.Links();
    expected.erase(std::find(expected.begin(), expected.end(), tree.Path("invalid.lnk")));
    ASSERT_EQ(8u, expected.size());

    Survey(tree.Root());
    EXPECT_EQ(expected, Column(0));

    // The run size is what the service reports after loading.
    const struct { TableRow cells; DWORD data; } rows[] = {
        {{tree.Path("full.lnk"), kNotepad, "/a,/b", "C:\\windows\\temp", "Ctrl + Alt + A", "通常のウィンドウ", kShell32, "5"}, 0x0641},
        {{tree.Path("negative.lnk"), kNotepad, "", "", "なし", "通常のウィンドウ", "", "0"}, 0}};
    for (const auto& expectedRow : rows) {
        const int row = RowOf(expectedRow.cells[0]);
        ASSERT_GE(row, 0) << expectedRow.cells[0];
        EXPECT_EQ(expectedRow.cells, Row(row));
        EXPECT_EQ(expectedRow.data, ItemData(row));
    }

    EXPECT_GE(RowOf(tree.Path("表\\表.lnk")), 0) << "a path with 表 was not reported whole";
}

TEST_F(SurveyTest, EmptyOrMissingFoldersGiveAnEmptyTableAndLeaveTheBusyState)
{
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("one.lnk"), LinkSpec()));
    Survey(tree.Root());
    ASSERT_EQ(1, RowCount());

    for (const std::string& folder : {tree.Folder("empty"), tree.Path("missing")}) {
        Survey(folder);
        EXPECT_EQ(0, RowCount()) << folder;
        EXPECT_EQ(static_cast<UINT>(MF_ENABLED), MenuState(Menu(), ID_FILE_EXIT));
    }
}

TEST_F(SurveyTest, ASecondSurveyStartsFromAnEmptyTableAndNoUnreadFiles)
{
    for (const char* name : {"a.lnk", "b.lnk", "c.pif"}) {
        ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path(name), LinkSpec()));
    }
    WriteTextFile(tree.Path("text.lnk"), "text");
    Survey(tree.Root());
    ASSERT_EQ(3, RowCount());
    EXPECT_EQ("リンク 3 個、読み込めなかったファイル 1 個", Status());
    EXPECT_EQ(UINT(MF_ENABLED), MenuState(Menu(), ID_TOOL_UNREAD_FILES));
    ASSERT_TRUE(::DeleteFileA(tree.Path("text.lnk").c_str()));
    Survey(tree.Root());
    EXPECT_EQ(3, RowCount());
    EXPECT_EQ("リンク 3 個", Status());
    EXPECT_EQ(UINT(MF_GRAYED), MenuState(Menu(), ID_TOOL_UNREAD_FILES)) << "the last survey's list is gone";
}

TEST_F(SurveyTest, WhileRunningTheWindowIsBusyF5IsIgnoredAndEscStopsItAtOnceAlsoWhileAReaderHangs)
{
    const int total = 8;
    tree.Folder("many");
    for (int i = 0; i < total - 1; ++i) {
        ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("many\\link" + std::to_string(i) + ".lnk"), LinkSpec()));
    }
    WriteTextFile(tree.Path("many\\hangs.lnk"), LinkWithTinyItems(FileBytesW(RealLinksFolder() + L"\\ez-winxp-Calculator.lnk"), 24, 0x42));
    std::vector<std::string> walk = tree.Links();
    const int hangs = static_cast<int>(std::find(walk.begin(), walk.end(), tree.Path("many\\hangs.lnk")) - walk.begin());
    // One reader reads the links before the one that hangs, then hangs; the
    // walk finds none after it.
    ScopedSeam<DWORD> limit(g_dwReadTimeLimitMs, 60000);
    ScopedSeam<int> oneReader(g_nLinkReaders, 1);
    SurveyHold hold(hangs + 2);
    StartSurvey(tree.Root());
    ASSERT_TRUE(hangs + 1 == total || hold.WaitHeld());
    ASSERT_TRUE(PumpUntil([&] { return RowCount() == hangs && ReadersRunning() == 1; }, 30000));

    EXPECT_TRUE(IsBusy());
    for (UINT command : {ID_TOOL_SCAN, ID_FILE_SAVE_CSV, ID_FILE_COPY_CSV, ID_FILE_EXIT, ID_TOOL_UNREAD_FILES}) {
        EXPECT_EQ(static_cast<UINT>(MF_GRAYED), MenuState(Menu(), command)) << command;
    }
    EXPECT_EQ("調査中... リンク " + std::to_string(RowCount()) + " 個", Status());
    for (UINT command : {ID_FILE_VIEW_LIST, ID_TOOL_FIT_WINDOW, ID_TOOL_FONT, ID_HELP_ABOUT}) {
        EXPECT_EQ(static_cast<UINT>(MF_ENABLED), MenuState(Menu(), command)) << command;
    }

    PressKey(List(), VK_F5);  // greyed: would empty the table if delivered
    EXPECT_EQ(hangs, RowCount());

    const DWORD escaped = ::GetTickCount();
    PressKey(List(), VK_ESCAPE);
    ASSERT_TRUE(WaitSurveyEnded(1000)) << "Esc did not end the survey within a second";
    EXPECT_LT(::GetTickCount() - escaped, 1000u);
    hold.Release();
    // The rows read before the stop, in walk order, and no later one.
    walk.resize(static_cast<size_t>(hangs));
    EXPECT_EQ(walk, Column(0));
    PumpPending();
    EXPECT_EQ(hangs, RowCount()) << "rows arrived after the survey ended";
    EXPECT_TRUE(PumpUntil([&] { return ReadersRunning() == 0; }, 5000)) << "the reader that hangs was not ended";
    // Read or not, no link file is held once the survey has ended.
    for (const std::string& path : walk) {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, file) << path << " is still held";
        ::CloseHandle(file);
    }
    EXPECT_EQ("リンク " + std::to_string(hangs) + " 個", Status());
}

TEST_F(SurveyTest, NamesBeyondTheCodePageAndDeepFoldersAreListedWithTheirExactTexts)
{
    const std::wstring root = Wide(tree.Root());
    const std::wstring zoe = root + L"\\Zo\u00eb \u2122";
    ASSERT_TRUE(MakeFolderW(zoe));
    const std::wstring cafe = zoe + L"\\Caf\u00e9 \u00ae \u30c6\u30b9\u30c8.lnk";
    const std::wstring arguments = L"--name=Zo\u00eb \u2122";
    const std::wstring icon = zoe + L"\\app.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLinkW(cafe, L"C:\\windows\\notepad.exe", arguments, icon));
    // Nine folders of 35 characters, as installers nest them.
    std::wstring deep = root;
    for (int i = 0; i < 9; ++i) {
        deep += L"\\" + std::wstring(34, static_cast<WCHAR>(L'a' + i)) + L"\u00e9";
        ASSERT_TRUE(MakeFolderW(deep));
    }
    const std::wstring deepLink = deep + L"\\deep.lnk";
    ASSERT_GT(deepLink.size(), 300u);
    ASSERT_HRESULT_SUCCEEDED(MakeLinkW(deepLink, L"C:\\windows\\notepad.exe", L"/deep", L""));
    ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("表.lnk"), LinkSpec()));

    Survey(tree.Root());
    ASSERT_EQ(3, RowCount());
    auto rowOf = [this](const std::wstring& path) {
        for (int row = 0; row < RowCount(); ++row) if (dlg->m_listCtrl.GetItemTextW(row, 0).str() == path) return row;
        return -1;
    };
    const int cafeRow = rowOf(cafe);
    ASSERT_GE(cafeRow, 0) << "the link beyond the code page is missing";
    EXPECT_EQ(arguments, dlg->m_listCtrl.GetItemTextW(cafeRow, 2).str());
    EXPECT_EQ(icon, dlg->m_listCtrl.GetItemTextW(cafeRow, 6).str());
    const int deepRow = rowOf(deepLink);
    ASSERT_GE(deepRow, 0) << "the deep link is missing";
    EXPECT_EQ(L"/deep", dlg->m_listCtrl.GetItemTextW(deepRow, 2).str());
    // Code-page texts read as before.
    const int plain = RowOf(tree.Path("表.lnk"));
    ASSERT_GE(plain, 0);
    EXPECT_EQ("C:\\windows\\notepad.exe", Cell(plain, 1));
    EXPECT_EQ("なし", Cell(plain, 4));
}

namespace {
const COLORREF kUnmarked = RGB(1, 2, 3);
const COLORREF kClash = RGB(0xB0, 0x00, 0x00);
std::vector<std::wstring> g_askedPaths;
bool RecordExists(const WCHAR* path)
{
    g_askedPaths.push_back(path);
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}
HRESULT RecordShellPath(HWND, const WCHAR* path)
{
    g_askedPaths.push_back(path);
    return S_OK;
}
std::wstring g_pickedFolder;
LPITEMIDLIST WINAPI PickFolder(LPBROWSEINFOW)
{
    LPITEMIDLIST chosen = nullptr;
    ::SHParseDisplayName(g_pickedFolder.c_str(), nullptr, &chosen, 0, nullptr);
    return chosen;
}
}  // namespace

TEST_F(SurveyTest, SharedKeysAndMissingTargetsAreMarkedAndTheRowCommandsActOnTheSelectedRow)
{
    const std::string gone = tree.Path("gone.exe");
    WriteTextFile(gone, "MZ");
    LinkSpec sample;
    struct Case { const char* name; std::string target; WORD hotkey; COLORREF colour; } cases[] = {
        {"shared1.lnk", "C:\\windows\\notepad.exe", 0x0641, kClash},
        {"shared2.lnk", "C:\\windows\\regedit.exe", 0x0641, kClash},
        {"sharedgone.lnk", gone, 0x0641, kClash},  // both: the warning wins
        {"gone.lnk", gone, 0, ::GetSysColor(COLOR_GRAYTEXT)},
        {"unique.lnk", "C:\\windows\\notepad.exe", 0x0642, kUnmarked},
        {"empty.lnk", "", 0, kUnmarked},
    };
    for (const Case& c : cases) {
        sample.target = c.target;
        sample.hotkey = c.hotkey;
        ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path(c.name), sample)) << c.name;
    }
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));

    Survey(tree.Root());
    ASSERT_EQ(6, RowCount());
    for (const Case& c : cases) {
        const int row = RowOf(tree.Path(c.name));
        ASSERT_GE(row, 0) << c.name;
        EXPECT_EQ(c.colour, DrawnTextColour(Main(), List(), row)) << c.name;
    }
    NMCUSTOMDRAW paint = {};
    paint.hdr = {List(), 1000, static_cast<UINT>(NM_CUSTOMDRAW)};
    paint.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(LRESULT(CDRF_NOTIFYITEMDRAW), ::SendMessageA(Main(), WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&paint)))
        << "the list is never asked about its rows";

    // The shell is handed the link's path, or its target where there is one to open.
    ScopedSeam<ShellPathFunction> folders(g_pfnShowInFolder, &RecordShellPath);
    ScopedSeam<ShellPathFunction> properties(g_pfnShowProperties, &RecordShellPath);
    HMENU menus = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ROW_MENU));
    ASSERT_NE(nullptr, menus);
    for (const char* name : {"shared1.lnk", "gone.lnk", "empty.lnk"}) {
        const int row = RowOf(tree.Path(name));
        SelectRow(List(), row);
        const bool openable = std::strcmp(name, "shared1.lnk") == 0;
        dlg->UpdateRowMenu(::GetSubMenu(menus, 0), row);
        EXPECT_EQ(openable ? MF_ENABLED : MF_GRAYED, MenuState(::GetSubMenu(menus, 0), ID_ROW_OPEN_TARGET_FOLDER)) << name;
        g_askedPaths.clear();
        for (UINT command : {ID_ROW_OPEN_LINK_FOLDER, ID_ROW_OPEN_TARGET_FOLDER, ID_ROW_PROPERTIES}) Command(command);
        const std::wstring path = Wide(tree.Path(name));
        std::vector<std::wstring> expected = {path, path};
        if (openable) expected.insert(expected.begin() + 1, L"C:\\windows\\notepad.exe");
        EXPECT_EQ(expected, g_askedPaths) << name;
        PressKey(List(), 'C', false, true);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * 2),
                  ReadClipboard(CF_UNICODETEXT).bytes) << name;
    }
    ::DestroyMenu(menus);

    // Into the Recycle Bin only after an OK, Cancel being the default; the marks follow.
    for (const char* name : {"shared2.lnk", "sharedgone.lnk"}) {
        for (int button : {IDCANCEL, IDOK}) {
            SelectRow(List(), RowOf(tree.Path(name)));
            const auto boxes = Answering([this] { PressKey(List(), VK_DELETE); }, {button});
            ASSERT_EQ(1u, boxes.size()) << name;
            EXPECT_NE(std::string::npos, boxes[0].text.find(tree.Path(name))) << Utf8(boxes[0].text);
            EXPECT_EQ(IDCANCEL, boxes[0].defaultButton);
            PumpPending();
            EXPECT_EQ(button == IDCANCEL, ::GetFileAttributesA(tree.Path(name).c_str()) != INVALID_FILE_ATTRIBUTES);
            EXPECT_EQ(button == IDCANCEL, RowOf(tree.Path(name)) >= 0) << name;
        }
    }
    EXPECT_EQ(4, RowCount());
    EXPECT_EQ(kUnmarked, DrawnTextColour(Main(), List(), RowOf(tree.Path("shared1.lnk"))));
    EXPECT_NE(std::string::npos, Status().find(" 4 "));
}

TEST_F(SurveyTest, TheStartMenuAndTheDesktopAreSurveyedTogetherAndF5RepeatsWhatTheTitleNames)
{
    // The system's own names for the four folders; a link beside them is not theirs.
    std::vector<std::string> links;
    for (int folder : {CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        char path[MAX_PATH] = {};
        ASSERT_HRESULT_SUCCEEDED(::SHGetFolderPathA(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, 0, path));
        ASSERT_EQ(0u, ::GetFileAttributesA(path) & FILE_ATTRIBUTE_REPARSE_POINT) << path << " leads elsewhere";
        links.push_back(std::string(path) + "\\lirvan-test-" + std::to_string(links.size()) + ".lnk");
    }
    const std::string beside = links[0].substr(0, links[0].rfind("\\Start Menu")) + "\\lirvan-test-beside.lnk";
    for (const std::string& link : links) ASSERT_HRESULT_SUCCEEDED(MakeLink(link, LinkSpec())) << link;
    ASSERT_HRESULT_SUCCEEDED(MakeLink(beside, LinkSpec()));

    HMENU tools = ::GetSubMenu(Menu(), 1);
    EXPECT_EQ(UINT(ID_TOOL_SCAN_START_MENU), ::GetMenuItemID(tools, ::GetMenuItemCount(tools) - 1));
    const std::string title = "スタートメニューとデスクトップ - Lirvan";
    for (UINT command : {UINT(ID_TOOL_SCAN_START_MENU), UINT(ID_TOOL_SCAN)}) {
        Command(command);
        ASSERT_TRUE(WaitSurveyEnded());
        // Whatever else the folders hold, nothing from beside them, and ours in their order.
        std::vector<std::string> ours;
        for (const std::string& path : Column(0)) {
            EXPECT_TRUE(std::any_of(links.begin(), links.end(), [&](const std::string& link) {
                return path.compare(0, link.rfind('\\') + 1, link, 0, link.rfind('\\') + 1) == 0;
            })) << Utf8(path);
            if (path.find("lirvan-test-") != std::string::npos) ours.push_back(path);
        }
        EXPECT_EQ(links, ours);
        EXPECT_EQ(Utf8(title), Utf8(WindowText(Main())));
    }
    // A chosen folder is what F5 surveys from then on.
    g_pickedFolder = Wide(tree.Root());
    ScopedSeam<BrowseForFolderFunction> picker(g_pfnShowFolderPicker, &PickFolder);
    Command(ID_TOOL_SELECT_FOLDER);
    PressKey(List(), VK_F5);
    ASSERT_TRUE(WaitSurveyEnded());
    EXPECT_EQ(0, RowCount());
    for (const std::string& link : links) ::DeleteFileA(link.c_str());
    ::DeleteFileA(beside.c_str());
}

TEST(TargetCheck, OnlyLocalPathsAreAskedAndANetworkPathNeverIs)
{
    ScopedSeam<PathExistsFunction> seam(g_pfnPathExists, &RecordExists);
    CTargetCheck check;
    struct Case { const WCHAR* target; bool missing; bool asked; } cases[] = {
        {L"C:\\windows\\notepad.exe", false, true},
        {L"C:\\windows\\no such file.exe", true, true},
        {L"", false, false},
        {L"\\\\server\\share\\app.exe", false, false},
        {L"\\\\?\\UNC\\server\\share\\app.exe", false, false},
        {L"notepad.exe", false, false},
    };
    for (const Case& c : cases) {
        g_askedPaths.clear();
        EXPECT_EQ(c.missing, check.IsMissing(c.target)) << Utf8(WideToAnsi(c.target).str());
        EXPECT_EQ(c.asked, !g_askedPaths.empty()) << Utf8(WideToAnsi(c.target).str());
    }
}

namespace {
using Bytes = std::vector<unsigned char>;
void Put32(Bytes& b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}
uint32_t Get32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; }
Bytes Inserted(Bytes b, size_t at, const Bytes& more)
{
    b.insert(b.begin() + static_cast<ptrdiff_t>(at), more.begin(), more.end());
    return b;
}
Bytes Block(uint32_t size)
{
    Bytes block(size < 8 ? 8 : size);
    Put32(block, 0, size);
    Put32(block, 4, 0xA0000099);  // a kind the service does not know
    return block;
}
Bytes Repeated(const Bytes& part, int times)
{
    Bytes all;
    for (int i = 0; i < times; ++i) all.insert(all.end(), part.begin(), part.end());
    return all;
}
// Where the link information, the last extra block and the terminal block start.
struct LinkParts {
    size_t linkInfo = 0, lastBlock = 0, terminal = 0;
};
LinkParts PartsOf(const Bytes& b)
{
    LinkParts part;
    const uint32_t flags = Get32(b, 0x14);
    size_t at = 0x4C;
    if (flags & 0x1) at += 2 + (b[at] | b[at + 1] << 8);
    part.linkInfo = at;
    if (flags & 0x2) at += Get32(b, at);
    for (uint32_t flag = 0x4; flag <= 0x40; flag <<= 1) {
        if (flags & flag) at += 2 + (b[at] | b[at + 1] << 8) * ((flags & 0x80) ? 2 : 1);
    }
    for (; Get32(b, at) >= 8; at += Get32(b, at)) part.lastBlock = at;
    part.terminal = at;
    return part;
}
SIZE_T PeakMemory()
{
    PROCESS_MEMORY_COUNTERS counters = {sizeof counters};
    return ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}
}  // namespace

TEST_F(SurveyTest, RealLinksAndHarmlessDamageAreListedWithTheServicesFields)
{
    const std::wstring root = Wide(tree.Root()), samples = RealLinksFolder();
    std::vector<std::wstring> listed;
    for (const std::wstring& name : NamesInW(samples)) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, L".lnk") != 0) continue;
        listed.push_back(root + L"\\" + name);
        ASSERT_TRUE(::CopyFileW((samples + L"\\" + name).c_str(), listed.back().c_str(), FALSE));
    }
    ASSERT_EQ(35u, listed.size());
    const Bytes base = FileBytesW(samples + L"\\ez-winxp-Calculator.lnk");
    const LinkParts part = PartsOf(base);
    const uint32_t volume = part.linkInfo + Get32(base, part.linkInfo + 0x0C);
    // Damage the service reads without harm is listed; what crashes it or takes
    // gigabytes of it ends a reader, and the survey goes on and says why (reason: not listed).
    const std::string notALink = "リンクファイルではありません", damaged = "壊れています: ";
    struct Damage { const char* name; Bytes bytes; std::string reason; } cases[] = {
        {"bytes after the terminal block", Inserted(base, base.size(), Bytes(65536, 'A')), ""},
        {"no terminal block", Bytes(base.begin(), base.begin() + part.terminal), ""},
        {"an end inside the last extra block", Bytes(base.begin(), base.begin() + part.lastBlock + 10), ""},
        {"300 extra blocks", Inserted(base, part.terminal, Repeated(Block(12), 300)), ""},
        {"an extra block of 8 MiB", Inserted(base, part.terminal, Block(8 << 20)), ""},
        {"an extra block of 6 bytes", Inserted(base, part.terminal, Block(6)), ""},
        {"a volume label offset out of range", [&] { Bytes b = base; Put32(b, volume + 0x0C, 0xFFFFFF); return b; }(), ""},
        {"2,000 tiny ID-list items", [&] { auto s = LinkWithTinyItems(base, 2000, 0x1F); return Bytes(s.begin(), s.end()); }(), ""},
        {"an item running past its list", [&] { auto s = LinkWithRunawayItem(base); return Bytes(s.begin(), s.end()); }(),
         "シェルリンク サービスが読み込み中に異常終了しました。" + damaged + "リンク先の項目リスト（ID リスト）が正しくありません"},
        {"link information of 2 GB", [&] { Bytes b = base; Put32(b, part.linkInfo, 0x7FFFFFF0); return b; }(),
         "シェルリンク サービスが読み込みにメモリーを使いすぎました。" + damaged + "リンク先の場所の情報がファイルに収まっていません"},
        {"a text file", Bytes{'n', 'o', ' ', 'l', 'i', 'n', 'k'}, notALink},
        {"an empty file", Bytes(), notALink},
        {"a link held open by another program", base, "開けませんでした: "},
    };
    std::map<std::wstring, std::wstring> unread;
    HANDLE held = INVALID_HANDLE_VALUE;
    int n = 0;
    for (const Damage& c : cases) {
        const std::wstring path = root + L"\\damage" + std::to_wstring(++n) + L".lnk";
        WriteTextFile(WideToAnsi(path.c_str()).str(), std::string(c.bytes.begin(), c.bytes.end()));
        if (c.reason.empty()) listed.push_back(path);
        else unread[path] = AnsiToWide(c.reason.c_str()).str();
        if (&c == &cases[std::size(cases) - 1]) {
            held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        }
    }
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    // Texts far longer than a path, in full.
    const std::wstring longText(40000, L'x');
    listed.push_back(root + L"\\long.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLinkW(listed.back(), L"C:\\windows\\notepad.exe", longText, L"C:\\" + longText));

    Survey(tree.Root());
    ::CloseHandle(held);
    EXPECT_EQ(static_cast<int>(listed.size()), RowCount());
    // Each file passed over once, with its reason; the system's words for one not opened.
    for (const UnreadFile& file : dlg->UnreadFiles()) {
        const std::wstring reason = UnreadReason(file).str();
        auto expected = unread.find(file.strPath.str());
        ASSERT_NE(unread.end(), expected) << Utf8(WideToAnsi(file.strPath).str()) << " is not listed";
        const std::wstring& want = expected->second;
        const bool messageFollows = want.back() == L' ';
        EXPECT_EQ(want, messageFollows ? reason.substr(0, want.size()) : reason);
        if (messageFollows) EXPECT_GT(reason.size(), want.size()) << "without the system's message";
        unread.erase(expected);
    }
    EXPECT_TRUE(unread.empty()) << unread.size() << " files passed over silently";
    EXPECT_EQ("リンク " + std::to_string(listed.size()) + " 個、読み込めなかったファイル 5 個", Status());
    EXPECT_EQ(UINT(MF_ENABLED), MenuState(Menu(), ID_TOOL_UNREAD_FILES));
    EXPECT_LT(PeakMemory(), SIZE_T(100) << 20) << "the service was handed an absurd size";
    for (const std::wstring& path : listed) ExpectListedAsTheServiceReadsIt(path, true);
}


TEST_F(SurveyTest, LinksThatHangOrCrashTheServiceEndOnlyTheirReaderAndAFolderLoopIsWalkedOnce)
{
    const DWORD limit = 1500;
    ScopedSeam<DWORD> shortLimit(g_dwReadTimeLimitMs, limit);
    const Bytes base = FileBytesW(RealLinksFolder() + L"\\ez-winxp-Calculator.lnk");
    enum Kind { kListed, kGreyed, kCrashed };
    const struct Case { const char* name; std::string bytes; Kind kind; } cases[] = {
        {"calculator.lnk", std::string(base.begin(), base.end()), kListed},
        {"hangs24.lnk", LinkWithTinyItems(base, 24, 0x42), kGreyed},  // their Resolve never returns
        {"hangs100.lnk", LinkWithTinyItems(base, 100, 0x41), kGreyed},
        {"crashes.lnk", LinkWithRunawayItem(base), kCrashed},
    };
    for (const Case& c : cases) WriteTextFile(tree.Path(c.name), c.bytes);
    for (int i = 0; i < 6; ++i) ASSERT_HRESULT_SUCCEEDED(MakeLink(tree.Path("good" + std::to_string(i) + ".lnk"), LinkSpec()));
    // A folder with two links to itself: its one link gives one row, and the survey ends.
    const std::string loop = tree.Folder("loop");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(loop + "\\inner.lnk", LinkSpec()));
    ASSERT_TRUE(MakeFolderLink(loop + "\\a", loop));
    ASSERT_TRUE(MakeFolderLink(loop + "\\b", loop));

    const DWORD start = ::GetTickCount();
    Survey(tree.Root());
    // Both links that hang may fall to one reader, one after the other.
    EXPECT_LT(::GetTickCount() - start, 2 * limit + 5000);
    std::vector<std::string> walk = tree.Links();
    walk.erase(std::find(walk.begin(), walk.end(), tree.Path("crashes.lnk")));
    EXPECT_EQ(walk, Column(0));
    for (const std::string& path : walk) {
        const bool hangs = std::any_of(std::begin(cases), std::end(cases),
                                       [&](const Case& c) { return c.kind == kGreyed && tree.Path(c.name) == path; });
        // What a link that hangs stores, greyed.
        const int row = ExpectListedAsTheServiceReadsIt(Wide(path), !hangs);
        if (hangs && row >= 0) EXPECT_EQ(::GetSysColor(COLOR_GRAYTEXT), DrawnTextColour(Main(), List(), row)) << path;
    }
    ASSERT_EQ(1u, dlg->UnreadFiles().size());
    EXPECT_EQ(Wide(tree.Path("crashes.lnk")), dlg->UnreadFiles()[0].strPath.str());
    EXPECT_EQ(ReadFailure::kCrashed, dlg->UnreadFiles()[0].failure);
    // What the structure check finds says why.
    EXPECT_EQ("シェルリンク サービスが読み込み中に異常終了しました。壊れています: リンク先の項目リスト（ID リスト）が正しくありません",
              WideToAnsi(UnreadReason(dlg->UnreadFiles()[0])).str());
    // The readers that were ended are gone; the others end with the program.
    EXPECT_LE(ReadersRunning(), CLinkReaderPool().ReaderCount());
    theApp.m_pMainWnd = nullptr;
    dlg.reset();
    EXPECT_TRUE(PumpUntil([] { return ReadersRunning() == 0; }, 5000)) << ReadersRunning() << " readers left";
}

TEST(LinkReaderProtocol, MessagesComeWholeOrNotAtAllAndBadLengthsAreRefused)
{
    LinkBatch batch;
    batch.owner = reinterpret_cast<HWND>(0x1234);
    batch.links = {{L"C:\\a\\Zo\u00eb.lnk", ReadMode::kFull}, {std::wstring(40000, L'x'), ReadMode::kStoredOnly}};
    LinkRecord record;
    record.hrStatus = S_FALSE;
    record.row.data = 0x0641;
    record.row.bTargetMissing = true;
    for (int cell = 1; cell < 8; ++cell) record.row.cells[cell] = std::wstring(static_cast<size_t>(cell), L'\u30c6');
    std::vector<BYTE> bytes;
    AppendBatch(&bytes, batch);
    const size_t batchEnd = bytes.size();
    AppendRecord(&bytes, record);

    LinkBatch batchBack;
    EXPECT_EQ(0u, TakeBatch(bytes.data(), batchEnd - 1, &batchBack)) << "a part of a message";
    ASSERT_EQ(batchEnd, TakeBatch(bytes.data(), bytes.size(), &batchBack));
    EXPECT_EQ(batch.owner, batchBack.owner);
    ASSERT_EQ(2u, batchBack.links.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(batch.links[i].strPath.str(), batchBack.links[i].strPath.str());
        EXPECT_EQ(batch.links[i].mode, batchBack.links[i].mode);
    }
    LinkRecord recordBack;
    ASSERT_EQ(bytes.size() - batchEnd, TakeRecord(bytes.data() + batchEnd, bytes.size() - batchEnd, &recordBack));
    EXPECT_EQ(S_FALSE, recordBack.hrStatus);
    EXPECT_EQ(0x0641u, recordBack.row.data);
    EXPECT_TRUE(recordBack.row.bTargetMissing);
    for (int cell = 1; cell < 8; ++cell) EXPECT_EQ(record.row.cells[cell].str(), recordBack.row.cells[cell].str());

    // A length shorter than itself, longer than any message, or one that ends inside a text.
    for (uint32_t length : {2u, kMostMessageBytes + 1, 24u}) {
        std::vector<BYTE> bad(bytes.begin() + batchEnd, bytes.end());
        std::memcpy(bad.data(), &length, sizeof length);
        EXPECT_EQ(kMalformed, TakeRecord(bad.data(), bad.size(), &recordBack)) << length;
    }
}
