#include "framework/FontDialog.h"

#include "framework/Wnd.h"
#include "framework/WinApp.h"

ChooseFontFunction g_pfnChooseFont = &::ChooseFontA;

namespace {
// Our own hook, as the framework installs one; it leaves every message to the dialog.
UINT_PTR CALLBACK FontDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
}  // namespace

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HDC printer, CWnd* parent) : m_pParentWnd(parent)
{
    m_cf.lStructSize = sizeof m_cf;
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = flags | CF_ENABLEHOOK;
    m_cf.lpfnHook = &FontDialogHook;
    m_cf.hDC = printer;
    if (initial) {
        m_lf = *initial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
}

INT_PTR CFontDialog::DoModal()
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_cf.hwndOwner = owner ? owner->m_hWnd : nullptr;
    return g_pfnChooseFont(&m_cf) ? IDOK : IDCANCEL;
}
