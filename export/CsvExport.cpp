// Export of the survey table: shlink.txt beside the program, the clipboard, and
// opening shlink.txt.
#include "export/CsvExport.h"

#include <shellapi.h>

#include <cstring>

#include "app/ProgramFolder.h"
#include "framework/Handles.h"
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

template <typename Text, typename ReadCell>
Text BuildCsv(const CListCtrl& list, ReadCell readCell, const Text& comma, const Text& lineEnd)
{
    Text text;
    // The count is read again before each row.
    for (int row = 0; row <= list.GetItemCount() - 1; ++row) {
        Text line;
        for (int column = 0; column < kLastColumn; ++column) {
            line += readCell(row, column);
            line += comma;
        }
        line += readCell(row, kLastColumn);
        text += line;
        text += lineEnd;
    }
    return text;
}

// One global block holding `size` bytes, handed to the clipboard as `format`.
void SetClipboardBytes(UINT format, const void* bytes, SIZE_T size)
{
    CGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    void* data = block.IsValid() ? ::GlobalLock(block) : nullptr;
    if (!data) return;
    std::memcpy(data, bytes, size);
    ::GlobalUnlock(block);
    // The clipboard owns it once it took it; otherwise it is still ours to free.
    if (::SetClipboardData(format, block)) block.Detach();
}
}  // namespace

CString BuildCsvText(const CListCtrl& list)
{
    return BuildCsv(list, [&list](int row, int column) { return list.GetItemText(row, column); }, CString(","),
                    CString("\n"));
}

CStringW BuildCsvTextW(const CListCtrl& list)
{
    return BuildCsv(list, [&list](int row, int column) { return list.GetItemTextW(row, column); }, CStringW(L","),
                    CStringW(L"\n"));
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

void CopyTextToClipboard(HWND owner, const CStringW& text)
{
    if (!::OpenClipboard(owner)) {
        AfxMessageBox("クリップボードを使用できません", MB_ICONEXCLAMATION);
        return;
    }
    // Emptied first: a Unicode program would otherwise paste the Unicode text
    // that was there before, and the system makes none from ours for others.
    ::EmptyClipboard();
    // The list's narrow cells are this same conversion, cell by cell.
    const CString bytes = WideToAnsi(text);
    SetClipboardBytes(CF_TEXT, bytes.c_str(), static_cast<SIZE_T>(bytes.GetLength()) + 1);
    SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (static_cast<SIZE_T>(text.GetLength()) + 1) * sizeof(WCHAR));
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
    CopyTextToClipboard(m_hWnd, BuildCsvTextW(m_listCtrl));
}

void CLinkSurveyDlg::OnFileViewList()
{
    // The file the save command writes, whatever the current directory is.
    CString folder;
    const CString path = GetProgramFolder(&folder) ? folder + kCsvFileName : CString(kCsvFileName);
    g_pfnShellExecute(nullptr, "open", path, nullptr, nullptr, SW_SHOW);
}
