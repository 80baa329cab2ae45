#include "survey/LinkReaderProcess.h"

#include <psapi.h>

#include <atomic>
#include <mutex>
#include <string>

CStringW g_strLinkReaderProgram;

namespace {
constexpr DWORD kPipeBufferSize = 64 * 1024;

// Every handle a reader inherits is made inheritable only while it starts:
// another reader started meanwhile would inherit its pipe too and keep it open.
std::mutex g_startLock;

CStringW ProgramToStart()
{
    if (!g_strLinkReaderProgram.IsEmpty()) return g_strLinkReaderProgram;
    std::vector<WCHAR> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return CStringW();
        if (length < path.size()) return CStringW(path.data(), static_cast<int>(length));
        path.resize(path.size() * 2);
    }
}

CStringW NewPipeName()
{
    static std::atomic<unsigned> s_count{0};
    return CStringW(L"\\\\.\\pipe\\Lirvan-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++s_count));
}

HRESULT LastError() { return HRESULT_FROM_WIN32(::GetLastError()); }
}  // namespace

CLinkReaderProcess::~CLinkReaderProcess()
{
    Kill();
    CancelIo();  // nothing may write into the buffers or signal the events after this
    if (m_pProgress) ::UnmapViewOfFile(const_cast<LONG64*>(m_pProgress));
}

HRESULT CLinkReaderProcess::Start(HANDLE job)
{
    const CStringW program = ProgramToStart();
    const CStringW pipeName = NewPipeName();
    m_hPipe.Reset(::CreateNamedPipeW(pipeName,
                                     PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                     kPipeBufferSize, kPipeBufferSize, 0, nullptr));
    if (!m_hPipe.IsValid()) return LastError();
    m_hReadDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_hWriteDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_hReadDone.IsValid() || !m_hWriteDone.IsValid()) return LastError();
    m_read.hEvent = m_hReadDone;
    m_write.hEvent = m_hWriteDone;

    std::lock_guard<std::mutex> hold(g_startLock);
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    // Ours only until the reader has inherited them: the view and the reader's handles keep them.
    const CHandle client(::CreateFileW(pipeName, GENERIC_READ | GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, 0,
                                       nullptr));
    if (!client.IsValid()) return LastError();
    const CHandle shared(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, &inherited, PAGE_READWRITE, 0, sizeof(LONG64), nullptr));
    HRESULT hr = shared.IsValid() ? S_OK : LastError();
    if (shared.IsValid()) {
        m_pProgress = static_cast<volatile LONG64*>(::MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, sizeof(LONG64)));
        if (!m_pProgress) hr = LastError();
    }
    if (SUCCEEDED(hr)) {
        std::wstring commandLine = L"\"" + program.str() + L"\" " + kLinkReaderArgument + L" " +
                                   std::to_wstring(reinterpret_cast<uintptr_t>(shared.Get()));
        STARTUPINFOW startup = {sizeof startup};
        // No busy cursor while it starts: it never shows a window.
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_FORCEOFFFEEDBACK;
        startup.hStdInput = startup.hStdOutput = client.Get();
        PROCESS_INFORMATION process = {};
        // Suspended until it is in the job, so nothing it does escapes the job.
        if (::CreateProcessW(program, &commandLine[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &process)) {
            m_hProcess.Reset(process.hProcess);
            const CHandle thread(process.hThread);
            // Windows 7 cannot put a process that is in a job already into
            // another; the reader then still ends when its pipe closes.
            if (job) ::AssignProcessToJobObject(job, m_hProcess);
            ::ResumeThread(thread);
        } else {
            hr = LastError();
        }
    }
    return hr;
}

void CLinkReaderProcess::Kill()
{
    if (!m_hProcess.IsValid() || ::WaitForSingleObject(m_hProcess, 0) == WAIT_OBJECT_0) return;
    ::TerminateProcess(m_hProcess, 1);
    ::WaitForSingleObject(m_hProcess, 5000);
}

bool CLinkReaderProcess::BeginRead()
{
    if (m_bReading) return true;
    if (m_chunk.empty()) m_chunk.resize(kPipeBufferSize);
    ::ResetEvent(m_read.hEvent);
    if (!::ReadFile(m_hPipe, m_chunk.data(), static_cast<DWORD>(m_chunk.size()), nullptr, &m_read) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    m_bReading = true;
    return true;
}

bool CLinkReaderProcess::FinishRead(std::vector<BYTE>* into)
{
    if (!m_bReading) return true;
    DWORD read = 0;
    const BOOL done = ::GetOverlappedResult(m_hPipe, &m_read, &read, FALSE);
    if (!done && ::GetLastError() == ERROR_IO_INCOMPLETE) return true;
    m_bReading = false;
    if (!done) return false;
    into->insert(into->end(), m_chunk.begin(), m_chunk.begin() + read);
    return true;
}

bool CLinkReaderProcess::BeginWrite(std::vector<BYTE> bytes)
{
    m_sending = std::move(bytes);
    ::ResetEvent(m_write.hEvent);
    if (!::WriteFile(m_hPipe, m_sending.data(), static_cast<DWORD>(m_sending.size()), nullptr, &m_write) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    m_bWriting = true;
    return true;
}

bool CLinkReaderProcess::FinishWrite()
{
    if (!m_bWriting) return true;
    DWORD written = 0;
    const BOOL done = ::GetOverlappedResult(m_hPipe, &m_write, &written, FALSE);
    if (!done && ::GetLastError() == ERROR_IO_INCOMPLETE) return true;
    m_bWriting = false;
    return done && written == m_sending.size();
}

void CLinkReaderProcess::Drain(std::vector<BYTE>* into)
{
    // The process has ended: every read ends soon, with what is left or with a broken pipe.
    for (int reads = 0; reads < 1024; ++reads) {
        if (!BeginRead()) return;
        if (::WaitForSingleObject(m_read.hEvent, 1000) != WAIT_OBJECT_0) return;
        const size_t before = into->size();
        if (!FinishRead(into) || into->size() == before) return;
    }
}

void CLinkReaderProcess::CancelIo()
{
    if (!m_hPipe.IsValid() || (!m_bReading && !m_bWriting)) return;
    ::CancelIoEx(m_hPipe, nullptr);
    DWORD bytes = 0;
    if (m_bReading) ::GetOverlappedResult(m_hPipe, &m_read, &bytes, TRUE);
    if (m_bWriting) ::GetOverlappedResult(m_hPipe, &m_write, &bytes, TRUE);
    m_bReading = m_bWriting = false;
}

SIZE_T CLinkReaderProcess::Memory() const
{
    PROCESS_MEMORY_COUNTERS counters = {sizeof counters};
    return m_hProcess.IsValid() && ::K32GetProcessMemoryInfo(m_hProcess, &counters, sizeof counters) ? counters.PagefileUsage : 0;
}
