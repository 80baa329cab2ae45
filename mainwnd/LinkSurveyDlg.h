// The main window: a dialog whose one report list holds the survey's results.
// Its members are defined in the folders of the features they belong to.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Font.h"
#include "framework/WideString.h"
#include "survey/ShellLink.h"
#include "survey/TargetCheck.h"

class CLinkQueue;
struct QueuedLink;

// Sent to the main window to change the busy state on its own thread.
constexpr UINT WM_LIRVAN_SETBUSY = WM_APP + 1;
// Posted by the survey's reader when it has queued rows for the table (wParam
// 0), and sent once at the end (wParam 1), when the reader waits until every
// queued row is in the table.
constexpr UINT WM_LIRVAN_ADDROWS = WM_APP + 2;

// The list's state bits that mark a row whose target is gone. The list has no
// image list, so this overlay index draws nothing; being the item's own state,
// it moves with its row in a sort and leaves cells and item data alone.
constexpr UINT kTargetMissingState = INDEXTOOVERLAYMASK(1);

// One table row: the eight cell texts in column order, exactly as read, and the item data.
struct ShortcutRow {
    CStringW cells[8];
    DWORD data = 0;
    bool bTargetMissing = false;  // drawn greyed; kept with the row in the list's state
};

// The row of a link's properties, its marks left unset (survey/FolderScan.cpp).
struct ShortcutInfo;
ShortcutRow MakeShortcutRow(const ShortcutInfo& info);

// A link file the survey found but could not read, and what the read gave.
struct UnreadFile {
    CStringW strPath;
    HRESULT hrStatus = S_OK;
    LinkCheckResult check = LinkCheckResult::kSound;  // what the structure check found
};

// Often enough that the table shows its progress smoothly and a row appears
// within about two intervals of being read; seldom enough that painting costs
// little next to reading.
constexpr DWORD kHandOverIntervalMs = 50;

// Rows read by the survey and not yet in the table, in walk order, and the
// files it could not read meanwhile.
struct ShortcutBatch {
    std::vector<ShortcutRow> rows;
    std::vector<UnreadFile> unread;
    DWORD dwLastHandOver = 0;  // tick count of the last hand-over
};

// The batches on their way from the reader to the window's thread, in walk order.
class CRowQueue {
public:
    // True when the window's thread must be told: nothing told is pending.
    bool Put(ShortcutBatch&& batch);
    // The telling failed: the next Put tells again.
    void Untold();
    // Every batch queued so far, oldest first.
    std::vector<ShortcutBatch> TakeAll();

private:
    std::mutex m_lock;
    std::vector<ShortcutBatch> m_batches;
    bool m_bTold = false;
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
    // The widths the user sees, kept as they look on a monitor of another DPI.
    void ScaleColumnWidths(CListCtrl& list, UINT fromDpi, UINT toDpi);

    // Sizes follow the window's DPI (mainwnd/DpiChange.cpp): the list's font and
    // column widths, made for m_nDpi, are made anew for `dpi`.
    void ScaleToDpi(UINT dpi);
    // The list's font at the same size in points for another DPI (views/ListFont.cpp).
    void ScaleListFont(UINT fromDpi, UINT toDpi);

    // Survey (survey/FolderScan.cpp).
    static UINT ScanThreadProc(LPVOID param);
    // Runs `read` with COM and a link object for all its reads on the calling thread.
    void WithLinkObject(const std::function<void()>& read);
    // The walk: opens and checks each link file and queues it for its read.
    void ScanFolder(CStringW folder, CListCtrl& list);
    // The reads, on a thread of their own, in the order the walk queued the links.
    void ReadQueuedLinks(CLinkQueue& queue);
    void AddShortcutRow(const QueuedLink& link, CListCtrl& list);
    // Hands the finished rows to the window's thread when their time has come
    // (survey/RowHandOver.cpp); `last` hands them over whatever the time and
    // says that the survey's rows are complete.
    void HandOverRows(CListCtrl& list, bool last);

    // Rows that need attention (views/RowMarks.cpp): works out again which
    // shortcut keys more than one row has, in one pass over the table.
    void MarkSharedKeys();

    // The status bar's count of rows and unread files (mainwnd/StatusBar.cpp).
    void UpdateStatusBar();
    // Lays out the list above the status bar in a client area of cx by cy.
    void LayOutControls(int cx, int cy);

    CFont m_font;
    CStringW m_strFolder;  // any folder, also one the code page cannot spell
    std::atomic<int> m_bScanning{0};  // the stop request: read before every entry and every read
    CListCtrl m_listCtrl;
    CWnd m_statusBar;
    std::vector<UnreadFile> m_unreadFiles;  // the last survey's, on the window's thread
    enum class TableState { kNoSurvey, kSurveying, kSurveyed };
    TableState m_tableState = TableState::kNoSurvey;  // what the table shows, for the status bar
    HICON m_hIcon = nullptr;
    CStringW m_strScanFolder;  // the running survey's folder, copied by the start command
    ShortcutBatch m_batch;    // the reader's own: rows not yet handed over
    CRowQueue m_handedOver;   // rows handed over, not yet in the table
    CTargetCheck m_targetCheck;  // the reader's own, new for every survey
    CShellLinkObject* m_pLinkObject = nullptr;  // the reader's, for all the survey's reads; we don't own it
    CLinkQueue* m_pLinkQueue = nullptr;  // the walk's, while a reader takes its links; we don't own it
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
    LRESULT OnSetBusyState(WPARAM enable, LPARAM);
    LRESULT OnAddRows(WPARAM last, LPARAM);
    void OnListCustomDraw(NMHDR* notify, LRESULT* result);
    void AppendRow(const ShortcutRow& row);

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
    void OnToolUnreadFiles();

    // True while Close in the system menu is greyed: a survey is running.
    bool IsCloseGreyed() const;

    DECLARE_MESSAGE_MAP()
};

// The main window's title for a survey folder: the folder exactly as given, then "\ - Lirvan".
CStringW MainWindowTitle(const CStringW& folder);

// Where the minimised window draws its icon: centred, truncating toward zero.
POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// The run-size text of a show command (survey/TableColumns.cpp).
const char* ShowCmdName(int showCmd);
