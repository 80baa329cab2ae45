#include "about/AboutHelp.h"

#include <shellapi.h>

#include <vector>

#include "app/ProgramFolder.h"
#include "framework/WinApp.h"
#include "mainwnd/LinkSurveyDlg.h"

const char kHomePageAddress[] = "https://lirvan.example.jp/";
const char kSupportBoardAddress[] = "https://lirvan.example.jp/board/";

CString VersionText(DWORD productVersionMS, DWORD productVersionLS)
{
    CString version;
    if (HIWORD(productVersionLS) != 0) {
        version.Format("%d.%d.%d", HIWORD(productVersionMS), LOWORD(productVersionMS), HIWORD(productVersionLS));
    } else {
        version.Format("%d.%d", HIWORD(productVersionMS), LOWORD(productVersionMS));
    }
    return version;
}

CString AboutText(const CString& version)
{
    return CString("シェルリンク調査ツール\n-------------------------------\nLirvan Version ") + version +
           "\n\nCopyright (C) 2026 Lirvan developers";
}

// The folder keeps its backslash, so the fixed name follows it directly.
CString HelpFilePath(const char* programPath) { return FolderOfPath(programPath) + "lirvan.hlp"; }
CString HelpPagePath(const char* programPath) { return FolderOfPath(programPath) + "lirvan.html"; }

namespace {
// The system's real major version: the one the loader reports may be held back
// for programs whose manifest does not name the newest systems.
DWORD RealMajorVersion()
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                                  reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
    OSVERSIONINFOW info = {sizeof info};
    if (getVersion && getVersion(&info) == 0) return info.dwMajorVersion;
    return 6;  // unknown: the help file as before
}
}  // namespace

SystemVersionFunction g_pfnSystemMajorVersion = &RealMajorVersion;

namespace {
// The product version of the program's own file; FALSE when it has none.
BOOL ReadProductVersion(DWORD* ms, DWORD* ls)
{
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return FALSE;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return FALSE;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoA(path, 0, size, block.data())) return FALSE;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    // Never read through a missing fixed part.
    if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return FALSE;
    }
    *ms = fixed->dwProductVersionMS;
    *ls = fixed->dwProductVersionLS;
    return TRUE;
}
}  // namespace

void CLinkSurveyDlg::OnHelpAbout()
{
    DWORD ms = 0, ls = 0;
    if (!ReadProductVersion(&ms, &ls)) return;
    AfxMessageBox(AboutText(VersionText(ms, ls)), MB_ICONINFORMATION);
}

void CLinkSurveyDlg::OnHelpContents()
{
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return;  // no path to build on
    // Windows 10 and later cannot show Windows Help files: the same guide as a page.
    const CString help = g_pfnSystemMajorVersion() >= 10 ? HelpPagePath(path) : HelpFilePath(path);
    g_pfnShellExecute(m_hWnd, "open", help, nullptr, nullptr, SW_SHOWNORMAL);
}

void CLinkSurveyDlg::OnWebHome() { g_pfnShellExecute(nullptr, "open", kHomePageAddress, nullptr, nullptr, SW_SHOW); }

void CLinkSurveyDlg::OnWebBoard()
{
    g_pfnShellExecute(nullptr, "open", kSupportBoardAddress, nullptr, nullptr, SW_SHOW);
}
