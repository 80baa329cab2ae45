// The survey's commands in the main window: F5 surveys what the title names
// (the chosen folder, or the Start Menu and the desktop), Shift+F5 the Start
// Menu and the desktop, Esc stops it.
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"
#include "survey/HotkeyNames.h"
#include "survey/ShellLink.h"
#include "survey/StartMenuFolders.h"

const WCHAR kStartMenuTitle[] = L"スタートメニューとデスクトップ - Lirvan";

void CLinkSurveyDlg::OnToolScan()
{
    if (m_bStartMenuSurvey) {
        StartSurvey(StartMenuAndDesktopFolders());
    } else {
        // The survey takes its own copy of the folder: it may be changed while the survey runs.
        StartSurvey({m_strFolder});
    }
}

void CLinkSurveyDlg::OnToolScanStartMenu()
{
    m_bStartMenuSurvey = true;
    SetWindowText(kStartMenuTitle);
    StartSurvey(StartMenuAndDesktopFolders());
}

void CLinkSurveyDlg::StartSurvey(std::vector<CStringW> folders)
{
    HMENU menu = GetMenu();
    if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN, MF_BYCOMMAND | MF_GRAYED);
    if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN_START_MENU, MF_BYCOMMAND | MF_GRAYED);
    // The last survey's unread files go with its rows; the list comes back when this one ends.
    if (menu) ::EnableMenuItem(menu, ID_TOOL_UNREAD_FILES, MF_BYCOMMAND | MF_GRAYED);
    m_listCtrl.DeleteAllItems();
    if (!m_survey.Start(std::move(folders), m_hWnd, WM_LIRVAN_SURVEY)) {
        if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN, MF_BYCOMMAND | MF_ENABLED);
        if (menu) ::EnableMenuItem(menu, ID_TOOL_SCAN_START_MENU, MF_BYCOMMAND | MF_ENABLED);
        m_tableState = TableState::kNoSurvey;
        UpdateStatusBar();
        MarkSharedKeys();
        AfxMessageBox("調査を開始できませんでした。", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SetBusyState(0);
    m_tableState = TableState::kSurveying;
    UpdateStatusBar();
    MarkSharedKeys();
}

void CLinkSurveyDlg::StopSurvey()
{
    if (!m_survey.IsRunning()) return;
    m_survey.Stop();
    TakeSurveyResults();
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
