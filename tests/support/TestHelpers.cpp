#include "support/TestHelpers.h"

#include <tlhelp32.h>

#include "framework/Wnd.h"
#include "survey/LinkReaderProcess.h"

bool PumpPending()
{
    MSG msg;
    bool quit = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return !quit;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PressKey(HWND target, UINT key, bool alt, bool ctrl)
{
    BYTE saved[256] = {};
    ::GetKeyboardState(saved);
    BYTE held[256];
    memcpy(held, saved, sizeof held);
    held[VK_CONTROL] = held[VK_LCONTROL] = ctrl ? 0x80 : 0;
    held[VK_MENU] = held[VK_LMENU] = alt ? 0x80 : 0;
    ::SetKeyboardState(held);

    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM altBit = alt ? (1 << 29) : 0;
    ::PostMessageA(target, down, key, 1 | altBit);
    ::PostMessageA(target, up, key, 1 | altBit | (1u << 30) | (1u << 31));
    PumpPending();
    ::SetKeyboardState(saved);
}

UINT MenuState(HMENU menu, UINT command) { return ::GetMenuState(menu, command, MF_BYCOMMAND); }

std::string Utf8(const std::string& sjis)
{
    int wide = ::MultiByteToWideChar(932, 0, sjis.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(932, 0, sjis.c_str(), -1, &w[0], wide);
    int narrow = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(narrow), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], narrow, nullptr, nullptr);
    if (!out.empty()) out.pop_back();
    return out;
}

#include <shellapi.h>

#include "framework/WinApp.h"

std::string AppCaption() { return AfxGetAppName(); }

DialogAnswerer::DialogAnswerer(std::string caption, int buttonId, DWORD timeoutMs)
    : m_caption(std::move(caption)), m_buttonId(buttonId), m_timeoutMs(timeoutMs)
{
    m_thread = ::CreateThread(nullptr, 0, &DialogAnswerer::Watch, this, 0, nullptr);
}

DialogAnswerer::~DialogAnswerer()
{
    if (m_thread) {
        // Keep dispatching while the watcher finishes: it may be talking to our windows.
        while (::MsgWaitForMultipleObjects(1, &m_thread, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            PumpPending();
        }
        ::CloseHandle(m_thread);
    }
}

bool DialogAnswerer::WaitAnswered(DWORD timeoutMs)
{
    return PumpUntil([this] { return Answered(); }, timeoutMs);
}

namespace {
struct DialogSearch {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hWnd)) return TRUE;
    char className[64] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    char title[512] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    if (std::string(className) == "#32770" && *search->caption == title) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND hWnd, LPARAM param)
{
    char className[64] = {};
    ::GetClassNameA(hWnd, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[2048] = {};
        ::GetWindowTextA(hWnd, text, sizeof text);
        if (text[0]) {
            auto* out = reinterpret_cast<std::string*>(param);
            if (!out->empty()) *out += "\n";
            *out += text;
        }
    }
    return TRUE;
}
}  // namespace

int DrawnDefaultButton(HWND dialog)
{
    int found = 0;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            char className[32] = {};
            ::GetClassNameA(child, className, sizeof className);
            const LONG style = ::GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(className, "Button") != 0 || (style & BS_TYPEMASK) != BS_DEFPUSHBUTTON) return TRUE;
            *reinterpret_cast<int*>(param) = ::GetDlgCtrlID(child);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WaitDialogReady(HWND dialog)
{
    // Answered only once the dialog's thread is back in its message loop, that
    // is after the dialog's initialisation has returned.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &result) != 0;
}

DWORD WINAPI DialogAnswerer::Watch(LPVOID param)
{
    auto* self = static_cast<DialogAnswerer*>(param);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < self->m_timeoutMs) {
        DialogSearch search{&self->m_caption, nullptr};
        ::EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            WaitDialogReady(search.found);
            std::string text;
            ::EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&text));
            self->m_text = text;
            self->m_owner = ::GetWindow(search.found, GW_OWNER);
            const LRESULT def = ::SendMessageA(search.found, DM_GETDEFID, 0, 0);
            self->m_defaultButton = DrawnDefaultButton(search.found);
            if (self->m_defaultButton == 0 && HIWORD(def) == DC_HASDEFID) self->m_defaultButton = LOWORD(def);
            if (self->m_buttonId == 0) {
                HWND focus = ::GetDlgItem(search.found, self->m_defaultButton);
                ::PostMessageA(focus ? focus : search.found, WM_KEYDOWN, VK_RETURN, 1);
                ::PostMessageA(focus ? focus : search.found, WM_KEYUP, VK_RETURN, 0xC0000001);
            } else {
                HWND button = ::GetDlgItem(search.found, self->m_buttonId);
                ::PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(self->m_buttonId, BN_CLICKED),
                               reinterpret_cast<LPARAM>(button));
            }
            ::InterlockedExchange(&self->m_answered, 1);
            return 0;
        }
        ::Sleep(30);
    }
    return 1;
}

namespace {
HINSTANCE WINAPI RecordShellCall(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show)
{
    ShellRecorder::Calls().push_back(
        {owner, verb ? verb : "", file ? file : "", parameters != nullptr, directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(33);
}
}  // namespace

std::vector<ShellCall>& ShellRecorder::Calls()
{
    static std::vector<ShellCall> calls;
    return calls;
}

ShellRecorder::ShellRecorder()
{
    Calls().clear();
    g_pfnShellExecute = &RecordShellCall;
}

ShellRecorder::~ShellRecorder() { g_pfnShellExecute = &::ShellExecuteA; }

ClipboardBlock ReadClipboard(UINT format)
{
    ClipboardBlock result;
    if (!::OpenClipboard(nullptr)) return result;
    if (HANDLE block = ::GetClipboardData(format)) {
        result.present = true;
        const char* data = static_cast<const char*>(::GlobalLock(block));
        if (data) result.bytes.assign(data, ::GlobalSize(block));
        ::GlobalUnlock(block);
    }
    ::CloseClipboard();
    return result;
}

std::string ProgramFolderOfTest()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

void UseProgramAsLinkReader()
{
    WCHAR path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path);
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"..\\Lirvan.exe";
    WCHAR full[MAX_PATH] = {};
    ::GetFullPathNameW(program.c_str(), MAX_PATH, full, nullptr);
    g_strLinkReaderProgram = full;
}

int ReadersRunning()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int running = 0;
    PROCESSENTRY32W entry = {sizeof entry};
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == ::GetCurrentProcessId() && ::lstrcmpiW(entry.szExeFile, L"Lirvan.exe") == 0) {
            ++running;
        }
    }
    ::CloseHandle(snapshot);
    return running;
}
