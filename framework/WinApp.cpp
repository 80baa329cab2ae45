#include "framework/WinApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "framework/WideString.h"
#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

ShellExecuteFunction g_pfnShellExecute = &::ShellExecuteA;

CWinApp::CWinApp(const char*)
{
    g_app = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return ::GetModuleHandleA(nullptr); }
HINSTANCE AfxGetResourceHandle() { return ::GetModuleHandleA(nullptr); }

const char* AfxGetAppName()
{
    static CString name = [] {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        // Multibyte-aware: a trail byte 0x5C is no separator.
        const char* base = path;
        const char* dot = nullptr;
        for (const char* p = path; *p; p = ::CharNextA(p)) {
            if (*p == '\\' || *p == '/') { base = p + 1; dot = nullptr; }
            else if (*p == '.') dot = p;
        }
        return dot ? CString(base, static_cast<int>(dot - base)) : CString(base);
    }();
    return name;
}

CString AfxLoadString(UINT id)
{
    char buffer[1024] = {};
    const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    return CString(buffer, length > 0 ? length : 0);
}

CString AfxFormatString2(UINT id, const char* first, const char* second)
{
    const std::string pattern = AfxLoadString(id).str();
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            // '%' is never the second byte of a double-byte character: a byte search is safe.
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return CString(out);
}

CString AfxFormatString1(UINT id, const char* first) { return AfxFormatString2(id, first, "%2"); }

namespace {
HWND MessageBoxOwner()
{
    if (CWnd* main = AfxGetMainWnd(); main && ::IsWindow(main->m_hWnd)) return ::GetLastActivePopup(main->m_hWnd);
    return ::GetActiveWindow();
}
}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT)
{
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(MessageBoxOwner(), text, AfxGetAppName(), type);
}

int AfxMessageBox(const WCHAR* text, UINT type)
{
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return ::MessageBoxW(MessageBoxOwner(), text, AnsiToWide(AfxGetAppName()), type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId)
{
    return AfxMessageBox(AfxLoadString(promptId), type, helpId);
}

int AfxWinMain(HINSTANCE)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    int exitCode = 0;
    if (!app->InitInstance()) exitCode = app->ExitInstance();
    return exitCode;
}
