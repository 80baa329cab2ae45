#include "support/TestHelpers.h"

#include <tlhelp32.h>

#include "framework/WideString.h"
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

std::string WindowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

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

DialogAnswerer::DialogAnswerer(std::string caption, std::vector<int> buttons)
    : m_caption(std::move(caption)), m_buttons(std::move(buttons))
{
    m_thread = ::CreateThread(nullptr, 0, &DialogAnswerer::Watch, this, 0, nullptr);
}

DialogAnswerer::DialogAnswerer(std::string caption, Steps steps) : m_caption(std::move(caption)), m_steps(std::move(steps))
{
    m_thread = ::CreateThread(nullptr, 0, &DialogAnswerer::Watch, this, 0, nullptr);
}

DialogAnswerer::DialogAnswerer(HWND owner, int button) : m_owner(owner), m_buttons{button}
{
    m_thread = ::CreateThread(nullptr, 0, &DialogAnswerer::Watch, this, 0, nullptr);
}

DialogAnswerer::~DialogAnswerer()
{
    ::InterlockedExchange(&m_stop, 1);
    // Keep dispatching while the watcher finishes: it may be talking to our windows.
    while (::MsgWaitForMultipleObjects(1, &m_thread, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) PumpPending();
    ::CloseHandle(m_thread);
}

bool DialogAnswerer::WaitAnswered(DWORD timeoutMs)
{
    return PumpUntil([this] { return Answered(); }, timeoutMs);
}

std::vector<DialogAnswerer::Box> DialogAnswerer::Boxes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

HWND DialogAnswerer::Find() const
{
    struct Search {
        const DialogAnswerer* self;
        HWND found;
    } search{this, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hWnd, &pid);
            char className[64] = {};
            ::GetClassNameA(hWnd, className, sizeof className);
            if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(hWnd) || std::string(className) != "#32770") return TRUE;
            const bool ours = s->self->m_owner ? ::GetWindow(hWnd, GW_OWNER) == s->self->m_owner
                                               : WindowText(hWnd) == s->self->m_caption;
            if (ours) s->found = hWnd;
            return !ours;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD WINAPI DialogAnswerer::Watch(LPVOID param)
{
    auto* self = static_cast<DialogAnswerer*>(param);
    while (!self->m_stop) {
        HWND dialog = self->Find();
        if (!dialog) {
            ::Sleep(20);
            continue;
        }
        WaitDialogReady(dialog);
        Box seen;
        ::EnumChildWindows(
            dialog,
            [](HWND child, LPARAM text) -> BOOL {
                char className[64] = {}, part[2048] = {};
                ::GetClassNameA(child, className, sizeof className);
                ::GetWindowTextA(child, part, sizeof part);
                auto* out = reinterpret_cast<std::string*>(text);
                if (lstrcmpiA(className, "Static") == 0 && part[0]) *out += (out->empty() ? "" : "\n") + std::string(part);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen.text));
        seen.owner = ::GetWindow(dialog, GW_OWNER);
        seen.defaultButton = DrawnDefaultButton(dialog);
        const LRESULT defId = ::SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (seen.defaultButton == 0 && HIWORD(defId) == DC_HASDEFID) seen.defaultButton = LOWORD(defId);
        size_t index;
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            index = self->m_boxes.size();
            self->m_boxes.push_back(seen);
        }
        const int button = index < self->m_buttons.size() ? self->m_buttons[index] : IDCANCEL;
        if (index == 0 && self->m_steps) {
            self->m_steps(dialog);
        } else if (button == 0) {
            HWND target = ::GetDlgItem(dialog, seen.defaultButton);
            ::PostMessageA(target ? target : dialog, WM_KEYDOWN, VK_RETURN, 1);
            ::PostMessageA(target ? target : dialog, WM_KEYUP, VK_RETURN, 0xC0000001);
        } else {
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
        }
        // One dialog left open is found again, and cancelled.
        for (int i = 0; i < 500 && ::IsWindow(dialog) && ::IsWindowVisible(dialog); ++i) ::Sleep(10);
    }
    return 0;
}

std::vector<DialogAnswerer::Box> Answering(const std::function<void()>& action, std::vector<int> buttons)
{
    DialogAnswerer boxes(AppCaption(), std::move(buttons));
    action();
    boxes.WaitAnswered();
    return boxes.Boxes();
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

ShellRecorder::ShellRecorder() : ScopedSeam(g_pfnShellExecute, &RecordShellCall) { Calls().clear(); }

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

std::string SourcePath(const std::string& relative)
{
    std::string path = LIRVAN_SOURCE_DIR "/" + relative;
    if (path[0] == '/') path = "Z:" + path;
    for (char& c : path) if (c == '/') c = '\\';
    return path;
}

std::string ProgramFolderOfTest()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string BuiltProgram() { return ProgramFolderOfTest() + "..\\Lirvan.exe"; }

void UseProgramAsLinkReader()
{
    char full[MAX_PATH] = {};
    ::GetFullPathNameA(BuiltProgram().c_str(), MAX_PATH, full, nullptr);
    g_strLinkReaderProgram = AnsiToWide(full);
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

namespace {
// A visible window of the process whose title holds `title`.
HWND WindowOf(DWORD process, const std::string& title)
{
    struct Search {
        DWORD process;
        const std::string* title;
        HWND found;
    } search{process, &title, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hWnd, &pid);
            const std::string text = WindowText(hWnd);
            if (pid != s->process || !::IsWindowVisible(hWnd) || text.empty() || text.find(*s->title) == std::string::npos) {
                return TRUE;
            }
            s->found = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments)
{
    std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {sizeof startup};
    if (!::CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_process)) {
        m_process = {};
    }
}

ChildProcess::~ChildProcess()
{
    if (!m_process.hProcess) return;
    if (HWND window = WindowOf(m_process.dwProcessId, "")) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!Ended(5000)) ::TerminateProcess(m_process.hProcess, 1);
    ::CloseHandle(m_process.hThread);
    ::CloseHandle(m_process.hProcess);
}

HWND ChildProcess::WaitForWindow(const std::string& title, DWORD timeoutMs) const
{
    HWND window = nullptr;
    if (m_process.hProcess) {
        PumpUntil([&] { return (window = WindowOf(m_process.dwProcessId, title)) != nullptr; }, timeoutMs);
    }
    return window;
}

bool ChildProcess::Ended(DWORD timeoutMs) const
{
    return m_process.hProcess && ::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}
