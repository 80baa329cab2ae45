#include "framework/DataExchange.h"

#include "framework/Dialog.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hWndLastControl = m_pDlgWnd->GetDlgItem(id);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr) control.Attach(dx->PrepareCtrl(id));
}
