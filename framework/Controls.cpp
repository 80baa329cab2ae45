#include "framework/Controls.h"

#include <vector>

BOOL CListCtrl::SetItemText(int row, int column, const char* text) const
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int row, int column, const WCHAR* text) const
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<WCHAR*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
}

namespace {
// Starts at 256 characters and doubles while the text fills the buffer.
template <typename Char, typename Item, typename Text>
Text ReadCellText(const CListCtrl& list, UINT message, int row, int column)
{
    for (int size = 256;; size *= 2) {
        std::vector<Char> buffer(static_cast<size_t>(size), Char());
        Item item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        const int length = static_cast<int>(list.SendMessage(message, row, reinterpret_cast<LPARAM>(&item)));
        if (length < size - 1) return Text(buffer.data(), length);
    }
}
}  // namespace

CString CListCtrl::GetItemText(int row, int column) const
{
    return ReadCellText<char, LVITEMA, CString>(*this, LVM_GETITEMTEXTA, row, column);
}

CStringW CListCtrl::GetItemTextW(int row, int column) const
{
    return ReadCellText<WCHAR, LVITEMW, CStringW>(*this, LVM_GETITEMTEXTW, row, column);
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
