#include "survey/LinkQueue.h"

#include <chrono>

bool CLinkQueue::Push(FoundLink link)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_bStopped || m_links.size() < kMostHeld; });
    if (m_bStopped) return false;
    m_links.push_back(std::move(link));
    // Readers wait for a first link, then for a whole batch.
    if (m_links.size() == 1 || m_links.size() == kBatch) m_changed.notify_all();
    return true;
}

CLinkQueue::Taken CLinkQueue::PopBatch(std::vector<FoundLink>* links, DWORD waitMs, DWORD gatherMs)
{
    std::unique_lock<std::mutex> hold(m_lock);
    const bool ready = m_changed.wait_for(hold, std::chrono::milliseconds(waitMs),
                                          [this] { return m_bStopped || m_bFinished || !m_links.empty(); });
    if (!ready) return Taken::kTimedOut;
    // A walk that finds links seldom (among many other files) hands them over
    // in batches all the same: each batch costs the reader a round trip.
    m_changed.wait_for(hold, std::chrono::milliseconds(gatherMs),
                       [this] { return m_bStopped || m_bFinished || m_links.size() >= kBatch; });
    if (m_bStopped || m_links.empty()) return Taken::kEnd;
    const bool wasFull = m_links.size() >= kMostHeld;
    while (!m_links.empty() && links->size() < kBatch) {
        links->push_back(std::move(m_links.front()));
        m_links.pop_front();
    }
    if (wasFull) m_changed.notify_all();  // the walk waits only while the queue is full
    return Taken::kLinks;
}

void CLinkQueue::Finish()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bFinished = true;
    m_changed.notify_all();
}

void CLinkQueue::Stop()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bStopped = true;
    m_changed.notify_all();
}
