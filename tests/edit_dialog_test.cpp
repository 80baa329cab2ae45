// Editing a row: the real edit dialog, opened by a double-click notification and
// driven from a second thread the way a user would drive it.
#include <gtest/gtest.h>

#include "edit/LinkEditDlg.h"
#include "res/resource.h"
#include "support/LinkFiles.h"
#include "survey/ShellLink.h"
#include "support/MainWindowFixture.h"

namespace {
const char kCaption[] = "情報更新";

std::string Text(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

void Press(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Sets the icon index the way the up-down control does: its buddy's text changes.
void SetIndexText(HWND dialog, const char* text) { ::SendDlgItemMessageA(dialog, IDC_ICON_INDEX, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

// The width of an icon's picture in pixels, 0 for no icon.
int IconWidth(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

struct Opened {
    std::string fields[5];
    int previewWidth = 0;
    LRESULT hotkey = 0;
    LRESULT runSize = 0;
    std::string index;
    DWORD range = 0;
};

Opened ReadDialog(HWND dialog)
{
    Opened o;
    const int ids[5] = {IDC_LINK_PATH, IDC_TARGET, IDC_ARGUMENTS, IDC_WORKDIR, IDC_ICON_PATH};
    for (int i = 0; i < 5; ++i) o.fields[i] = Text(dialog, ids[i]);
    o.hotkey = ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0);
    o.runSize = ::SendDlgItemMessageA(dialog, IDC_SHOWCMD, CB_GETCURSEL, 0, 0);
    o.index = Text(dialog, IDC_ICON_INDEX);
    o.range = static_cast<DWORD>(::SendDlgItemMessageA(dialog, IDC_ICON_SPIN, UDM_GETRANGE, 0, 0));
    o.previewWidth = IconWidth(reinterpret_cast<HICON>(::SendDlgItemMessageA(dialog, IDC_ICON_PREVIEW, STM_GETICON, 0, 0)));
    return o;
}
}  // namespace

class EditTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        link = tree.Path("app.lnk");
        const LinkSpec sample = {kNotepad, "-x,y", "C:\\windows", 0x0641, SW_SHOWNORMAL, kShell32, 3, "説明は残る"};
        ASSERT_HRESULT_SUCCEEDED(MakeLink(link, sample));
        AddTableRow(List(), {link, kNotepad, "-x,y", "C:\\windows", "Ctrl + Alt + A", "非表示", kShell32, "3"}, 0x0641);
    }
    // Double-clicks a row while `steps` drive the edit dialog from another thread;
    // how many edit dialogs opened. One left open is cancelled, not waited for.
    size_t Edit(int row, DialogAnswerer::Steps steps)
    {
        DialogAnswerer editor(kCaption, std::move(steps));
        NMITEMACTIVATE notify = {};
        notify.hdr.hwndFrom = List();
        notify.hdr.idFrom = IDC_LINK_LIST;
        notify.hdr.code = NM_DBLCLK;
        notify.iItem = row;
        ::SendMessageA(Main(), WM_NOTIFY, IDC_LINK_LIST, reinterpret_cast<LPARAM>(&notify));
        PumpPending();
        return editor.Boxes().size();
    }

    ComScope com;
    TempTree tree;
    std::string link;
};

TEST_F(EditTest, OpensFilledFromTheRow)
{
    Opened opened;
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) {
        opened = ReadDialog(dialog);
        Press(dialog, IDCANCEL);
    }));
    EXPECT_EQ(link, opened.fields[0]);
    EXPECT_EQ("C:\\windows\\notepad.exe", opened.fields[1]);
    EXPECT_EQ("-x,y", opened.fields[2]);
    EXPECT_EQ("C:\\windows", opened.fields[3]);
    EXPECT_EQ("C:\\windows\\system32\\shell32.dll", opened.fields[4]);
    EXPECT_EQ(0x0641, opened.hotkey);
    EXPECT_EQ(CB_ERR, opened.runSize) << "a hidden run size opens with nothing chosen";
    EXPECT_EQ("3", opened.index);
    EXPECT_EQ(32, opened.previewWidth) << "the preview shows the icon at its size for 96 DPI";
}

TEST(LoadIconFrom, GivesTheIconAtTheSizeAskedAndTheCountForMinusOne)
{
    for (int size : {32, 48, 64}) {
        HICON icon = CLinkEditDlg::LoadIconFrom(L"C:\\windows\\system32\\shell32.dll", 3, size);
        EXPECT_EQ(size, IconWidth(icon)) << size << " px";
        if (icon) ::DestroyIcon(icon);
    }
    EXPECT_EQ(nullptr, CLinkEditDlg::LoadIconFrom(L"C:\\windows\\win.ini", 0, 48)) << "a file without icons";
    EXPECT_GT(reinterpret_cast<INT_PTR>(CLinkEditDlg::LoadIconFrom(L"C:\\windows\\system32\\shell32.dll", -1)), 3);
}

TEST_F(EditTest, ADoubleClickBelowTheLastRowOpensNothing)
{
    EXPECT_EQ(0u, Edit(-1, nullptr));
    EXPECT_EQ(0u, Edit(5, nullptr));
    EXPECT_EQ(nullptr, ::FindWindowA("#32770", kCaption));
}

TEST_F(EditTest, UpdateWritesTheLinkAndRewritesTheRow)
{
    AddTableRow(List(), {tree.Path("other.lnk"), "t", "", "", "なし", "通常のウィンドウ", "", "0"});
    const auto before = Row(0);
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) {
        ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
        ::SendDlgItemMessageA(dialog, IDC_SHOWCMD, CB_SETCURSEL, 2, 0);
        SetIndexText(dialog, "4");
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(nullptr, ::FindWindowA("#32770", kCaption)) << "the dialog stayed open";

    const auto after = Row(0);
    for (int c : {0, 1, 2, 3, 6}) EXPECT_EQ(before[c], after[c]) << "column " << c;
    EXPECT_EQ("Ctrl + Shift + Q", after[4]);
    EXPECT_EQ("最大化", after[5]);
    EXPECT_EQ("4", after[7]);
    EXPECT_EQ(static_cast<DWORD_PTR>(MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT)), dlg->m_listCtrl.GetItemData(0));
    EXPECT_EQ(tree.Path("other.lnk"), Cell(1, 0)) << "rows moved";

    EXPECT_EQ(3, StoredShowCmd(link));
    EXPECT_EQ("説明は残る", LinkDescription(link));
    ShortcutInfo stored = {};
    stored.strLinkPath = AnsiToWide(link.c_str());
    ASSERT_GE(ReadShellLink(nullptr, &stored), 0);
    EXPECT_EQ(MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT), stored.wHotkey);
    EXPECT_EQ(4, stored.nIconIndex);
    EXPECT_STREQ(L"-x,y", stored.strArguments);
}

TEST_F(EditTest, UpdateWithoutAChoiceWritesANormalWindow)
{
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) { Press(dialog, IDOK); }));
    EXPECT_EQ("通常のウィンドウ", Cell(0, 5));
    EXPECT_EQ(1, StoredShowCmd(link));
    EXPECT_EQ("説明は残る", LinkDescription(link));
}

TEST_F(EditTest, CancelLeavesTheFileAndTheRow)
{
    const auto bytes = FileBytes(link);
    const auto before = Row(0);
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) {
        ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('Z', HOTKEYF_ALT), 0);
        ::SendDlgItemMessageA(dialog, IDC_SHOWCMD, CB_SETCURSEL, 1, 0);
        Press(dialog, IDCANCEL);
    }));
    EXPECT_EQ(bytes, FileBytes(link));
    EXPECT_EQ(before, Row(0));
    EXPECT_EQ(0x0641u, dlg->m_listCtrl.GetItemData(0));
}

TEST_F(EditTest, AnIndexOutOfRangeIsRefusedBeforeAnythingIsWritten)
{
    const auto bytes = FileBytes(link);
    const auto before = Row(0);
    std::vector<DialogAnswerer::Box> change, update;
    bool stayedOpen = false;
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) {
        change = Answering([&] { SetIndexText(dialog, "501"); });  // the check runs as the number changes
        update = Answering([&] { Press(dialog, IDOK); });
        stayedOpen = ::IsWindowVisible(dialog) != FALSE;
        Press(dialog, IDCANCEL);
    }));
    for (const auto& boxes : {change, update}) {
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("0 から 500 までの整数を入力してください。", boxes[0].text);
    }
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(bytes, FileBytes(link));
    EXPECT_EQ(before, Row(0));
}

TEST_F(EditTest, AFailedWriteKeepsTheDialogOpenAndTheRowAsItWas)
{
    // Someone holds the file and lets nobody write it.
    HANDLE holder = ::CreateFileA(link.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const auto before = Row(0);
    std::vector<DialogAnswerer::Box> boxes;
    bool stayedOpen = false;
    EXPECT_EQ(1u, Edit(0, [&](HWND dialog) {
        ::SendDlgItemMessageA(dialog, IDC_SHOWCMD, CB_SETCURSEL, 1, 0);
        boxes = Answering([&] { Press(dialog, IDOK); });
        stayedOpen = ::IsWindowVisible(dialog) != FALSE;
        Press(dialog, IDCANCEL);
    }));
    ::CloseHandle(holder);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("ショートカットの作成に失敗しました", boxes[0].text);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(before, Row(0));
}

TEST_F(EditTest, TheUpDownRangeFollowsTheIconsOfTheFile)
{
    const std::string noIcons = tree.Path("plain.txt");
    WriteTextFile(noIcons, "no icons here");
    const int shellIcons = static_cast<int>(reinterpret_cast<INT_PTR>(CLinkEditDlg::LoadIconFrom(Wide(kShell32).c_str(), -1)));
    const int notepadIcons = static_cast<int>(reinterpret_cast<INT_PTR>(
        CLinkEditDlg::LoadIconFrom(L"C:\\windows\\notepad.exe", -1)));
    ASSERT_GT(shellIcons, 1);
    dlg->m_listCtrl.DeleteAllItems();
    for (const auto& [target, icon] : {std::pair<std::string, std::string>{kNotepad, kShell32}, {kNotepad, ""}, {kNotepad, noIcons}, {noIcons, ""}}) {
        AddTableRow(List(), {link, target, "", "", "なし", "最小化", icon, "0"});
    }

    const DWORD expected[4] = {static_cast<DWORD>(shellIcons - 1), static_cast<DWORD>(notepadIcons > 0 ? notepadIcons - 1 : 0),
                               0xFFFF, 0};
    for (int row = 0; row < 4; ++row) {
        Opened opened;
        ASSERT_EQ(1u, Edit(row, [&](HWND dialog) {
            opened = ReadDialog(dialog);
            Press(dialog, IDCANCEL);
        }));
        EXPECT_EQ(expected[row], LOWORD(opened.range)) << "row " << row << ": upper bound";
        EXPECT_EQ(0, HIWORD(opened.range)) << "row " << row << ": lower bound";
        EXPECT_EQ(1, opened.runSize) << "row " << row;
    }
}

TEST_F(EditTest, AfterASortAnEditOpensOnTheClickedRowsOwnLinkAndKeyAndTheRowStays)
{
    const std::string second = tree.Path("zz.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(second, LinkSpec()));
    AddTableRow(List(), {second, kNotepad, "", "", "Ctrl + B", "通常のウィンドウ", "", "0"}, 0x0242);
    SendColumnClick(Main(), List(), 0);  // descending: zz.lnk first
    PumpPending();
    ASSERT_EQ(second, Cell(0, 0));
    ASSERT_EQ(0x0242u, dlg->m_listCtrl.GetItemData(0));

    Opened opened;
    ASSERT_EQ(1u, Edit(0, [&](HWND dialog) {
        opened = ReadDialog(dialog);
        // A key that sorts after the other row's key text.
        ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('Z', HOTKEYF_ALT), 0);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(second, opened.fields[0]);
    EXPECT_EQ(0x0242, opened.hotkey);
    // Edited in place: the table is not sorted again.
    EXPECT_EQ(second, Cell(0, 0));
    EXPECT_EQ("Alt + Z", Cell(0, 4));
    EXPECT_EQ(link, Cell(1, 0));
    EXPECT_EQ(0x0641u, dlg->m_listCtrl.GetItemData(1));
}

TEST_F(EditTest, AnEditKeepsTextsBeyondTheCodePageAndChangesOnlyTheRowsFile)
{
    const std::wstring zoe = Wide(tree.Root()) + L"\\Zo\u00eb \u2122";
    ASSERT_TRUE(MakeFolderW(zoe));
    const std::wstring odd = zoe + L"\\Caf\u00e9 \u00ae \u30c6\u30b9\u30c8.lnk";
    const std::wstring arguments = L"--name=Zo\u00eb \u2122";
    const std::wstring icon = zoe + L"\\app.exe";
    ASSERT_HRESULT_SUCCEEDED(MakeLinkW(odd, L"C:\\windows\\notepad.exe", arguments, icon, 0x0641));
    const auto before = FileBytesW(odd);
    const int row = AddTableRow(List(), {"", kNotepad, "", "", "Ctrl + Alt + A", "", "", "0"}, 0x0641);
    for (const auto& [column, text] : {std::pair{0, odd}, {2, arguments}, {6, icon}}) {
        dlg->m_listCtrl.SetItemText(row, column, text.c_str());
    }

    std::wstring shown[3];
    ASSERT_EQ(1u, Edit(row, [&](HWND dialog) {
        const int ids[3] = {IDC_LINK_PATH, IDC_ARGUMENTS, IDC_ICON_PATH};
        for (int i = 0; i < 3; ++i) {
            WCHAR text[MAX_PATH * 2] = {};
            ::GetDlgItemTextW(dialog, ids[i], text, MAX_PATH * 2);
            shown[i] = text;
        }
        ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(odd, shown[0]);
    EXPECT_EQ(arguments, shown[1]);
    EXPECT_EQ(icon, shown[2]);

    EXPECT_EQ(std::vector<std::wstring>{L"Caf\u00e9 \u00ae \u30c6\u30b9\u30c8.lnk"}, NamesInW(zoe));
    EXPECT_NE(before, FileBytesW(odd)) << "the row's file was not written";
    ShortcutInfo stored = {};
    stored.strLinkPath = odd.c_str();
    ASSERT_GE(ReadShellLink(nullptr, &stored), 0);
    EXPECT_EQ(MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), stored.wHotkey);
    EXPECT_EQ(arguments, stored.strArguments.str());
    EXPECT_EQ(icon, stored.strIconPath.str());
    EXPECT_EQ(std::wstring(L"C:\\windows\\notepad.exe"), stored.strTarget.str());
}

TEST_F(EditTest, SharedKeyMarksFollowTheirRowsThroughASortAndEndWithAnEdit)
{
    const COLORREF kUnmarked = RGB(1, 2, 3), kClash = RGB(0xB0, 0x00, 0x00);
    // Row 0 is app.lnk with Ctrl+Alt+A.
    const std::string twin = tree.Path("twin.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeLink(twin, {kNotepad, "", "", 0x0641}));
    AddTableRow(List(), {twin, kNotepad, "", "", "Ctrl + Alt + A", "通常のウィンドウ", "", "0"}, 0x0641);
    AddTableRow(List(), {tree.Path("b unique.lnk"), kNotepad, "", "", "Ctrl + Alt + B", "通常のウィンドウ", "", "0"}, 0x0642);
    AddTableRow(List(), {tree.Path("c none.lnk"), kNotepad, "", "", "なし", "通常のウィンドウ", "", "0"});
    auto colourOf = [this](const std::string& path) {
        const int row = RowOf(path);
        return row < 0 ? COLORREF(0xFFFFFFFF) : DrawnTextColour(Main(), List(), row);
    };
    const std::string paths[4] = {link, twin, tree.Path("b unique.lnk"), tree.Path("c none.lnk")};

    SendColumnClick(Main(), List(), 0);  // descending: the rows move
    ASSERT_NE(link, Cell(0, 0));
    const COLORREF sorted[4] = {kClash, kClash, kUnmarked, kUnmarked};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sorted[i], colourOf(paths[i])) << paths[i];

    const int twinRow = RowOf(twin);
    ASSERT_EQ(1u, Edit(twinRow, [&](HWND dialog) {
        ::SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
        Press(dialog, IDOK);
    }));
    ASSERT_EQ("Ctrl + Alt + Q", Cell(twinRow, 4));
    for (const std::string& path : paths) EXPECT_EQ(kUnmarked, colourOf(path)) << path;
}
