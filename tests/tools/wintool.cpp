// A small driver for scripts: waits for a window of Lirvan and sends it commands,
// so that screenshots and walkthroughs need no window manager.
//   wintool wait TITLE_PART [TIMEOUT_MS]      waits until a visible top-level window's title holds TITLE_PART
//   wintool command TITLE_PART ID             posts WM_COMMAND ID to that window
//   wintool key TITLE_PART VK [ctrl]          posts a key press to the window's focus (or the window)
//   wintool close TITLE_PART                  posts WM_CLOSE
//   wintool dblclick TITLE_PART ROW           double-clicks a row of the main window's list
//   wintool hold                              keeps the Wine desktop alive until killed
#include <windows.h>
#include <commctrl.h>

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
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "hold") == 0) {
        // The desktop process ends with the last program that uses it, and a new one
        // would inherit whatever output the next program has: keep one user all along.
        ::GetDesktopWindow();
        ::Sleep(INFINITE);
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait|command|key|close|dblclick TITLE_PART [ARG]\n");
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
    } else if (std::strcmp(verb, "dblclick") == 0 && argc > 3) {
        HWND list = ::GetDlgItem(window, 1000);
        RECT cell = {};
        cell.left = LVIR_LABEL;
        const int row = std::atoi(argv[3]);
        // The list belongs to another process: ask for the rectangle by position instead.
        POINT at = {40, 0};
        ::SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
        RECT header;
        ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
        const int rowHeight = 18;  // close enough for the default font
        at.y = (header.bottom - header.top) + rowHeight * row + rowHeight / 2;
        ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        (void)cell;
    }
    return 0;
}
