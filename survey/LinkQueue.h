// The link files that the walk has found, waiting in walk order for the
// readers. The walk runs ahead of the reads; a full queue holds it back.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "framework/WideString.h"

struct FoundLink {
    size_t nIndex = 0;  // its place in walk order, from 0
    CStringW strPath;
};

class CLinkQueue {
public:
    enum class Taken { kLinks, kTimedOut, kEnd };

    // Links are taken in batches of this many at most.
    static constexpr size_t kBatch = 16;

    // Waits while the queue is full; false once the queue is stopped.
    bool Push(FoundLink link);
    // Up to a batch of links, waiting at most `waitMs` for the first and then
    // at most `gatherMs` for a whole batch; kEnd once the walk has ended and
    // every link was taken, or the queue was stopped.
    Taken PopBatch(std::vector<FoundLink>* links, DWORD waitMs, DWORD gatherMs);
    // The walk has ended: no more links come.
    void Finish();
    // The survey stops: whoever waits goes on, and nothing more is taken.
    void Stop();

private:
    static constexpr size_t kMostHeld = 4096;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<FoundLink> m_links;
    bool m_bFinished = false, m_bStopped = false;
};
