// Rows put straight into the main window's table, in the survey's layout: the
// item text, seven subitem texts and the item data.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

using TableRow = std::array<std::string, 8>;

// Appends a row at the end of the list; returns its index.
inline int AddTableRow(HWND list, const TableRow& cells, DWORD itemData = 0)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(cells[0].c_str());
    item.lParam = static_cast<LPARAM>(itemData);
    const int row = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < 8; ++column) {
        LVITEMA sub = {};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(cells[static_cast<size_t>(column)].c_str());
        ::SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

// A row whose one given column holds the text and whose other cells are empty.
inline TableRow RowWithCell(int column, const std::string& text)
{
    TableRow cells;
    cells[static_cast<size_t>(column)] = text;
    return cells;
}

inline void SelectRow(HWND list, int row)
{
    LVITEMA item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

inline DWORD RowItemData(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<DWORD>(item.lParam);
}

// Sends the header-click notification the list sends its parent.
inline void SendColumnClick(HWND mainWindow, HWND list, int column)
{
    NMLISTVIEW notify = {};
    notify.hdr.hwndFrom = list;
    notify.hdr.idFrom = 1000;
    notify.hdr.code = LVN_COLUMNCLICK;
    notify.iItem = -1;
    notify.iSubItem = column;
    ::SendMessageA(mainWindow, WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&notify));
}

// The text colour the main window answers when the list asks how to draw a
// row (its custom draw for the row's item); `unchanged` when it changes nothing.
inline COLORREF DrawnTextColour(HWND mainWindow, HWND list, int row, COLORREF unchanged = RGB(1, 2, 3))
{
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = list;
    draw.nmcd.hdr.idFrom = 1000;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = unchanged;
    ::SendMessageA(mainWindow, WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
}
