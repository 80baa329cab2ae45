// The two column-fitting commands. The list is hidden while its widths change,
// so it repaints once.
#include "mainwnd/LinkSurveyDlg.h"

void CLinkSurveyDlg::OnToolFitText()
{
    m_listCtrl.ShowWindow(SW_HIDE);
    AutoSizeColumns(m_listCtrl);
    m_listCtrl.ShowWindow(SW_SHOW);
}

void CLinkSurveyDlg::OnToolFitWindow()
{
    m_listCtrl.ShowWindow(SW_HIDE);
    FitColumnsToWindow(m_listCtrl);
    m_listCtrl.ShowWindow(SW_SHOW);
}
