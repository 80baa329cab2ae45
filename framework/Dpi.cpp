#include "framework/Dpi.h"

namespace {
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

// Windows 7 and 8 have no GetDpiForWindow, so it is looked up, not linked.
GetDpiForWindowProc FindGetDpiForWindow()
{
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? ::GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(proc));
}
}  // namespace

UINT GetWindowDpi(HWND hWnd)
{
    static const GetDpiForWindowProc getDpiForWindow = FindGetDpiForWindow();
    if (getDpiForWindow && hWnd) {
        const UINT dpi = getDpiForWindow(hWnd);
        if (dpi != 0) return dpi;
    }
    HDC dc = ::GetDC(nullptr);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ::ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}
