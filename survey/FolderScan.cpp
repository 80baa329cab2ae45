// The survey: a worker walks the folder tree and appends one row per link file.
#include <objbase.h>

#include "framework/FileFind.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "survey/HotkeyNames.h"
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
    m_bScanning = 1;
    m_listCtrl.DeleteAllItems();
    // The worker's own copy, taken here on this thread: the folder may be changed
    // while the survey runs.
    m_strScanFolder = m_strFolder;
    if (!AfxBeginThread(&CLinkSurveyDlg::ScanThreadProc, this)) {
        m_bScanning = 0;
        if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN, MF_BYCOMMAND | MF_ENABLED);
        AfxMessageBox("調査を開始できませんでした。", MB_OK | MB_ICONEXCLAMATION);
    }
}

UINT CLinkSurveyDlg::ScanThreadProc(LPVOID param)
{
    const HRESULT com = ::CoInitialize(nullptr);
    auto* dlg = static_cast<CLinkSurveyDlg*>(param);
    if (!dlg) {
        if (SUCCEEDED(com)) ::CoUninitialize();
        return static_cast<UINT>(-1);
    }
    dlg->SetBusyState(0);
    // Without COM no link can be read: skip the walk, but leave the busy state all the same.
    if (SUCCEEDED(com)) dlg->ScanFolder(AnsiToWide(dlg->m_strScanFolder), dlg->m_listCtrl);
    // Cleared before the start command comes back, so it never clears a later survey's flag.
    dlg->m_bScanning = 0;
    dlg->SetBusyState(1);
    if (SUCCEEDED(com)) ::CoUninitialize();
    return 0;
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
        more = finder.FindNextFile();
        const CStringW name = finder.GetFileName();
        if (name == L"." || name == L"..") continue;
        if (finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
            ScanFolder(folder + L"\\" + name, list);
        } else if (IsLinkFileName(name)) {
            AddShortcutRow(finder.GetFilePath(), list);  // also repaints the table
        }
    }
    finder.Close();
}

void CLinkSurveyDlg::AddShortcutRow(CStringW path, CListCtrl& list)
{
    ShortcutInfo info = {};
    info.strLinkPath = path;
    ShortcutRow row;
    const bool read = SUCCEEDED(ReadShellLink(m_hWnd, &info));
    if (read) {
        row.cells[0] = path;
        row.cells[1] = info.szTarget;
        row.cells[2] = info.szArguments;
        row.cells[3] = info.szWorkDir;
        row.cells[4] = AnsiToWide(HotkeyToText(info.wHotkey));
        row.cells[5] = AnsiToWide(ShowCmdName(info.nShowCmd));
        row.cells[6] = info.szIconPath;
        CString index;
        index.Format("%d", info.nIconIndex < 0 ? 0 : info.nIconIndex);
        row.cells[7] = AnsiToWide(index);
        row.data = info.wHotkey & 0xFFFF;
    }
    // One synchronous hand-over per link: the row is appended and painted on the
    // window's own thread while this one waits.
    ::SendMessageA(::GetParent(list.m_hWnd), WM_LIRVAN_ADDROW, 0, read ? reinterpret_cast<LPARAM>(&row) : 0);
}

LRESULT CLinkSurveyDlg::OnAddRow(WPARAM, LPARAM rowParam)
{
    if (const auto* row = reinterpret_cast<const ShortcutRow*>(rowParam)) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = m_listCtrl.GetItemCount();  // after every row: the list has no sort style
        item.pszText = const_cast<WCHAR*>(static_cast<const WCHAR*>(row->cells[0]));
        const int index = m_listCtrl.InsertItem(item);
        if (index >= 0) {
            for (int column = 1; column < 8; ++column) m_listCtrl.SetItemText(index, column, row->cells[column]);
            m_listCtrl.SetItemData(index, row->data);
        }
    }
    m_listCtrl.UpdateWindow();  // show the progress at once, also for a link that could not be read
    return 0;
}
