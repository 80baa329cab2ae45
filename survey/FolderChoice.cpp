#include "survey/FolderChoice.h"

#include "framework/Handles.h"
#include "mainwnd/LinkSurveyDlg.h"

BrowseForFolderFunction g_pfnShowFolderPicker = &::SHBrowseForFolderW;

int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data) ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

int BrowseForFolder(HWND owner, const WCHAR* initialPath, WCHAR* buffer, int capacity)
{
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"指定したフォルダ以下を全て検索します";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = &BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(initialPath);
    LPITEMIDLIST chosen = g_pfnShowFolderPicker(&info);
    if (!chosen) return 2;

    WCHAR path[MAX_PATH] = {};
    const BOOL isFolder = ::SHGetPathFromIDListW(chosen, path);
    CComPtr<IMalloc> allocator;
    if (SUCCEEDED(::SHGetMalloc(allocator.Receive()))) allocator->Free(chosen);
    // An item without a file-system path must never become the folder to survey.
    if (!isFolder || path[0] == L'\0') return 2;
    if (::lstrlenW(path) < capacity) ::lstrcpyW(buffer, path);
    return 1;
}

CStringW RemoveTrailingBackslash(const CStringW& path)
{
    const std::wstring& text = path.str();
    if (!text.empty() && text.back() == L'\\') return CStringW(text.substr(0, text.size() - 1));
    return path;
}

void CLinkSurveyDlg::OnToolSelectFolder()
{
    WCHAR chosen[MAX_PATH] = {};
    if (BrowseForFolder(m_hWnd, m_strFolder, chosen, MAX_PATH) != 1) return;
    // A running survey keeps the folder it started with.
    m_strFolder = RemoveTrailingBackslash(chosen);
    m_bStartMenuSurvey = false;
    SetWindowText(MainWindowTitle(m_strFolder));
}
