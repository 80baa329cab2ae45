// A double-click on a row edits that row's link and writes the result back into the row.
#include <cstdlib>

#include "edit/LinkEditDlg.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "survey/HotkeyNames.h"

namespace {
int RunSizeOfText(const CString& text)
{
    if (text == "通常のウィンドウ") return 0;
    if (text == "最小化") return 1;
    if (text == "最大化") return 2;
    return -1;  // hidden and anything else: nothing chosen
}

const char* RunSizeText(int runSize)
{
    if (runSize == 1) return "最小化";
    if (runSize == 2) return "最大化";
    return "通常のウィンドウ";
}
}  // namespace

void CLinkSurveyDlg::OnListDblClk(NMHDR* notify, LRESULT* result)
{
    *result = 0;
    CLinkEditDlg dlg;
    const int row = reinterpret_cast<NMITEMACTIVATE*>(notify)->iItem;
    if (row < 0 || row >= m_listCtrl.GetItemCount()) return;
    dlg.m_strLinkPath = m_listCtrl.GetItemTextW(row, 0);
    if (dlg.m_strLinkPath.IsEmpty()) return;
    dlg.m_strTarget = m_listCtrl.GetItemTextW(row, 1);
    dlg.m_strArguments = m_listCtrl.GetItemTextW(row, 2);
    dlg.m_strWorkDir = m_listCtrl.GetItemTextW(row, 3);
    dlg.m_dwHotKey = static_cast<DWORD>(m_listCtrl.GetItemData(row));
    dlg.m_nRunSize = RunSizeOfText(m_listCtrl.GetItemText(row, 5));
    dlg.m_strIconPath = m_listCtrl.GetItemTextW(row, 6);
    dlg.m_nIconIndex = std::atoi(m_listCtrl.GetItemText(row, 7));

    if (dlg.DoModal() != IDOK) return;

    // The same row: the table is not sorted again, and a survey only appends.
    m_listCtrl.SetItemText(row, 4, HotkeyToText(dlg.m_dwHotKey));
    m_listCtrl.SetItemData(row, dlg.m_dwHotKey);
    m_listCtrl.SetItemText(row, 5, RunSizeText(dlg.m_nRunSize));
    CString index;
    index.Format("%d", dlg.m_nIconIndex);
    m_listCtrl.SetItemText(row, 7, index);
    MarkSharedKeys();  // the new key may make or end a clash
}
