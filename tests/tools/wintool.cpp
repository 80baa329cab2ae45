// A small driver for scripts: waits for a window of Lirvan and sends it commands,
// so that screenshots and walkthroughs need no window manager.
//   wintool wait TITLE_PART [TIMEOUT_MS]      waits until a visible top-level window's title holds TITLE_PART
//   wintool command TITLE_PART ID             posts WM_COMMAND ID to that window
//   wintool key TITLE_PART VK [ctrl]          posts a key press to the window's focus (or the window)
//   wintool close TITLE_PART                  posts WM_CLOSE
//   wintool dblclick TITLE_PART ROW           double-clicks a row of the main window's list
//   wintool hold                              keeps the Wine desktop alive until killed
//   wintool makelinks FOLDER                  fills FOLDER with a few sample links (for demonstrations)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct Search { const char* part; HWND found; };

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char title[512] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    if (::IsWindowVisible(hWnd) && std::strstr(title, search->part)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindTitled(const char* part, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search search{part, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= timeoutMs) return search.found;
        ::Sleep(100);
    }
}
struct Sample {
    const WCHAR* name;
    const WCHAR* target;
    const WCHAR* arguments;
    const WCHAR* workDir;
    WORD hotkey;
    int showCmd;
    const WCHAR* iconPath;
    int iconIndex;
};

// Wide throughout: one sample's names are beyond the code page.
int MakeSampleLinks(const char* folderName)
{
    const Sample samples[] = {
        {L"メモ帳.lnk", L"C:\\windows\\notepad.exe", L"", L"C:\\windows", MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT),
         SW_SHOWNORMAL, L"", 0},
        {L"レジストリ エディタ.lnk", L"C:\\windows\\regedit.exe", L"/m", L"C:\\windows", 0, SW_SHOWMAXIMIZED,
         L"C:\\windows\\regedit.exe", 0},
        {L"tools\\コマンド.lnk", L"C:\\windows\\system32\\cmd.exe", L"/k echo a,b", L"C:\\users",
         MAKEWORD(VK_F9, HOTKEYF_SHIFT), SW_SHOWMINNOACTIVE, L"C:\\windows\\system32\\shell32.dll", 3},
        {L"tools\\Winver.lnk", L"C:\\windows\\system32\\winver.exe", L"", L"", 0, SW_SHOWNORMAL, L"", -1},
        {L"古い設定.pif", L"C:\\windows\\system32\\control.exe", L"", L"C:\\windows", MAKEWORD('P', HOTKEYF_CONTROL),
         SW_SHOWNORMAL, L"C:\\windows\\system32\\shell32.dll", 21},
        // Shares its key with メモ帳, and points at nothing any more.
        {L"メモ帳 (コピー).lnk", L"C:\\windows\\notepad.exe", L"", L"C:\\windows",
         MAKEWORD('N', HOTKEYF_CONTROL | HOTKEYF_ALT), SW_SHOWNORMAL, L"", 0},
        {L"tools\\古いツール.lnk", L"C:\\Program Files\\Old Tools\\oldtool.exe", L"/s", L"", 0, SW_SHOWNORMAL, L"", 0},
        {L"Zo\u00eb \u2122\\Caf\u00e9 \u00ae \u30c6\u30b9\u30c8.lnk", L"C:\\windows\\notepad.exe",
         L"--name=Zo\u00eb \u2122", L"", 0, SW_SHOWNORMAL, L"C:\\windows\\Zo\u00eb \u2122\\app.exe", 0},
    };
    WCHAR folder[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, folderName, -1, folder, MAX_PATH);
    ::CoInitialize(nullptr);
    for (const WCHAR* sub : {L"", L"\\tools", L"\\Zo\u00eb \u2122"}) {
        ::CreateDirectoryW((std::wstring(folder) + sub).c_str(), nullptr);
    }
    int failures = 0;
    for (const Sample& s : samples) {
        IShellLinkW* link = nullptr;
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link)))) {
            ++failures;
            continue;
        }
        link->SetPath(s.target);
        link->SetArguments(s.arguments);
        link->SetWorkingDirectory(s.workDir);
        link->SetHotkey(s.hotkey);
        link->SetShowCmd(s.showCmd);
        link->SetIconLocation(s.iconPath, s.iconIndex);
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (FAILED(file->Save((std::wstring(folder) + L"\\" + s.name).c_str(), TRUE))) ++failures;
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return failures == 0 ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "hold") == 0) {
        // The desktop process ends with the last program that uses it, and a new one
        // would inherit whatever output the next program has: keep one user all along.
        ::GetDesktopWindow();
        ::Sleep(INFINITE);
    }
    if (argc == 3 && std::strcmp(argv[1], "makelinks") == 0) return MakeSampleLinks(argv[2]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait|command|key|close|dblclick|rclick TITLE_PART [ARG]\n");
        return 2;
    }
    const char* verb = argv[1];
    const DWORD timeout = (std::strcmp(verb, "wait") == 0 && argc > 3) ? std::strtoul(argv[3], nullptr, 10) : 20000;
    HWND window = FindTitled(argv[2], timeout);
    if (!window) {
        std::fprintf(stderr, "wintool: no window titled like \"%s\"\n", argv[2]);
        return 1;
    }
    if (std::strcmp(verb, "command") == 0 && argc > 3) {
        ::PostMessageA(window, WM_COMMAND, std::strtoul(argv[3], nullptr, 0), 0);
    } else if (std::strcmp(verb, "key") == 0 && argc > 3) {
        HWND list = ::GetDlgItem(window, 1000);
        HWND target = list ? list : window;
        const UINT key = std::strtoul(argv[3], nullptr, 0);
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    } else if (std::strcmp(verb, "close") == 0) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    } else if ((std::strcmp(verb, "dblclick") == 0 || std::strcmp(verb, "rclick") == 0) && argc > 3) {
        HWND list = ::GetDlgItem(window, 1000);
        RECT cell = {};
        cell.left = LVIR_LABEL;
        const int row = std::atoi(argv[3]);
        // The list belongs to another process: ask for the rectangle by position instead.
        POINT at = {40, 0};
        ::SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
        RECT header;
        ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
        // Row height without reaching into the other process: the view for two rows
        // is one row taller than the view for one.
        const DWORD one = static_cast<DWORD>(::SendMessageA(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        const DWORD two = static_cast<DWORD>(::SendMessageA(list, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1)));
        const int rowHeight = HIWORD(two) - HIWORD(one) > 0 ? HIWORD(two) - HIWORD(one) : 18;
        at.y = (header.bottom - header.top) + rowHeight * row + rowHeight / 2;
        if (verb[0] == 'r') {
            // The list asks where the pointer is for its context menu: put it there.
            POINT screen = at;
            ::ClientToScreen(list, &screen);
            ::SetCursorPos(screen.x, screen.y);
            ::PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
            ::PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        } else {
            ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        }
        (void)cell;
    }
    return 0;
}
