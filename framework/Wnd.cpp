#include "framework/Wnd.h"

#include <map>

#include "framework/WinApp.h"

namespace {
// Windows whose procedure is run by a C++ object. Touched by the user-interface thread only.
std::map<HWND, CWnd*>& PermanentMap()
{
    static std::map<HWND, CWnd*> map;
    return map;
}
}  // namespace

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = PermanentMap();
    auto found = map.find(hWnd);
    return found == map.end() ? nullptr : found->second;
}

void CWnd::RegisterPermanent(HWND hWnd, CWnd* wnd) { PermanentMap()[hWnd] = wnd; }
void CWnd::UnregisterPermanent(HWND hWnd) { PermanentMap().erase(hWnd); }

void CWnd::CenterWindow(HWND alternateOwner) const
{
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT self, area;
    ::GetWindowRect(m_hWnd, &self);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL AfxPreTranslateMessage(MSG* msg)
{
    HWND stop = nullptr;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd) stop = app->m_pMainWnd->m_hWnd;
    for (HWND hWnd = msg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd); wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hWnd == stop) break;
    }
    return FALSE;
}
