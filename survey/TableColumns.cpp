#include "survey/TableColumns.h"

#include "mainwnd/LinkSurveyDlg.h"

const char* const kColumnHeaders[kColumnCount] = {
    "ショートカットのパス", "リンク先", "引数", "作業フォルダ",
    "ショートカットキー", "実行時の大きさ", "アイコンのパス", "アイコンのインデックス",
};

void CLinkSurveyDlg::InsertColumns(CListCtrl& list)
{
    for (int i = 0; i < kColumnCount; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;  // no width: fitted right after
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<char*>(kColumnHeaders[i]);
        column.iSubItem = i;
        list.InsertColumn(i, column);
    }
}

void CLinkSurveyDlg::FitColumnsToWindow(CListCtrl& list)
{
    const int count = list.GetHeaderItemCount();
    if (count <= 0) return;
    RECT outer;
    list.GetWindowRect(&outer);  // borders and scroll bar included
    const int share = ColumnShare(outer.right - outer.left, count);
    for (int i = 0; i < count; ++i) list.SetColumnWidth(i, share);

    RECT last = {};
    list.GetHeaderItemRect(count - 1, &last);
    list.SetColumnWidth(count - 1, LastColumnWidth(last.right - last.left, m_nDpi));
}

void CLinkSurveyDlg::ScaleColumnWidths(CListCtrl& list, UINT fromDpi, UINT toDpi)
{
    const int count = list.GetHeaderItemCount();
    for (int i = 0; i < count; ++i) list.SetColumnWidth(i, ScaleForDpi(list.GetColumnWidth(i), fromDpi, toDpi));
}

void CLinkSurveyDlg::AutoSizeColumns(CListCtrl& list)
{
    // The count is read again before each column.
    for (int i = 0; i <= list.GetHeaderItemCount() - 1; ++i) list.SetColumnWidth(i, LVSCW_AUTOSIZE);
}

const char* ShowCmdName(int showCmd)
{
    static const char* const names[12] = {
        "非表示",           "通常のウィンドウ", "最小化",           "最大化",
        "通常のウィンドウ", "通常のウィンドウ", "最小化",           "最小化",
        "通常のウィンドウ", "通常のウィンドウ", "通常のウィンドウ", "最大化",
    };
    // The link format treats every other value as a normal window.
    if (showCmd < 0 || showCmd > 11) return names[SW_SHOWNORMAL];
    return names[showCmd];
}
