// The main window: a dialog whose one report list holds the survey's results.
// Its members are defined in the folders of the features they belong to.
#pragma once
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Font.h"
#include "framework/WideString.h"
#include "survey/LinkSurvey.h"

// Posted by the survey when it has results for the table.
constexpr UINT WM_LIRVAN_SURVEY = WM_APP + 2;

// The list's state bits that mark a row whose target is gone. The list has no
// image list, so this overlay index draws nothing; being the item's own state,
// it moves with its row in a sort and leaves cells and item data alone.
constexpr UINT kTargetMissingState = INDEXTOOVERLAYMASK(1);

class CLinkSurveyDlg : public CDialog {
public:
    CLinkSurveyDlg();
    ~CLinkSurveyDlg() override;

    // Nonzero: idle (Close and the survey, export and exit commands enabled); zero: busy.
    void SetBusyState(int enable);

    // Table columns (survey/TableColumns.cpp).
    void InsertColumns(CListCtrl& list);
    void FitColumnsToWindow(CListCtrl& list);
    void AutoSizeColumns(CListCtrl& list);
    // The widths the user sees, kept as they look on a monitor of another DPI.
    void ScaleColumnWidths(CListCtrl& list, UINT fromDpi, UINT toDpi);

    // Sizes follow the window's DPI (mainwnd/DpiChange.cpp): the list's font and
    // column widths, made for m_nDpi, are made anew for `dpi`.
    void ScaleToDpi(UINT dpi);
    // The list's font at the same size in points for another DPI (views/ListFont.cpp).
    void ScaleListFont(UINT fromDpi, UINT toDpi);

    // Survey (survey/FolderScan.cpp): Esc ends a running survey at once,
    // keeping the rows read so far.
    void StopSurvey();
    // Puts the survey's results into the table, at most `mostRows` rows at once
    // (survey/RowHandOver.cpp).
    void TakeSurveyResults(size_t mostRows = static_cast<size_t>(-1));
    // The files the last survey found and could not read.
    const std::vector<UnreadFile>& UnreadFiles() const { return m_survey.UnreadFiles(); }

    // Rows that need attention (views/RowMarks.cpp): works out again which
    // shortcut keys more than one row has, in one pass over the table.
    void MarkSharedKeys();

    // Greys what the row menu cannot do for `row` now (edit/RowMenu.cpp).
    void UpdateRowMenu(HMENU menu, int row) const;

    // The status bar's count of rows and unread files (mainwnd/StatusBar.cpp).
    void UpdateStatusBar();
    // Lays out the list above the status bar in a client area of cx by cy.
    void LayOutControls(int cx, int cy);

    CFont m_font;
    CStringW m_strFolder;  // any folder, also one the code page cannot spell
    // F5 surveys the Start Menu and the desktop instead of m_strFolder: the title names them.
    bool m_bStartMenuSurvey = false;
    CListCtrl m_listCtrl;
    CWnd m_statusBar;
    enum class TableState { kNoSurvey, kSurveying, kSurveyed };
    TableState m_tableState = TableState::kNoSurvey;  // what the table shows, for the status bar
    HICON m_hIcon = nullptr;
    std::vector<unsigned char> m_keyUse;  // rows per shortcut key, counted up to 2
    UINT m_nDpi = kBaseDpi;  // the DPI that the list's font and column widths are sized for

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnDpiChanged(WPARAM dpi, LPARAM suggestedRect);
    LRESULT OnSurveyResults(WPARAM, LPARAM);
    void OnListCustomDraw(NMHDR* notify, LRESULT* result);
    void OnListDeleteAllItems(NMHDR* notify, LRESULT* result);
    void AppendRow(const ShortcutRow& row);

    // Command handlers, each in the folder of its feature.
    void OnToolScan();
    void OnToolScanStartMenu();
    void StartSurvey(std::vector<CStringW> folders);
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
    void OnFileSaveSpreadsheetCsv();  // export/SpreadsheetCsv.cpp
    void OnWebBoard();
    void OnWebHome();
    void OnFileViewList();
    void OnToolUnreadFiles();

    // The row commands (edit/RowMenu.cpp): on the selected row, from the list's
    // context menu or their keys.
    LRESULT OnContextMenu(WPARAM window, LPARAM position);
    void OnRowOpenLinkFolder();
    void OnRowOpenTargetFolder();
    void OnRowProperties();
    void OnRowRecycle();
    void OnRowCopyPath();
    int SelectedRow() const;
    bool HasOpenableTarget(int row) const;

    // True while Close in the system menu is greyed: a survey is running.
    bool IsCloseGreyed() const;

    CLinkSurvey m_survey;

    DECLARE_MESSAGE_MAP()
};

// The main window's title for a survey folder: the folder exactly as given, then "\ - Lirvan".
CStringW MainWindowTitle(const CStringW& folder);
// The title while F5 surveys the Start Menu and the desktop.
extern const WCHAR kStartMenuTitle[];

// Where the minimised window draws its icon: centred, truncating toward zero.
POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// The run-size text of a show command (survey/TableColumns.cpp).
const char* ShowCmdName(int showCmd);
