// Dialog data exchange: moves values between a dialog's members and its controls.
#pragma once
#include "framework/WideString.h"
#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members, with validation
    CDialog* m_pDlgWnd;       // we don't own it

    // The control that the last exchange worked on, for the focus after a failure.
    HWND PrepareCtrl(int id);
    // Ends the exchange with failure: the focus goes to the last control.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
};

// Thrown by CDataExchange::Fail, caught by UpdateData.
struct CUserException {};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CStringW& value);
// Loads "%d"; saves a whole number (blanks and tabs around it allowed) or fails
// with the framework's message.
void DDX_Text(CDataExchange* dx, int id, int& value);
// The selected index of a combo box, -1 for none.
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// Checks only while saving: outside the bounds shows the framework's range message.
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);

// Reads a whole decimal number the way data exchange accepts it.
bool AfxParseInt(const char* text, int* value);
