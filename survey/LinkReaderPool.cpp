#include "survey/LinkReaderPool.h"

#include <algorithm>
#include <chrono>

int g_nLinkReaders = 0;

namespace {
constexpr int kMostReaders = 4;
}  // namespace

CLinkReaderPool::CLinkReaderPool() : m_hJob(::CreateJobObjectW(nullptr, nullptr))
{
    if (!m_hJob.IsValid()) return;
    // The readers end with the job, and the job ends with this program however
    // it ends. Where the system enforces it, a reader cannot take more than
    // its limit (the survey watches for that itself as well).
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = kReaderMemoryLimit;
    ::SetInformationJobObject(m_hJob, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

CLinkReaderPool::~CLinkReaderPool()
{
    EndAll(0);  // the job's handle goes last: closing it ends whatever still runs
}

int CLinkReaderPool::ReaderCount() const
{
    if (g_nLinkReaders > 0) return g_nLinkReaders;
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    return std::clamp(static_cast<int>(system.dwNumberOfProcessors), 1, kMostReaders);
}

std::unique_ptr<CLinkReaderProcess> CLinkReaderPool::Take(HRESULT* hr)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        while (!m_idle.empty()) {
            std::unique_ptr<CLinkReaderProcess> reader = std::move(m_idle.back());
            m_idle.pop_back();
            if (::WaitForSingleObject(reader->Process(), 0) == WAIT_TIMEOUT) return reader;
        }
    }
    auto reader = std::make_unique<CLinkReaderProcess>();
    *hr = reader->Start(m_hJob);
    if (FAILED(*hr)) return nullptr;
    return reader;
}

void CLinkReaderPool::Give(std::unique_ptr<CLinkReaderProcess> reader)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_idle.push_back(std::move(reader));
}

void CLinkReaderPool::DriverStarted()
{
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_nDrivers;
}

void CLinkReaderPool::DriverEnded()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (--m_nDrivers == 0) m_driversGone.notify_all();
}

void CLinkReaderPool::EndAll(DWORD waitMs)
{
    std::vector<std::unique_ptr<CLinkReaderProcess>> idle;
    std::unique_lock<std::mutex> hold(m_lock);
    idle.swap(m_idle);
    // Readers at work too; their drivers see them end and end as well.
    if (m_hJob.IsValid()) ::TerminateJobObject(m_hJob, 1);
    m_driversGone.wait_for(hold, std::chrono::milliseconds(waitMs), [this] { return m_nDrivers == 0; });
    hold.unlock();
    idle.clear();  // each ends its process and waits for it
}
