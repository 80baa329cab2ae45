// One link reader as the survey sees it: the program started again as a
// helper process, a pipe to it and the word where it keeps its progress.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "framework/WideString.h"
#include "survey/LinkReaderProtocol.h"

// The program to start as a reader; empty: this program's own file. Tests name
// the real program here, since they run in programs of their own.
extern CStringW g_strLinkReaderProgram;

class CLinkReaderProcess {
public:
    CLinkReaderProcess() = default;
    ~CLinkReaderProcess();  // ends the process if it still runs
    CLinkReaderProcess(const CLinkReaderProcess&) = delete;
    CLinkReaderProcess& operator=(const CLinkReaderProcess&) = delete;

    // Starts the reader in `job` (none: not in a job); the system's status when it cannot.
    HRESULT Start(HANDLE job);
    // Ends the process at once and waits until it has ended; what it wrote
    // before stays in the pipe for Drain.
    void Kill();

    // The pipe's end here is overlapped: one read and one write may be under
    // way at a time, each signalling its event when done. False: the pipe is broken.
    bool BeginRead();
    bool FinishRead(std::vector<BYTE>* into);  // appends what was read
    bool BeginWrite(std::vector<BYTE> bytes);
    bool FinishWrite();
    bool IsWriting() const { return m_bWriting; }
    // Reads whatever the ended process left in the pipe.
    void Drain(std::vector<BYTE>* into);
    // Gives up the read and write under way, so another thread can take the reader on.
    void CancelIo();

    HANDLE Process() const { return m_hProcess; }
    HANDLE ReadEvent() const { return m_read.hEvent; }
    HANDLE WriteEvent() const { return m_write.hEvent; }
    ReaderProgress Progress() const { return LoadProgress(m_pProgress); }
    // Memory the process has committed, in bytes.
    SIZE_T Memory() const;

    uint32_t m_nAnswered = 0;  // links answered since it started, in this survey and earlier ones

private:
    CHandle m_hProcess;
    CHandle m_hPipe;
    volatile LONG64* m_pProgress = nullptr;  // a view of memory shared with the reader
    CHandle m_hReadDone, m_hWriteDone;       // the events of the two overlapped calls
    OVERLAPPED m_read = {}, m_write = {};
    bool m_bReading = false, m_bWriting = false;
    std::vector<BYTE> m_chunk, m_sending;
};
