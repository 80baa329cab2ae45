// CDialog: a dialog built from its template, run modally by a message loop of our
// own so that PreTranslateMessage sees every message before IsDialogMessage does.
#pragma once
#include "framework/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Creates the dialog without running it (the modal loop, and tests, use this).
    BOOL Create(HWND owner);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The background and frame, as the dialog manager paints them.
    void OnPaint();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;  // we don't own it

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL ExecuteDlgInit();
    BOOL IsCommandGreyed(WPARAM wParam, LPARAM lParam) const;

    bool m_bInModalLoop = false;
    int m_nModalResult = -1;
    bool m_bLockNotifications = false;  // control notifications are ignored during data exchange
};

// Pumps one message: GetMessage, the PreTranslateMessage chain, dispatch.
// Returns FALSE when the message was WM_QUIT.
BOOL AfxPumpMessage();
