#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/WinApp.h"

namespace {
// Combo box strings in dialog initialisation data carry the 16-bit message number.
constexpr WORD kDlgInitComboAddString = 0x0403;
const LPCSTR kDlgInitResourceType = MAKEINTRESOURCEA(240);
}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

BOOL CDialog::Create(HWND owner)
{
    // Unicode controls, so that edit fields can show texts the code page cannot spell.
    HWND hWnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        if (CWnd* main = AfxGetMainWnd(); main && main != this && ::IsWindow(main->m_hWnd)) {
            owner = ::GetLastActivePopup(main->m_hWnd);
        }
    }
    m_nModalResult = -1;
    if (!Create(owner)) return -1;

    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    if (m_hWnd && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    m_bInModalLoop = m_hWnd != nullptr;
    while (m_bInModalLoop) {
        if (!AfxPumpMessage()) {
            // Leave the quit message for the loops further out.
            ::PostQuitMessage(0);
            break;
        }
    }

    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner) ::SetActiveWindow(owner);
        ::DestroyWindow(m_hWnd);
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_bInModalLoop = false;
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    const bool wasLocked = m_bLockNotifications;
    m_bLockNotifications = true;
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        ok = FALSE;
    }
    m_bLockNotifications = wasLocked;
    return ok;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnPaint()
{
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) { OnOK(); return TRUE; }
        if (LOWORD(wParam) == IDCANCEL) { OnCancel(); return TRUE; }
    }
    return FALSE;
}

BOOL CDialog::ExecuteDlgInit()
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(m_nIDTemplate), kDlgInitResourceType);
    if (!found) return TRUE;
    HGLOBAL loaded = ::LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data) return FALSE;
    const BYTE* end = data + ::SizeofResource(module, found);
    // Entries: control id (WORD), message (WORD), length (DWORD), data; a zero id ends them.
    while (data + sizeof(WORD) <= end) {
        WORD controlId, message;
        DWORD length;
        memcpy(&controlId, data, sizeof controlId);
        if (controlId == 0) break;
        if (data + 8 > end) return FALSE;
        memcpy(&message, data + 2, sizeof message);
        memcpy(&length, data + 4, sizeof length);
        data += 8;
        if (data + length > end) return FALSE;
        if (message == kDlgInitComboAddString) {
            ::SendDlgItemMessageA(m_hWnd, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data));
        }
        data += length;
    }
    return TRUE;
}

BOOL CDialog::IsCommandGreyed(WPARAM wParam, LPARAM lParam) const
{
    // Only menu items and accelerators: a greyed command is delivered from neither.
    if (lParam != 0 || HIWORD(wParam) > 1) return FALSE;
    HMENU menu = ::GetMenu(m_hWnd);
    if (!menu) return FALSE;
    const UINT state = ::GetMenuState(menu, LOWORD(wParam), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        self->m_hWnd = hWnd;
        RegisterPermanent(hWnd, self);
        return self->OnInitDialog();
    }
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!self) return FALSE;

    if (message == WM_NCDESTROY) {
        UnregisterPermanent(hWnd);
        self->m_hWnd = nullptr;
        self->m_bInModalLoop = false;
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == self) {
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        return FALSE;
    }
    if ((message == WM_COMMAND && lParam != 0) || message == WM_NOTIFY) {
        if (self->m_bLockNotifications) return TRUE;
    }
    if (message == WM_COMMAND && self->IsCommandGreyed(wParam, lParam)) return TRUE;

    LRESULT result = 0;
    if (!self->OnWndMsg(message, wParam, lParam, &result)) return FALSE;
    switch (message) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

BOOL AfxPumpMessage()
{
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}
