// The survey: a worker walks the folder tree, opening and checking each link
// file, while a reader thread has the service read them and makes their rows.
#include <objbase.h>

#include <system_error>
#include <thread>

#include "framework/FileFind.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "survey/HotkeyNames.h"
#include "survey/LinkQueue.h"
#include "survey/ShellLink.h"

namespace {
// Names that end in .lnk or .pif, in any case.
bool IsLinkFileName(const CStringW& name)
{
    if (name.GetLength() < 4) return false;
    const WCHAR* tail = static_cast<const WCHAR*>(name) + name.GetLength() - 4;
    return ::lstrcmpiW(tail, L".lnk") == 0 || ::lstrcmpiW(tail, L".pif") == 0;
}
}  // namespace

void CLinkSurveyDlg::OnToolScan()
{
    HMENU menu = GetMenu();
    if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN, MF_BYCOMMAND | MF_GRAYED);
    // The last survey's unread files go with its rows; the list comes back when this one ends.
    if (menu) ::EnableMenuItem(menu, ID_TOOL_UNREAD_FILES, MF_BYCOMMAND | MF_GRAYED);
    m_bScanning = 1;
    m_listCtrl.DeleteAllItems();
    m_unreadFiles.clear();
    m_tableState = TableState::kSurveying;
    UpdateStatusBar();
    MarkSharedKeys();
    // The worker's own copy, taken here on this thread: the folder may be changed
    // while the survey runs.
    m_strScanFolder = m_strFolder;
    if (!AfxBeginThread(&CLinkSurveyDlg::ScanThreadProc, this)) {
        m_bScanning = 0;
        if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN, MF_BYCOMMAND | MF_ENABLED);
        m_tableState = TableState::kNoSurvey;
        UpdateStatusBar();
        AfxMessageBox("調査を開始できませんでした。", MB_OK | MB_ICONEXCLAMATION);
    }
}

UINT CLinkSurveyDlg::ScanThreadProc(LPVOID param)
{
    auto* dlg = static_cast<CLinkSurveyDlg*>(param);
    if (!dlg) return static_cast<UINT>(-1);
    dlg->SetBusyState(0);
    dlg->m_batch = ShortcutBatch();
    dlg->m_targetCheck = CTargetCheck();
    // The service reads on a thread of its own while this one walks on and
    // opens and checks the next files.
    CLinkQueue queue;
    std::thread reader;
    try {
        reader = std::thread([dlg, &queue] { dlg->WithLinkObject([dlg, &queue] { dlg->ReadQueuedLinks(queue); }); });
    } catch (const std::system_error&) {
        // No second thread: this one reads each link as it finds it.
    }
    if (reader.joinable()) {
        dlg->m_pLinkQueue = &queue;
        dlg->ScanFolder(dlg->m_strScanFolder, dlg->m_listCtrl);
        queue.Finish();
        reader.join();
        queue.CloseRead();  // before the busy state ends: the user may edit any link then
        dlg->m_pLinkQueue = nullptr;
    } else {
        dlg->WithLinkObject([dlg] { dlg->ScanFolder(dlg->m_strScanFolder, dlg->m_listCtrl); });
    }
    // Also after a stop: every row read is kept.
    dlg->HandOverRows(dlg->m_listCtrl, true);
    // Cleared before the start command comes back, so it never clears a later survey's flag.
    dlg->m_bScanning = 0;
    dlg->SetBusyState(1);
    return 0;
}

void CLinkSurveyDlg::WithLinkObject(const std::function<void()>& read)
{
    // Without COM no link can be read: the survey stops, but every link found
    // is still taken, so that the walk never waits for a reader that is not there.
    const HRESULT com = ::CoInitialize(nullptr);
    if (FAILED(com)) m_bScanning = 0;
    {
        CShellLinkObject linkObject;  // released before COM goes
        m_pLinkObject = &linkObject;
        read();
        m_pLinkObject = nullptr;
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
}

void CLinkSurveyDlg::ReadQueuedLinks(CLinkQueue& queue)
{
    for (;;) {
        QueuedLink link;
        const CLinkQueue::Taken taken = queue.Pop(&link, kHandOverIntervalMs);
        if (taken == CLinkQueue::Taken::kEnd) break;
        if (taken == CLinkQueue::Taken::kTimedOut) {
            HandOverRows(m_listCtrl, false);  // rows read while the walk passes other files
            continue;
        }
        // Esc: the links opened meanwhile are let go unread.
        if (m_bScanning != 0) AddShortcutRow(link, m_listCtrl);
        queue.Read(std::move(link.file));
    }
}

void CLinkSurveyDlg::ScanFolder(CStringW folder, CListCtrl& list)
{
    // Any depth: the finder hands long paths on in the form that has no limit.
    const CStringW pattern = folder + L"\\*.*";
    CFileFind finder;
    if (!finder.FindFile(pattern)) return;
    BOOL more = TRUE;
    while (more) {
        if (m_bScanning == 0) break;  // Esc: stop at every depth
        if (m_pLinkQueue) m_pLinkQueue->CloseRead();  // held no longer than one entry after their read
        more = finder.FindNextFile();
        const CStringW name = finder.GetFileName();
        if (name == L"." || name == L"..") continue;
        if (finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
            ScanFolder(folder + L"\\" + name, list);
        } else if (IsLinkFileName(name)) {
            QueuedLink link;
            link.strPath = finder.GetFilePath();
            link.file.Open(link.strPath);
            if (m_pLinkQueue) {
                m_pLinkQueue->Push(std::move(link));
            } else {
                AddShortcutRow(link, list);
            }
        }
    }
    finder.Close();
}

ShortcutRow MakeShortcutRow(const ShortcutInfo& info)
{
    ShortcutRow row;
    row.cells[0] = info.strLinkPath;
    row.cells[1] = info.strTarget;
    row.cells[2] = info.strArguments;
    row.cells[3] = info.strWorkDir;
    row.cells[4] = AnsiToWide(HotkeyToText(info.wHotkey));
    row.cells[5] = AnsiToWide(ShowCmdName(info.nShowCmd));
    row.cells[6] = info.strIconPath;
    CString index;
    index.Format("%d", info.nIconIndex < 0 ? 0 : info.nIconIndex);
    row.cells[7] = AnsiToWide(index);
    row.data = info.wHotkey & 0xFFFF;
    return row;
}

void CLinkSurveyDlg::AddShortcutRow(const QueuedLink& link, CListCtrl& list)
{
    const CStringW& path = link.strPath;
    ShortcutInfo info;
    info.strLinkPath = path;
    info.pChecked = &link.file;
    const HRESULT hr = g_pfnReadShellLink(m_hWnd, &info, m_pLinkObject);
    if (SUCCEEDED(hr)) {
        ShortcutRow& row = m_batch.rows.emplace_back(MakeShortcutRow(info));
        // A link whose target Windows could not find is as broken as one whose target is gone.
        row.bTargetMissing = info.bUnresolved || m_targetCheck.IsMissing(info.strTarget);
    } else {
        m_batch.unread.push_back(UnreadFile{path, hr, info.check});
    }
    HandOverRows(list, false);
}
