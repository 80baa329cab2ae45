// CWnd: a thin wrapper over a window handle, plus the message table that binds
// messages, commands and control notifications to member handlers.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/AfxString.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;  // we don't own it: windows are destroyed by their owners
    operator HWND() const { return m_hWnd; }

    // Wrappers for windows that belong to someone else (controls of a dialog).
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach() { HWND h = m_hWnd; m_hWnd = nullptr; return h; }

    // The C++ object that runs the window's procedure, if any.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Our windows are Unicode windows; messages that carry text say which form they mean.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    void SetWindowText(const WCHAR* text) const { ::SetWindowTextW(m_hWnd, text); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const
    { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const
    { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetRedraw(BOOL redraw) const { SendMessage(WM_SETREDRAW, redraw); }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    void CenterWindow(HWND alternateOwner = nullptr) const;

    // Called for every message the modal loop takes in, before it is dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

protected:
    friend class CDialog;
    // Returns TRUE when a handler took the message; *result is its answer.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    static void RegisterPermanent(HWND hWnd, CWnd* wnd);
    static void UnregisterPermanent(HWND hWnd);
};

// Hands a message to the C++ windows on the way from its target up to (and
// including) the application's main window; TRUE when one of them consumed it.
BOOL AfxPreTranslateMessage(MSG* msg);

// ---- Message tables -------------------------------------------------------

template <class T>
struct AfxMsgEntry {
    enum Kind { End, Command, Notify, ControlCommand, Paint, Size, QueryDragIcon, Message };
    Kind kind;
    UINT message;  // WM_COMMAND, WM_NOTIFY or the message itself
    UINT code;     // notification code, for Notify and ControlCommand
    UINT id;       // command or control identifier
    void (T::*onVoid)();
    void (T::*onNotify)(NMHDR*, LRESULT*);
    void (T::*onSize)(UINT, int, int);
    HCURSOR (T::*onQueryDragIcon)();
    LRESULT (T::*onMessage)(WPARAM, LPARAM);
};

template <class T>
BOOL AfxDispatchTable(T* self, const AfxMsgEntry<T>* entry, UINT message, WPARAM wParam,
                      LPARAM lParam, LRESULT* result)
{
    using E = AfxMsgEntry<T>;
    for (; entry->kind != E::End; ++entry) {
        if (entry->message != message) continue;
        switch (entry->kind) {
        case E::Command:
            // Menu items and accelerators only (no control sends these).
            if (lParam == 0 && LOWORD(wParam) == entry->id) { (self->*entry->onVoid)(); return TRUE; }
            break;
        case E::ControlCommand:
            if (lParam != 0 && LOWORD(wParam) == entry->id && HIWORD(wParam) == entry->code) {
                (self->*entry->onVoid)();
                return TRUE;
            }
            break;
        case E::Notify: {
            NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->idFrom == entry->id && header->code == entry->code) {
                (self->*entry->onNotify)(header, result);
                return TRUE;
            }
            break;
        }
        case E::Paint: (self->*entry->onVoid)(); return TRUE;
        case E::Size:
            (self->*entry->onSize)(static_cast<UINT>(wParam), (short)LOWORD(lParam), (short)HIWORD(lParam));
            return TRUE;
        case E::QueryDragIcon:
            *result = reinterpret_cast<LRESULT>((self->*entry->onQueryDragIcon)());
            return TRUE;
        case E::Message: *result = (self->*entry->onMessage)(wParam, lParam); return TRUE;
        case E::End: break;
        }
    }
    return FALSE;
}

#define DECLARE_MESSAGE_MAP() \
protected: \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    BOOL theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) \
    { \
        using ThisClass = theClass; \
        using TheBaseClass = baseClass; \
        using Entry = AfxMsgEntry<theClass>; \
        static const Entry entries[] = {

#define END_MESSAGE_MAP() \
            {Entry::End, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr} \
        }; \
        if (AfxDispatchTable(this, entries, message, wParam, lParam, result)) return TRUE; \
        return TheBaseClass::OnWndMsg(message, wParam, lParam, result); \
    }

#define ON_COMMAND(id, handler) \
    {Entry::Command, WM_COMMAND, 0, static_cast<UINT>(id), &ThisClass::handler, nullptr, nullptr, nullptr, nullptr},
#define ON_CONTROL(code, id, handler) \
    {Entry::ControlCommand, WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), &ThisClass::handler, \
     nullptr, nullptr, nullptr, nullptr},
#define ON_EN_CHANGE(id, handler) ON_CONTROL(EN_CHANGE, id, handler)
#define ON_NOTIFY(code, id, handler) \
    {Entry::Notify, WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), nullptr, &ThisClass::handler, \
     nullptr, nullptr, nullptr},
#define ON_WM_PAINT() \
    {Entry::Paint, WM_PAINT, 0, 0, &ThisClass::OnPaint, nullptr, nullptr, nullptr, nullptr},
#define ON_WM_SIZE() \
    {Entry::Size, WM_SIZE, 0, 0, nullptr, nullptr, &ThisClass::OnSize, nullptr, nullptr},
#define ON_WM_QUERYDRAGICON() \
    {Entry::QueryDragIcon, WM_QUERYDRAGICON, 0, 0, nullptr, nullptr, nullptr, &ThisClass::OnQueryDragIcon, nullptr},
#define ON_MESSAGE(message, handler) \
    {Entry::Message, static_cast<UINT>(message), 0, 0, nullptr, nullptr, nullptr, nullptr, &ThisClass::handler},
