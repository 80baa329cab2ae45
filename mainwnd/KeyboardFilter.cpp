// The main window's keyboard filter: accelerators, and Enter, Esc and Alt+F4.
#include "mainwnd/LinkSurveyDlg.h"

#include "framework/WinApp.h"
#include "res/resource.h"

namespace {
constexpr int kSystemMenuClosePosition = 6;  // Restore, Move, Size, Minimize, Maximize, separator, Close

// The menu key and Shift+F10, down or up: not every system turns them into a
// context menu request, and F10 coming up alone would open the menu bar.
bool IsContextMenuKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_SYSKEYDOWN &&
        msg.message != WM_SYSKEYUP) {
        return false;
    }
    return msg.wParam == VK_APPS || (msg.wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000));
}
}  // namespace

BOOL CLinkSurveyDlg::PreTranslateMessage(MSG* msg)
{
    // Loaded on every call; a resource handle needs no release.
    HACCEL accelerators = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_ACCEL));
    if (accelerators && ::TranslateAcceleratorA(m_hWnd, accelerators, msg)) return TRUE;
    // The row commands' keys (Del, Ctrl+C, ...) mean something else in other windows:
    // only the main window's own keys.
    if (msg->hwnd == m_hWnd || msg->hwnd == m_listCtrl.m_hWnd) {
        HACCEL more = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MORE_ACCEL));
        if (more && ::TranslateAcceleratorA(m_hWnd, more, msg)) return TRUE;
        if (IsContextMenuKey(*msg)) {
            if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
                SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_listCtrl.m_hWnd), -1);
            }
            return TRUE;
        }
    }

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
