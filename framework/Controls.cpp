#include "framework/Controls.h"

#include <vector>

BOOL CListCtrl::SetItemText(int row, int column, const char* text) const
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int row, int column) const
{
    // Start at 256 bytes and double while the text fills the buffer.
    for (int size = 256;; size *= 2) {
        std::vector<char> buffer(static_cast<size_t>(size), '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
        if (length < size - 1) return CString(buffer.data(), length);
    }
}

BOOL CListCtrl::SetItemData(int row, DWORD_PTR data) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int row) const
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<DWORD_PTR>(item.lParam);
}
