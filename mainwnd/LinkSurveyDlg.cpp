#include "mainwnd/LinkSurveyDlg.h"

#include "framework/DataExchange.h"
#include "framework/WinApp.h"
#include "res/resource.h"

CStringW MainWindowTitle(const CStringW& folder) { return folder + L"\\ - Lirvan"; }

POINT CenteredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return POINT{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

CLinkSurveyDlg::CLinkSurveyDlg() : CDialog(IDD_MAIN, nullptr)
{
    m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_font.Attach(::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                "ＭＳ Ｐゴシック"));
}

CLinkSurveyDlg::~CLinkSurveyDlg()
{
    // The window goes before the font it draws with.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_listCtrl.Detach();
    m_statusBar.Detach();
}

void CLinkSurveyDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LINK_LIST, m_listCtrl);
    DDX_Control(dx, IDC_STATUS_BAR, m_statusBar);
}

BOOL CLinkSurveyDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    ScaleToDpi(GetWindowDpi(m_hWnd));  // the font is made for 96 DPI
    m_listCtrl.SetFont(m_font.GetSafeHandle());
    m_listCtrl.SetExtendedStyle(LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT client;
    GetClientRect(&client);
    LayOutControls(client.right - client.left, client.bottom - client.top);

    InsertColumns(m_listCtrl);
    FitColumnsToWindow(m_listCtrl);

    WCHAR windowsDir[MAX_PATH] = {};
    m_strFolder = ::GetWindowsDirectoryW(windowsDir, MAX_PATH) != 0 ? CStringW(windowsDir) : CStringW(L"c:");
    SetWindowText(MainWindowTitle(m_strFolder));
    return TRUE;
}

void CLinkSurveyDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const POINT at = CenteredIconOrigin(client.right - client.left, client.bottom - client.top, iconWidth, iconHeight);
    ::DrawIcon(dc, at.x, at.y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
}

HCURSOR CLinkSurveyDlg::OnQueryDragIcon() { return m_hIcon; }

void CLinkSurveyDlg::OnSize(UINT, int cx, int cy)
{
    // The controls are not bound yet while the dialog is being created.
    LayOutControls(cx, cy);
}

void CLinkSurveyDlg::OnCancel()
{
    // The survey posts to this window until it ends: never destroy it under a
    // survey, whoever asks (a WM_CLOSE from outside included).
    if (IsCloseGreyed()) return;
    DestroyWindow();
}
