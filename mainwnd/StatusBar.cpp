// The status bar under the list: how many links the table holds and how many
// files the last survey could not read.
#include "mainwnd/LinkSurveyDlg.h"

void CLinkSurveyDlg::UpdateStatusBar()
{
    if (!m_statusBar.m_hWnd) return;
    CString text;
    const int links = m_listCtrl.GetItemCount();
    if (m_tableState == TableState::kSurveying) {
        text.Format("調査中... リンク %d 個", links);
    } else if (m_tableState == TableState::kSurveyed) {
        text.Format("リンク %d 個", links);
        if (!UnreadFiles().empty()) {
            CString unread;
            unread.Format("、読み込めなかったファイル %d 個", static_cast<int>(UnreadFiles().size()));
            text += unread;
        }
    }
    m_statusBar.SetWindowText(text);
}

void CLinkSurveyDlg::LayOutControls(int cx, int cy)
{
    int barHeight = 0;
    if (m_statusBar.m_hWnd) {
        // The bar places itself along the bottom edge on any size message.
        m_statusBar.SendMessage(WM_SIZE, 0, MAKELPARAM(cx, cy));
        RECT bar;
        m_statusBar.GetWindowRect(&bar);
        barHeight = bar.bottom - bar.top;
    }
    if (m_listCtrl.m_hWnd) m_listCtrl.MoveWindow(0, 0, cx, cy > barHeight ? cy - barHeight : 0, TRUE);
}
