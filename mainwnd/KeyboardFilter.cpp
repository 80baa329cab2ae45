// The main window's keyboard filter: accelerators, and Enter, Esc and Alt+F4.
#include "mainwnd/LinkSurveyDlg.h"

#include "framework/WinApp.h"
#include "res/resource.h"

namespace {
constexpr int kSystemMenuClosePosition = 6;  // Restore, Move, Size, Minimize, Maximize, separator, Close
}

BOOL CLinkSurveyDlg::PreTranslateMessage(MSG* msg)
{
    // Loaded on every call; a resource handle needs no release.
    HACCEL accelerators = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_ACCEL));
    if (accelerators && ::TranslateAcceleratorA(m_hWnd, accelerators, msg)) return TRUE;

    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_RETURN) return TRUE;  // never the default button
        if (msg->wParam == VK_ESCAPE) {
            StopSurvey();  // never closes the window
            return TRUE;
        }
    } else if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4) {
        // Swallowed while Close is greyed. Close is the menu's default item, so its
        // state carries MF_DEFAULT: compare without it.
        HMENU systemMenu = GetSystemMenu(FALSE);
        if (systemMenu) {
            const UINT state = ::GetMenuState(systemMenu, kSystemMenuClosePosition, MF_BYPOSITION);
            if ((state & ~static_cast<UINT>(MF_DEFAULT)) == MF_GRAYED) return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}
