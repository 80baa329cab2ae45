// The survey's link readers: started when a survey first needs them, kept
// ready between surveys, all in one job that ends them with this program.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "survey/LinkReaderProcess.h"

// How many readers read at once; 0: one for each processor, at most four.
extern int g_nLinkReaders;

// A reader needs a few megabytes; the service asked for absurd sizes takes gigabytes.
constexpr SIZE_T kReaderMemoryLimit = SIZE_T(512) << 20;

class CLinkReaderPool {
public:
    CLinkReaderPool();
    ~CLinkReaderPool();
    CLinkReaderPool(const CLinkReaderPool&) = delete;
    CLinkReaderPool& operator=(const CLinkReaderPool&) = delete;

    int ReaderCount() const;
    // A ready reader: one kept from an earlier survey, else a new one; none,
    // with *hr saying why, when no process can be started.
    std::unique_ptr<CLinkReaderProcess> Take(HRESULT* hr);
    // A reader with nothing left to read, kept for the next survey.
    void Give(std::unique_ptr<CLinkReaderProcess> reader);

    // The threads that drive readers count themselves in and out, so that the
    // pool can wait for them at its end.
    void DriverStarted();
    void DriverEnded();
    // Ends every reader, those at work included, and waits a while for the
    // threads that drive them.
    void EndAll(DWORD waitMs);

private:
    CHandle m_hJob;
    std::mutex m_lock;
    std::condition_variable m_driversGone;
    std::vector<std::unique_ptr<CLinkReaderProcess>> m_idle;
    int m_nDrivers = 0;
};
