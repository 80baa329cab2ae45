// The main window: a dialog whose one report list holds the survey's results.
// Its members are defined in the folders of the features they belong to.
#pragma once
#include <atomic>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Font.h"
#include "framework/WideString.h"

// Sent to the main window to change the busy state on its own thread.
constexpr UINT WM_LIRVAN_SETBUSY = WM_APP + 1;
// Sent by the survey's worker for every link file it meets: lParam is the finished
// row (a ShortcutRow), or null when the link could not be read.
constexpr UINT WM_LIRVAN_ADDROW = WM_APP + 2;

// One table row: the eight cell texts in column order, exactly as read, and the item data.
struct ShortcutRow {
    CStringW cells[8];
    DWORD data = 0;
};

class CLinkSurveyDlg : public CDialog {
public:
    CLinkSurveyDlg();
    ~CLinkSurveyDlg() override;

    // Nonzero: idle (Close and the survey, export and exit commands enabled); zero: busy.
    // Safe to call from any thread: the change is made on the window's own thread.
    void SetBusyState(int enable);

    // Table columns (survey/TableColumns.cpp).
    void InsertColumns(CListCtrl& list);
    void FitColumnsToWindow(CListCtrl& list);
    void AutoSizeColumns(CListCtrl& list);

    // Survey (survey/FolderScan.cpp).
    static UINT ScanThreadProc(LPVOID param);
    void ScanFolder(CStringW folder, CListCtrl& list);
    void AddShortcutRow(CStringW path, CListCtrl& list);

    CFont m_font;
    CString m_strFolder;
    std::atomic<int> m_bScanning{0};  // the stop request: the worker reads it before every entry
    CListCtrl m_listCtrl;
    HICON m_hIcon = nullptr;
    CString m_strScanFolder;  // the running survey's folder, copied by the start command

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnSetBusyState(WPARAM enable, LPARAM);
    LRESULT OnAddRow(WPARAM, LPARAM row);

    // Command handlers, each in the folder of its feature.
    void OnToolScan();
    void OnHelpAbout();
    void OnHelpContents();
    void OnListDblClk(NMHDR* notify, LRESULT* result);
    void OnToolFitText();
    void OnToolFitWindow();
    void OnColumnClick(NMHDR* notify, LRESULT* result);
    void OnToolSelectFolder();
    void OnToolFont();
    void OnFileSaveCsv();
    void OnFileCopyCsv();
    void OnWebBoard();
    void OnWebHome();
    void OnFileViewList();

    // True while Close in the system menu is greyed: a survey is running.
    bool IsCloseGreyed() const;

    DECLARE_MESSAGE_MAP()
};

// The main window's title for a survey folder: the folder exactly as given, then "\ - Lirvan".
CString MainWindowTitle(const CString& folder);

// Where the minimised window draws its icon: centred, truncating toward zero.
POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// The run-size text of a show command (survey/TableColumns.cpp).
const char* ShowCmdName(int showCmd);
