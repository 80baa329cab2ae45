#include "edit/LinkEditDlg.h"

#include <shellapi.h>
#include <shlobj.h>

#include "framework/DataExchange.h"
#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "survey/ShellLink.h"

namespace {
constexpr int kMinIconIndex = 0;
constexpr int kMaxIconIndex = 500;

// ExtractIcon answers 1 for a file that is no executable or icon file.
bool IsRealIcon(HICON icon) { return icon != nullptr && icon != reinterpret_cast<HICON>(1); }
}  // namespace

BEGIN_MESSAGE_MAP(CLinkEditDlg, CDialog)
    ON_EN_CHANGE(IDC_ICON_INDEX, OnIconIndexChange)
END_MESSAGE_MAP()

CLinkEditDlg::CLinkEditDlg() : CDialog(IDD_LINK_EDIT, nullptr) {}

CLinkEditDlg::~CLinkEditDlg()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    ShowPreview(nullptr);
}

HICON CLinkEditDlg::LoadIconFrom(const WCHAR* path, int index, int size)
{
    if (index == -1) return ::ExtractIconW(AfxGetInstanceHandle(), path, static_cast<UINT>(index));
    // ExtractIcon gives only the system's icon size, which is wrong on a monitor
    // of another scale: ask for the preview's own size.
    HICON icon = nullptr;
    if (::SHDefExtractIconW(path, index, 0, &icon, nullptr, MAKELONG(size, size)) != S_OK) return nullptr;
    return icon;
}

int CLinkEditDlg::PreviewIconSize() const { return ScaleForDpi(kPreviewIconSize, kBaseDpi, GetWindowDpi(m_hWnd)); }

void CLinkEditDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ICON_PREVIEW, m_iconPreview);
    DDX_Control(dx, IDC_ICON_SPIN, m_spinIconIndex);
    DDX_Control(dx, IDC_HOTKEY, m_hotKeyCtrl);
    DDX_Control(dx, IDC_WORKDIR, m_editWorkDir);
    DDX_Control(dx, IDC_TARGET, m_editTarget);
    DDX_Control(dx, IDC_LINK_PATH, m_editLinkPath);
    DDX_Control(dx, IDC_ICON_PATH, m_editIconPath);
    DDX_Control(dx, IDC_ICON_INDEX, m_editIconIndex);
    DDX_Control(dx, IDC_ARGUMENTS, m_editArguments);
    DDX_Control(dx, IDC_SHOWCMD, m_comboRunSize);
    DDX_Control(dx, IDOK, m_btnUpdate);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
    DDX_CBIndex(dx, IDC_SHOWCMD, m_nRunSize);
    DDX_Text(dx, IDC_ARGUMENTS, m_strArguments);
    DDX_Text(dx, IDC_ICON_INDEX, m_nIconIndex);
    DDV_MinMaxInt(dx, m_nIconIndex, kMinIconIndex, kMaxIconIndex);
    DDX_Text(dx, IDC_ICON_PATH, m_strIconPath);
    DDX_Text(dx, IDC_LINK_PATH, m_strLinkPath);
    DDX_Text(dx, IDC_TARGET, m_strTarget);
    DDX_Text(dx, IDC_WORKDIR, m_strWorkDir);
}

BOOL CLinkEditDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // A key typed alone becomes Ctrl+Alt+key.
    m_hotKeyCtrl.SetRules(HKCOMB_NONE, HOTKEYF_CONTROL | HOTKEYF_ALT);
    m_hotKeyCtrl.SetHotKey(static_cast<WORD>(m_dwHotKey & 0xFFFF));

    int upper;
    if (!m_strIconPath.IsEmpty()) {
        ShowPreview(LoadIconFrom(m_strIconPath, m_nIconIndex, PreviewIconSize()));
        const int count = static_cast<int>(reinterpret_cast<INT_PTR>(LoadIconFrom(m_strIconPath, -1)));
        upper = count - 1;  // a file without icons gives -1
    } else {
        // The target's own icon stands in, whatever the index field shows.
        ShowPreview(LoadIconFrom(m_strTarget, 0, PreviewIconSize()));
        const int count = static_cast<int>(reinterpret_cast<INT_PTR>(LoadIconFrom(m_strTarget, -1)));
        upper = count > 0 ? count - 1 : 0;
    }
    m_spinIconIndex.SetRange(0, static_cast<short>(upper));

    CWnd* owner = AfxGetMainWnd();
    CenterWindow(owner ? owner->m_hWnd : nullptr);
    return TRUE;
}

void CLinkEditDlg::OnIconIndexChange()
{
    if (!m_iconPreview.m_hWnd) return;
    // On a failed check the message was shown and the index holds the new number.
    UpdateData(TRUE);
    const CStringW& path = m_strIconPath.IsEmpty() ? m_strTarget : m_strIconPath;
    ShowPreview(LoadIconFrom(path, m_nIconIndex, PreviewIconSize()));
}

void CLinkEditDlg::OnOK()
{
    m_dwHotKey = m_hotKeyCtrl.GetHotKey();
    m_nRunSize = m_comboRunSize.GetCurSel();
    // Check before writing: an index the check refuses never reaches the file.
    if (!UpdateData(TRUE)) return;
    const HRESULT status =
        WriteShellLink(m_strLinkPath, m_strTarget, m_strArguments, m_strWorkDir,
                       static_cast<WORD>(m_dwHotKey & 0xFFFF), m_nRunSize, m_strIconPath, m_nIconIndex);
    if (FAILED(status)) {
        // Stay open: the table must never show what the file does not hold.
        AfxMessageBox("ショートカットの作成に失敗しました", MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}

void CLinkEditDlg::ShowPreview(HICON icon)
{
    if (!IsRealIcon(icon)) icon = nullptr;
    if (m_iconPreview.m_hWnd && ::IsWindow(m_iconPreview.m_hWnd)) m_iconPreview.SetIcon(icon);
    if (m_hPreview) ::DestroyIcon(m_hPreview);
    m_hPreview = icon;
}
