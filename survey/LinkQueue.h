// The link files that the walk has opened and checked, waiting in walk order
// for the thread that reads them: the walk opens and checks the next files
// while the service reads this one. Few at a time, so that few files are held.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "survey/ShellLink.h"

struct QueuedLink {
    CStringW strPath;
    CCheckedLinkFile file;
};

class CLinkQueue {
public:
    enum class Taken { kLink, kTimedOut, kEnd };

    // Waits while the queue is full.
    void Push(QueuedLink link);
    // The next link; kTimedOut when none came within the time, kEnd once the
    // walk has ended and every link was taken.
    Taken Pop(QueuedLink* link, DWORD timeoutMs);
    // The walk has ended: no more links come.
    void Finish();

    // The reader is done with a file; the walk lets it go (CloseRead), so that
    // the reader spends its time on reading alone.
    void Read(CCheckedLinkFile file);
    void CloseRead();

private:
    static constexpr size_t kMostHeld = 32;
    // A full queue takes more only once half of it is read: each side wakes
    // the other seldom, not for every link.
    static constexpr size_t kRefillAt = kMostHeld / 2;
    std::mutex m_lock;
    std::condition_variable m_notFull, m_notEmpty;
    bool m_bPushWaiting = false, m_bPopWaiting = false;
    std::deque<QueuedLink> m_links;
    std::vector<CCheckedLinkFile> m_read;
    bool m_finished = false;
};
