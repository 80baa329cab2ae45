// Control wrappers: one-line calls over a control window that the dialog owns.
#pragma once
#include "framework/WideString.h"
#include "framework/Wnd.h"

class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    int GetHeaderItemCount() const
    { return static_cast<int>(::SendMessageW(GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0)); }
    BOOL GetHeaderItemRect(int index, RECT* rect) const
    { return static_cast<BOOL>(::SendMessageW(GetHeaderCtrl(), HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect))); }
    int InsertColumn(int index, const LVCOLUMNA& column) const
    { return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column))); }
    // The width travels as the low 16 bits of the parameter, unclamped.
    BOOL SetColumnWidth(int column, int width) const
    { return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width & 0xFFFF, 0))); }
    int GetColumnWidth(int column) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column)); }
    DWORD SetExtendedStyle(DWORD style) const
    { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style)); }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))); }

    int InsertItem(const LVITEMA& item) const
    { return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item))); }
    // The list keeps UTF-16: the wide calls keep a text exactly, the narrow ones
    // convert to and from the code page.
    int InsertItem(const LVITEMW& item) const
    { return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item))); }
    BOOL SetItemText(int row, int column, const char* text) const;
    BOOL SetItemText(int row, int column, const WCHAR* text) const;
    // The whole text of one cell, whatever its length.
    CString GetItemText(int row, int column) const;
    CStringW GetItemTextW(int row, int column) const;
    BOOL SetItemData(int row, DWORD_PTR data) const;
    DWORD_PTR GetItemData(int row) const;
    BOOL DeleteAllItems() const { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    BOOL DeleteItem(int row) const { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, row)); }
    int GetNextItem(int after, UINT flags) const
    { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, after, MAKELPARAM(flags, 0))); }
    BOOL SetItemState(int row, UINT state, UINT mask) const
    {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item)));
    }
    UINT GetItemState(int row, UINT mask) const { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, row, mask)); }
    BOOL GetItemRect(int row, RECT* rect, UINT code) const
    {
        rect->left = static_cast<LONG>(code);
        return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(rect)));
    }
    int HitTest(POINT point) const
    {
        LVHITTESTINFO info = {};
        info.pt = point;
        return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    }
    BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data) const
    { return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare))); }
};

class CHotKeyCtrl : public CWnd {
public:
    void SetRules(WORD invalidCombinations, WORD modifiers) const
    { SendMessage(HKM_SETRULES, invalidCombinations, MAKELPARAM(modifiers, 0)); }
    void SetHotKey(WORD hotkey) const { SendMessage(HKM_SETHOTKEY, hotkey); }
    DWORD GetHotKey() const { return static_cast<DWORD>(SendMessage(HKM_GETHOTKEY)); }
};

class CSpinButtonCtrl : public CWnd {
public:
    void SetRange(short lower, short upper) const { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
};

class CComboBox : public CWnd {
public:
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
};

class CEdit : public CWnd {};
class CButton : public CWnd {};

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const
    { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
};
