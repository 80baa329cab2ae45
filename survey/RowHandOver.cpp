// The survey's rows cross from its reader to the window's thread here, in
// batches: a visible list that takes and paints one row at a time costs some
// 200 times more than one that takes a batch with its redraw off.
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"

#include <utility>

bool CRowQueue::Put(ShortcutBatch&& batch)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_batches.push_back(std::move(batch));
    return !std::exchange(m_bTold, true);
}

void CRowQueue::Untold()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bTold = false;
}

std::vector<ShortcutBatch> CRowQueue::TakeAll()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bTold = false;
    return std::exchange(m_batches, {});
}

void CLinkSurveyDlg::HandOverRows(CListCtrl& list, bool last)
{
    const DWORD tick = ::GetTickCount();
    // No hand-over yet (0): the first row goes over at once.
    const bool due = m_batch.dwLastHandOver == 0 || tick - m_batch.dwLastHandOver >= kHandOverIntervalMs;
    if (!last && ((m_batch.rows.empty() && m_batch.unread.empty()) || !due)) return;
    const HWND window = ::GetParent(list.m_hWnd);
    const bool tell = m_handedOver.Put(std::exchange(m_batch, ShortcutBatch()));
    m_batch.dwLastHandOver = tick;
    if (last) {
        // The busy state ends only once the table holds every row.
        ::SendMessageW(window, WM_LIRVAN_ADDROWS, TRUE, 0);
    } else if (tell && !::PostMessageW(window, WM_LIRVAN_ADDROWS, FALSE, 0)) {
        m_handedOver.Untold();  // a full message queue: told again with the next batch
    }
    // The reader does not wait for the window's thread: it reads on while the rows go in.
}

LRESULT CLinkSurveyDlg::OnAddRows(WPARAM last, LPARAM)
{
    const std::vector<ShortcutBatch> batches = m_handedOver.TakeAll();
    if (batches.empty() && !last) return 0;  // taken with an earlier message
    const bool wasPainted = !::GetUpdateRect(m_listCtrl.m_hWnd, nullptr, FALSE);
    const int firstNew = m_listCtrl.GetItemCount();
    m_listCtrl.SendMessage(WM_SETREDRAW, FALSE);
    for (const ShortcutBatch& batch : batches) {
        for (const ShortcutRow& row : batch.rows) AppendRow(row);
        m_unreadFiles.insert(m_unreadFiles.end(), batch.unread.begin(), batch.unread.end());
    }
    if (last) {
        MarkSharedKeys();
        m_tableState = TableState::kSurveyed;
        if (HMENU menu = GetMenu()) {
            ::EnableMenuItem(menu, ID_TOOL_UNREAD_FILES,
                             MF_BYCOMMAND | (m_unreadFiles.empty() ? MF_GRAYED : MF_ENABLED));
        }
    }
    UpdateStatusBar();
    m_listCtrl.SendMessage(WM_SETREDRAW, TRUE);
    // One repaint for the whole batch, when this thread is next idle, so the
    // reader reads on meanwhile. Rows below the view change nothing on screen
    // but the scroll bar: a list that was painted stays so (some lists repaint
    // wholly when their redraw comes back, at a cost that would slow the survey).
    const int top = static_cast<int>(m_listCtrl.SendMessage(LVM_GETTOPINDEX));
    const int perPage = static_cast<int>(m_listCtrl.SendMessage(LVM_GETCOUNTPERPAGE));
    if (last || firstNew <= top + perPage) {
        m_listCtrl.Invalidate();
    } else if (wasPainted) {
        ::ValidateRect(m_listCtrl.m_hWnd, nullptr);
    }
    return 0;
}

void CLinkSurveyDlg::AppendRow(const ShortcutRow& row)
{
    LVITEMW item = {};
    // Item data and state come with the row itself: a later change of either
    // would cost the list two notifications per row.
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
    item.iItem = m_listCtrl.GetItemCount();  // after every row: the list has no sort style
    item.pszText = const_cast<WCHAR*>(row.cells[0].c_str());
    item.lParam = static_cast<LPARAM>(row.data);
    item.state = row.bTargetMissing ? kTargetMissingState : 0;
    item.stateMask = kTargetMissingState;
    const int index = m_listCtrl.InsertItem(item);
    if (index < 0) return;
    for (int column = 1; column < 8; ++column) m_listCtrl.SetItemText(index, column, row.cells[column]);
}
