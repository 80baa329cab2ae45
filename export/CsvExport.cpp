// Export of the survey table: shlink.txt beside the program, the clipboard, and
// opening shlink.txt.
#include "export/CsvExport.h"

#include <shellapi.h>

#include <cstring>

#include "app/ProgramFolder.h"
#include "framework/StdioFile.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"

namespace {
constexpr int kLastColumn = 7;
constexpr UINT kConfirm = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;  // Cancel is the default
const char kCsvFileName[] = "shlink.txt";

// Save and copy refuse an empty table before they ask anything.
bool RefuseEmptyTable(const CListCtrl& list)
{
    if (list.GetItemCount() != 0) return false;
    AfxMessageBox("データが空です", MB_ICONEXCLAMATION);
    return true;
}
}  // namespace

CString BuildCsvText(const CListCtrl& list)
{
    CString text;
    // The count is read again before each row.
    for (int row = 0; row <= list.GetItemCount() - 1; ++row) {
        CString line;
        for (int column = 0; column < kLastColumn; ++column) {
            line += list.GetItemText(row, column);
            line += ',';
        }
        line += list.GetItemText(row, kLastColumn);
        text += line;
        text += '\n';
    }
    return text;
}

void WriteCsvFile(const CString& folder, const CString& text)
{
    try {
        const CString path = folder + kCsvFileName;
        // Others may read the file while we write it, not write it.
        CStdioFile file(path, CStdioFile::typeText | CStdioFile::modeCreate | CStdioFile::shareDenyWrite |
                                  CStdioFile::modeWrite);
        file.WriteString(text);
        file.Close();
    } catch (const CFileException& error) {
        error.ReportError();
    } catch (...) {
        AfxMessageBox("予期せぬエラーが発生しました", MB_OK);
    }
}

void CopyCsvToClipboard(HWND owner, const CString& text)
{
    if (!::OpenClipboard(owner)) {
        AfxMessageBox("クリップボードを使用できません", MB_ICONEXCLAMATION);
        return;
    }
    // No EmptyClipboard: the text is set beside the other formats, which stay.
    const SIZE_T size = static_cast<SIZE_T>(text.GetLength()) + 1;
    if (HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {
        if (void* data = ::GlobalLock(block)) {
            std::memcpy(data, text.c_str(), size);
            const bool handedOver = ::SetClipboardData(CF_TEXT, block) != nullptr;
            ::GlobalUnlock(block);
            if (!handedOver) ::GlobalFree(block);  // still ours
        } else {
            ::GlobalFree(block);
        }
    }
    ::CloseClipboard();
}

void CLinkSurveyDlg::OnFileSaveCsv()
{
    if (RefuseEmptyTable(m_listCtrl)) return;
    if (AfxMessageBox("Lirvan と同じフォルダに shlink.txt として保存します", kConfirm) == IDCANCEL) return;
    CString folder;
    if (!GetProgramFolder(&folder)) return;
    const CString text = BuildCsvText(m_listCtrl);
    WriteCsvFile(folder, text);
}

void CLinkSurveyDlg::OnFileCopyCsv()
{
    if (RefuseEmptyTable(m_listCtrl)) return;
    if (AfxMessageBox("表示中のデータを CSV 形式でクリップボードにコピーします", kConfirm) == IDCANCEL) return;
    const CString text = BuildCsvText(m_listCtrl);
    CopyCsvToClipboard(m_hWnd, text);
}

void CLinkSurveyDlg::OnFileViewList()
{
    // The file the save command writes, whatever the current directory is.
    CString folder;
    const CString path = GetProgramFolder(&folder) ? folder + kCsvFileName : CString(kCsvFileName);
    g_pfnShellExecute(nullptr, "open", path, nullptr, nullptr, SW_SHOW);
}
