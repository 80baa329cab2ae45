// Worker threads in the framework's manner: the thread object deletes itself
// when its thread ends, so nobody has to wait for it.
#pragma once
#include <windows.h>

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    HANDLE m_hThread = nullptr;
    UINT m_nThreadID = 0;
};

// Starts proc(param) on a new thread; nullptr when no thread could be started.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);
