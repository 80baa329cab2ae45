#include "framework/Thread.h"

#include <process.h>

namespace {
struct Start {
    CWinThread* thread;
    AFX_THREADPROC proc;
    LPVOID param;
};

unsigned __stdcall Run(void* raw)
{
    Start start = *static_cast<Start*>(raw);
    delete static_cast<Start*>(raw);
    const UINT exitCode = start.proc(start.param);
    ::CloseHandle(start.thread->m_hThread);
    delete start.thread;
    return exitCode;
}
}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize, DWORD createFlags,
                           LPSECURITY_ATTRIBUTES security)
{
    auto* thread = new CWinThread;
    auto* start = new Start{thread, proc, param};
    // Suspended until the object knows its handle: the thread closes it at its end.
    const uintptr_t handle = _beginthreadex(security, stackSize, &Run, start, CREATE_SUSPENDED, &thread->m_nThreadID);
    if (handle == 0) {
        delete start;
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread->m_hThread);
    return thread;
}
