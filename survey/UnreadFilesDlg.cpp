#include "survey/UnreadFilesDlg.h"

#include "export/CsvExport.h"
#include "framework/DataExchange.h"
#include "res/resource.h"
#include "survey/ShellLink.h"

namespace {
// What the structure check found, as the user reads it.
const char* CheckFinding(LinkCheckResult check)
{
    switch (check) {
    case LinkCheckResult::kIdListOutsideFile: return "リンク先の項目リスト（ID リスト）がファイルに収まっていません";
    case LinkCheckResult::kItemPastIdList: return "リンク先の項目リスト（ID リスト）が正しくありません";
    case LinkCheckResult::kLinkInfoPastFile: return "リンク先の場所の情報がファイルに収まっていません";
    default: return "構造が正しくありません";
    }
}

constexpr int kPathColumn = 0;
constexpr int kReasonColumn = 1;

// A read that the service never answered.
CStringW FailureReason(const UnreadFile& file)
{
    CString text;
    switch (file.failure) {
    case ReadFailure::kCrashed: text = "シェルリンク サービスが読み込み中に異常終了しました"; break;
    case ReadFailure::kTimedOut:
        text.Format("シェルリンク サービスが %lu 秒以内に応答しませんでした",
                    static_cast<unsigned long>((file.dwTimeLimitMs + 999) / 1000));
        break;
    case ReadFailure::kTooMuchMemory: text = "シェルリンク サービスが読み込みにメモリーを使いすぎました"; break;
    default: return AnsiToWide("読み込み用のプロセスを開始できませんでした: ") + SystemMessage(file.hrStatus);
    }
    return AnsiToWide(text);
}
}  // namespace

CStringW UnreadReason(const UnreadFile& file)
{
    const HRESULT hr = file.hrStatus;
    if (file.failure == ReadFailure::kNoReader) return FailureReason(file);
    // A file without a link's header that the service could not read either (a
    // program information file in no format it knows) is no link file.
    if (hr == kNotALink || (file.check == LinkCheckResult::kNoLinkHeader &&
                            (file.failure != ReadFailure::kNone || HRESULT_FACILITY(hr) != FACILITY_WIN32))) {
        return AnsiToWide("リンクファイルではありません");
    }
    // What the service did on it first, then the damage that says why.
    if (hr == kDamagedLink || (file.check != LinkCheckResult::kSound && file.check != LinkCheckResult::kNoLinkHeader)) {
        const CStringW damage = AnsiToWide("壊れています: ") + AnsiToWide(CheckFinding(file.check));
        return file.failure == ReadFailure::kNone ? damage : FailureReason(file) + AnsiToWide("。") + damage;
    }
    if (file.failure != ReadFailure::kNone) return FailureReason(file);
    const CStringW message = SystemMessage(hr);
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return AnsiToWide("開けませんでした: ") + message;
    CString status;
    status.Format("シェルリンク サービスが読み込めませんでした（状態 0x%08lX）", static_cast<unsigned long>(hr));
    return message.IsEmpty() ? AnsiToWide(status) : AnsiToWide(status) + L": " + message;
}

CStringW UnreadFilesText(const std::vector<UnreadFile>& files)
{
    CStringW text;
    for (const UnreadFile& file : files) text += file.strPath + L"\t" + UnreadReason(file) + L"\r\n";
    return text;
}

BEGIN_MESSAGE_MAP(CUnreadFilesDlg, CDialog)
    ON_COMMAND(IDC_UNREAD_COPY, OnCopy)
END_MESSAGE_MAP()

CUnreadFilesDlg::CUnreadFilesDlg(const std::vector<UnreadFile>& files, CWnd* parent)
    : CDialog(IDD_UNREAD_FILES, parent), m_files(files)
{
}

CUnreadFilesDlg::~CUnreadFilesDlg() { m_list.Detach(); }

void CUnreadFilesDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_UNREAD_LIST, m_list);
}

BOOL CUnreadFilesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    RECT client;
    m_list.GetClientRect(&client);
    const int width = client.right - client.left;
    const char* headings[] = {"ファイル", "理由"};
    for (int column : {kPathColumn, kReasonColumn}) {
        LVCOLUMNA heading = {};
        heading.mask = LVCF_TEXT | LVCF_WIDTH;
        heading.pszText = const_cast<char*>(headings[column]);
        heading.cx = column == kPathColumn ? width * 2 / 5 : width - width * 2 / 5;
        m_list.InsertColumn(column, heading);
    }
    // Paths and reasons exactly, also beyond the code page.
    for (const UnreadFile& file : m_files) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = m_list.GetItemCount();
        item.pszText = const_cast<WCHAR*>(file.strPath.c_str());
        const int row = m_list.InsertItem(item);
        if (row >= 0) m_list.SetItemText(row, kReasonColumn, UnreadReason(file).c_str());
    }
    // A reason longer than its share of the width gets what it needs: the list scrolls.
    const int share = m_list.GetColumnWidth(kReasonColumn);
    m_list.SetColumnWidth(kReasonColumn, LVSCW_AUTOSIZE);
    if (m_list.GetColumnWidth(kReasonColumn) < share) {
        m_list.SetColumnWidth(kReasonColumn, share);
    }
    return TRUE;
}

void CUnreadFilesDlg::OnCopy() { CopyTextToClipboard(m_hWnd, UnreadFilesText(m_files)); }

void CLinkSurveyDlg::OnToolUnreadFiles()
{
    // The survey adds to the list while it runs.
    if (m_survey.IsRunning() || UnreadFiles().empty()) return;
    CUnreadFilesDlg dialog(UnreadFiles(), this);
    dialog.DoModal();
}
