// The survey's results come into the table here, in batches: a visible list
// that takes and paints one row at a time costs some 200 times more than one
// that takes a batch with its redraw off.
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"

namespace {
// A batch the list takes in some tens of milliseconds at most, so the window
// answers between batches also when rows come fast.
constexpr size_t kMostRowsAtOnce = 200;
}  // namespace

LRESULT CLinkSurveyDlg::OnSurveyResults(WPARAM, LPARAM)
{
    TakeSurveyResults(kMostRowsAtOnce);
    return 0;
}

void CLinkSurveyDlg::TakeSurveyResults(size_t mostRows)
{
    const size_t unreadBefore = m_survey.UnreadFiles().size();
    const SurveyResults results = m_survey.TakeResults(mostRows);
    // The rest after the messages that came meanwhile.
    if (results.bMore) ::PostMessageW(m_hWnd, WM_LIRVAN_SURVEY, 0, 0);
    if (results.rows.empty() && m_survey.UnreadFiles().size() == unreadBefore && !results.bDone) {
        return;  // taken with an earlier message
    }
    const bool wasPainted = !::GetUpdateRect(m_listCtrl.m_hWnd, nullptr, FALSE);
    const int firstNew = m_listCtrl.GetItemCount();
    m_listCtrl.SetRedraw(FALSE);
    for (const ShortcutRow& row : results.rows) AppendRow(row);
    if (results.bDone) {
        MarkSharedKeys();
        m_tableState = TableState::kSurveyed;
        SetBusyState(1);
        if (HMENU menu = GetMenu()) {
            ::EnableMenuItem(menu, ID_TOOL_UNREAD_FILES,
                             MF_BYCOMMAND | (UnreadFiles().empty() ? MF_GRAYED : MF_ENABLED));
        }
    }
    UpdateStatusBar();
    m_listCtrl.SetRedraw(TRUE);
    // One repaint for the whole batch, when this thread is next idle, so the
    // survey reads on meanwhile. Rows below the view change nothing on screen
    // but the scroll bar: a list that was painted stays so (some lists repaint
    // wholly when their redraw comes back, at a cost that would slow the survey).
    const int top = m_listCtrl.GetTopIndex();
    const int perPage = m_listCtrl.GetCountPerPage();
    if (results.bDone || firstNew <= top + perPage) {
        m_listCtrl.Invalidate();
    } else if (wasPainted) {
        ::ValidateRect(m_listCtrl.m_hWnd, nullptr);
    }
}

void CLinkSurveyDlg::OnListDeleteAllItems(NMHDR*, LRESULT* result)
{
    // Nothing is kept for a row outside the list: emptying it needs no word per
    // row, which would keep the window busy for a big table as a survey starts.
    *result = TRUE;
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
