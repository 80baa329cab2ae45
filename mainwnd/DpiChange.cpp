// The window on a monitor of another scale: its font and column widths are made
// for the new DPI rather than stretched, so their texts stay sharp.
#include "mainwnd/LinkSurveyDlg.h"

void CLinkSurveyDlg::ScaleToDpi(UINT dpi)
{
    if (dpi == 0 || dpi == m_nDpi) return;
    ScaleListFont(m_nDpi, dpi);
    ScaleColumnWidths(m_listCtrl, m_nDpi, dpi);
    m_nDpi = dpi;
}

LRESULT CLinkSurveyDlg::OnDpiChanged(WPARAM dpi, LPARAM suggestedRect)
{
    ScaleToDpi(LOWORD(dpi));
    // The system's rectangle keeps the window under the pointer while it is dragged across.
    const RECT* rect = reinterpret_cast<const RECT*>(suggestedRect);
    if (rect) {
        ::SetWindowPos(m_hWnd, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}
