#include "export/SpreadsheetCsv.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "survey/TableColumns.h"

SaveFileNameFunction g_pfnGetSaveFileName = &::GetSaveFileNameW;
WriteFileFunction g_pfnWriteFile = &::WriteFile;

namespace {
const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool StartsFormula(WCHAR first)
{
    switch (first) {
    case L'=': case L'+': case L'-': case L'@': case L'\t': case L'\r':
    case L'\xFF1D': case L'\xFF0B': case L'\xFF0D': case L'\xFF20':  // ＝ ＋ － ＠
        return true;
    default:
        return false;
    }
}

void AppendField(std::string& line, const CStringW& cell)
{
    const std::string text = WideToUtf8(SpreadsheetSafeCell(cell));
    line += '"';
    for (char c : text) {
        if (c == '"') line += '"';  // a quote inside is doubled
        line += c;
    }
    line += '"';
}

CStringW DocumentsFolder()
{
    CTaskMemory<WCHAR> path;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, path.Receive()))) return CStringW();
    return CStringW(path.Get());
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        DWORD done = 0;
        if (!g_pfnWriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
        written += done;
    }
    return true;
}
}  // namespace

CStringW SpreadsheetSafeCell(const CStringW& cell)
{
    if (!cell.IsEmpty() && StartsFormula(cell.str()[0])) return CStringW(L"'") + cell;
    return cell;
}

std::string BuildSpreadsheetCsv(const CListCtrl& list)
{
    std::string text = kByteOrderMark;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) text += ',';
        AppendField(text, AnsiToWide(kColumnHeaders[column]));
    }
    text += "\r\n";
    for (int row = 0; row < list.GetItemCount(); ++row) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (column > 0) text += ',';
            AppendField(text, list.GetItemTextW(row, column));
        }
        text += "\r\n";
    }
    return text;
}

HRESULT WriteFileWhole(const CStringW& path, const std::string& bytes)
{
    const CStringW partial = path + L".partial";
    CHandle file(::CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return HRESULT_FROM_WIN32(::GetLastError());
    bool whole = WriteAll(file, bytes) && ::FlushFileBuffers(file);
    DWORD error = whole ? ERROR_SUCCESS : ::GetLastError();
    // Closed here, and checked: the last of the data may only fail now.
    if (!::CloseHandle(file.Detach()) && whole) {
        whole = false;
        error = ::GetLastError();
    }
    if (whole && !::MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        whole = false;
        error = ::GetLastError();
    }
    if (whole) return S_OK;
    ::DeleteFileW(partial);
    return HRESULT_FROM_WIN32(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
}

void CLinkSurveyDlg::OnFileSaveSpreadsheetCsv()
{
    if (m_listCtrl.GetItemCount() == 0) {
        AfxMessageBox("データが空です", MB_ICONEXCLAMATION);
        return;
    }
    WCHAR path[MAX_PATH * 4] = L"shlink.csv";
    const CStringW documents = DocumentsFolder();
    OPENFILENAMEW dialog = {sizeof dialog};
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = L"CSV (*.csv)\0*.csv\0すべてのファイル (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path / sizeof path[0];
    dialog.lpstrInitialDir = documents.IsEmpty() ? nullptr : documents.c_str();
    dialog.lpstrDefExt = L"csv";
    // Asks before it replaces a file.
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY;
    if (!g_pfnGetSaveFileName(&dialog)) return;
    const HRESULT hr = WriteFileWhole(path, BuildSpreadsheetCsv(m_listCtrl));
    if (FAILED(hr)) {
        AfxMessageBox(AnsiToWide("保存できませんでした。") + L"\n" + path + L"\n\n" + SystemMessage(hr), MB_ICONEXCLAMATION);
    }
}
