#include "survey/LinkQueue.h"

#include <chrono>

void CLinkQueue::Push(QueuedLink link)
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_links.size() >= kMostHeld) {
        m_bPushWaiting = true;
        m_notFull.wait(hold, [this] { return m_links.size() <= kRefillAt; });
        m_bPushWaiting = false;
    }
    m_links.push_back(std::move(link));
    if (m_bPopWaiting) m_notEmpty.notify_one();
}

CLinkQueue::Taken CLinkQueue::Pop(QueuedLink* link, DWORD timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_bPopWaiting = true;
    const bool ready = m_notEmpty.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                           [this] { return m_finished || !m_links.empty(); });
    m_bPopWaiting = false;
    if (!ready) return Taken::kTimedOut;
    if (m_links.empty()) return Taken::kEnd;
    *link = std::move(m_links.front());
    m_links.pop_front();
    if (m_bPushWaiting && m_links.size() <= kRefillAt) m_notFull.notify_one();
    return Taken::kLink;
}

void CLinkQueue::Finish()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_finished = true;
    m_notEmpty.notify_one();
}

void CLinkQueue::Read(CCheckedLinkFile file)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_read.push_back(std::move(file));
}

void CLinkQueue::CloseRead()
{
    std::vector<CCheckedLinkFile> read;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        read.swap(m_read);
    }
    // Closed outside the lock, as `read` goes.
}
