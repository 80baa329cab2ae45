// What the user can do with a row without leaving the program: the list's
// context menu and the keys of its commands.
#include <windows.h>
#include <windowsx.h>

#include "edit/ShellActions.h"
#include "export/CsvExport.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "res/resource.h"

namespace {
constexpr int kPathColumn = 0;
constexpr int kTargetColumn = 1;

void ReportFailure(const char* what, const CStringW& path, HRESULT hr)
{
    CStringW text = AnsiToWide(what) + L"\n" + path;
    const CStringW message = SystemMessage(hr);
    if (!message.IsEmpty()) text += L"\n\n" + message;
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}
}  // namespace

int CLinkSurveyDlg::SelectedRow() const { return m_listCtrl.GetNextItem(-1, LVNI_SELECTED); }

bool CLinkSurveyDlg::HasOpenableTarget(int row) const
{
    return (m_listCtrl.GetItemState(row, kTargetMissingState) & kTargetMissingState) != kTargetMissingState &&
           !m_listCtrl.GetItemTextW(row, kTargetColumn).IsEmpty();
}

void CLinkSurveyDlg::UpdateRowMenu(HMENU menu, int row) const
{
    const auto enable = [menu](UINT command, bool enabled) {
        ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(ID_ROW_OPEN_TARGET_FOLDER, HasOpenableTarget(row));
    enable(ID_ROW_RECYCLE, !IsCloseGreyed());  // no file moves while a survey reads
}

LRESULT CLinkSurveyDlg::OnContextMenu(WPARAM window, LPARAM position)
{
    if (reinterpret_cast<HWND>(window) != m_listCtrl.m_hWnd) return 0;
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    int row;
    if (position == -1) {
        // Shift+F10 or the menu key: the selected row, the menu below its text.
        row = SelectedRow();
        RECT rect;
        if (row < 0 || !m_listCtrl.GetItemRect(row, &rect, LVIR_LABEL)) return 0;
        point = {rect.left, rect.bottom};
        ::ClientToScreen(m_listCtrl.m_hWnd, &point);
    } else {
        POINT client = point;
        ::ScreenToClient(m_listCtrl.m_hWnd, &client);
        row = m_listCtrl.HitTest(client);
        if (row < 0) return 0;  // not on a row
        // The commands act on the selected row: the one the menu is for.
        const UINT selected = LVIS_SELECTED | LVIS_FOCUSED;
        m_listCtrl.SetItemState(row, selected, selected);
    }
    const CMenuHandle menus(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_ROW_MENU)));
    if (!menus.IsValid()) return 0;
    HMENU menu = ::GetSubMenu(menus, 0);
    UpdateRowMenu(menu, row);
    // The chosen command goes through the command table like any other.
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    return 0;
}

void CLinkSurveyDlg::OnRowOpenLinkFolder()
{
    const int row = SelectedRow();
    if (row < 0) return;
    const CStringW path = m_listCtrl.GetItemTextW(row, kPathColumn);
    if (HRESULT hr = g_pfnShowInFolder(m_hWnd, path); FAILED(hr)) ReportFailure("リンクの場所を開けませんでした。", path, hr);
}

void CLinkSurveyDlg::OnRowOpenTargetFolder()
{
    const int row = SelectedRow();
    if (row < 0 || !HasOpenableTarget(row)) return;
    const CStringW target = m_listCtrl.GetItemTextW(row, kTargetColumn);
    if (HRESULT hr = g_pfnShowInFolder(m_hWnd, target); FAILED(hr)) {
        ReportFailure("リンク先の場所を開けませんでした。", target, hr);
    }
}

void CLinkSurveyDlg::OnRowProperties()
{
    const int row = SelectedRow();
    if (row < 0) return;
    const CStringW path = m_listCtrl.GetItemTextW(row, kPathColumn);
    if (HRESULT hr = g_pfnShowProperties(m_hWnd, path); FAILED(hr)) {
        ReportFailure("プロパティを表示できませんでした。", path, hr);
    }
}

void CLinkSurveyDlg::OnRowRecycle()
{
    const int row = SelectedRow();
    if (row < 0 || IsCloseGreyed()) return;
    const CStringW path = m_listCtrl.GetItemTextW(row, kPathColumn);
    const CStringW question = AnsiToWide("このリンクをごみ箱へ移動しますか？") + L"\n\n" + path;
    if (AfxMessageBox(question, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDOK) return;
    const HRESULT hr = MoveToRecycleBin(m_hWnd, path);
    if (FAILED(hr)) ReportFailure("ごみ箱へ移動できませんでした。", path, hr);
    if (hr != S_OK) return;  // the file and its row stay
    m_listCtrl.DeleteItem(row);
    MarkSharedKeys();
    UpdateStatusBar();
}

void CLinkSurveyDlg::OnRowCopyPath()
{
    const int row = SelectedRow();
    if (row >= 0) CopyTextToClipboard(m_hWnd, m_listCtrl.GetItemTextW(row, kPathColumn));
}
