#include "survey/FolderChoice.h"

#include "mainwnd/LinkSurveyDlg.h"

BrowseForFolderFunction g_pfnShowFolderPicker = &::SHBrowseForFolderA;

int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data) ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

int BrowseForFolder(HWND owner, const char* initialPath, char* buffer, int capacity)
{
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = "指定したフォルダ以下を全て検索します";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = &BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(initialPath);
    LPITEMIDLIST chosen = g_pfnShowFolderPicker(&info);
    if (!chosen) return 2;

    char path[MAX_PATH] = {};
    const BOOL isFolder = ::SHGetPathFromIDListA(chosen, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&allocator))) {
        allocator->Free(chosen);
        allocator->Release();
    }
    // An item without a file-system path must never become the folder to survey.
    if (!isFolder || path[0] == '\0') return 2;
    if (::lstrlenA(path) < capacity) ::lstrcpyA(buffer, path);
    return 1;
}

CString RemoveTrailingBackslash(const CString& path)
{
    const char* last = nullptr;
    for (const char* p = path; *p; p = ::CharNextA(p)) last = p;
    if (last && *last == '\\') {  // 0x5C as a character of its own, never as a trail byte
        return path.Left(static_cast<int>(last - static_cast<const char*>(path)));
    }
    return path;
}

void CLinkSurveyDlg::OnToolSelectFolder()
{
    char chosen[MAX_PATH] = {};
    if (BrowseForFolder(m_hWnd, m_strFolder, chosen, MAX_PATH) != 1) return;
    // A running survey keeps the folder it started with.
    m_strFolder = RemoveTrailingBackslash(chosen);
    SetWindowText(MainWindowTitle(m_strFolder));
}
