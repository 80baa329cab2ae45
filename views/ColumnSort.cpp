// Sorting the table by a clicked column: byte-wise by the cell texts, the
// direction alternating with every sort, starting descending.
#include "mainwnd/LinkSurveyDlg.h"

namespace {
// Filled for one sort only: the clicked column's texts and the rows' own item
// data, both indexed by a row's position before the sort.
CStringArray g_sortTexts;
CDWordArray g_savedItemData;
// 1: the next sort is ascending; anything else: descending. Kept for the whole run.
int g_sortDirection = 0;

// Unsigned bytes, so double-byte characters (lead bytes 0x81 and up) come after ASCII;
// a text that begins another comes first, as its zero is the smallest byte.
int CompareBytes(const char* left, const char* right)
{
    const auto* a = reinterpret_cast<const unsigned char*>(left);
    const auto* b = reinterpret_cast<const unsigned char*>(right);
    for (; *a == *b; ++a, ++b) {
        if (*a == 0) return 0;
    }
    return *a < *b ? -1 : 1;
}

// The list hands over item data, which holds each row's position during the sort.
int CALLBACK CompareCells(LPARAM item1, LPARAM item2, LPARAM)
{
    const char* a = g_sortTexts[static_cast<int>(item1)];
    const char* b = g_sortTexts[static_cast<int>(item2)];
    return g_sortDirection == 1 ? CompareBytes(a, b) : CompareBytes(b, a);
}

// Item data becomes the row's position, so the comparison can find its text by index.
void NumberRows(const CListCtrl& list, int rowCount, int column)
{
    for (int row = 0; row < rowCount; ++row) {
        g_savedItemData.Add(static_cast<DWORD>(list.GetItemData(row)));
        list.SetItemData(row, static_cast<DWORD_PTR>(row));
    }
    g_sortTexts.RemoveAll();
    for (int row = 0; row < rowCount; ++row) g_sortTexts.Add(list.GetItemText(row, column));
}

void RestoreItemData(const CListCtrl& list, int rowCount)
{
    for (int row = 0; row < rowCount; ++row) {
        const int before = static_cast<int>(list.GetItemData(row));
        list.SetItemData(row, g_savedItemData[before]);
    }
    g_savedItemData.RemoveAll();
}
}  // namespace

void CLinkSurveyDlg::OnColumnClick(NMHDR* notify, LRESULT* result)
{
    // The survey appends rows meanwhile; a sort must see the whole table.
    if (IsCloseGreyed()) return;

    const int rowCount = m_listCtrl.GetItemCount();
    const int column = reinterpret_cast<NMLISTVIEW*>(notify)->iSubItem;
    // Every change of item data repaints its row: paint once, after the sort.
    m_listCtrl.SetRedraw(FALSE);
    NumberRows(m_listCtrl, rowCount, column);
    m_listCtrl.SortItems(CompareCells, reinterpret_cast<DWORD_PTR>(this));
    g_sortDirection = g_sortDirection == 0 ? 1 : 0;
    g_sortTexts.RemoveAll();
    RestoreItemData(m_listCtrl, rowCount);
    MarkSharedKeys();
    m_listCtrl.SetRedraw(TRUE);
    m_listCtrl.Invalidate();
    *result = 0;
}
