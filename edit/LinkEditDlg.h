// The dialog that edits one link's shortcut key, run size and icon index and
// writes the link file back at once.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"

class CLinkEditDlg : public CDialog {
public:
    CLinkEditDlg();
    ~CLinkEditDlg() override;

    // The preview's icons are the system's standard size at 96 DPI.
    static constexpr int kPreviewIconSize = 32;

    // Icon `index` of a file, `size` pixels square, or with index -1 the number of icons it holds.
    static HICON LoadIconFrom(const WCHAR* path, int index, int size = kPreviewIconSize);

    DWORD m_dwHotKey = 0;  // key code in the low byte, HOTKEYF_ modifiers in the next
    CStatic m_iconPreview;
    CSpinButtonCtrl m_spinIconIndex;
    CHotKeyCtrl m_hotKeyCtrl;
    CEdit m_editWorkDir;
    CEdit m_editTarget;
    CEdit m_editLinkPath;
    CEdit m_editIconPath;
    CEdit m_editIconIndex;
    CEdit m_editArguments;
    CComboBox m_comboRunSize;
    CButton m_btnUpdate;
    CButton m_btnCancel;
    int m_nRunSize = -1;  // 0 normal window, 1 minimised, 2 maximised, -1 none
    // The link's texts, exactly as the table holds them.
    CStringW m_strArguments;
    int m_nIconIndex = 0;
    CStringW m_strIconPath;
    CStringW m_strLinkPath;
    CStringW m_strTarget;
    CStringW m_strWorkDir;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnIconIndexChange();

private:
    // Shows an icon in the preview; the one it replaces is destroyed.
    void ShowPreview(HICON icon);
    // The preview's icon size at the dialog's DPI.
    int PreviewIconSize() const;
    HICON m_hPreview = nullptr;  // we own it

    DECLARE_MESSAGE_MAP()
};
