#include "framework/DataExchange.h"

#include "framework/Dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "framework/WinApp.h"

namespace {
constexpr UINT kParseIntPrompt = 61712;   // "整数を入力してください。"
constexpr UINT kIntRangePrompt = 61714;   // "%1 から %2 までの整数を入力してください。"
constexpr int kMaxIntText = 31;

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }
}  // namespace

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

void DDX_Text(CDataExchange* dx, int id, CStringW& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
        const int copied = ::GetWindowTextW(control, &text[0], static_cast<int>(text.size()));
        value = CStringW(text.c_str(), copied);
    } else {
        ::SetWindowTextW(control, value);
    }
}

bool AfxParseInt(const char* text, int* value)
{
    if (std::strlen(text) > static_cast<size_t>(kMaxIntText)) return false;
    while (IsBlank(*text)) ++text;
    const char* digits = (*text == '-' || *text == '+') ? text + 1 : text;
    if (*digits < '0' || *digits > '9') return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    while (IsBlank(*end)) ++end;
    if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
    *value = static_cast<int>(parsed);
    return true;
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        char text[64] = {};
        ::GetWindowTextA(control, text, sizeof text);
        if (!AfxParseInt(text, &value)) {
            AfxMessageBox(kParseIntPrompt, MB_ICONEXCLAMATION);
            dx->Fail();
        }
    } else {
        CString text;
        text.Format("%d", value);
        ::SetWindowTextA(control, text);
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum)
{
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
    CString low, high;
    low.Format("%ld", static_cast<long>(minimum));
    high.Format("%ld", static_cast<long>(maximum));
    AfxMessageBox(AfxFormatString2(kIntRangePrompt, low, high), MB_ICONEXCLAMATION);
    dx->Fail();
}
