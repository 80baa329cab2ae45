#include "survey/LinkSurvey.h"

#include <system_error>
#include <thread>

#include "survey/LinkReaderDriver.h"
#include "survey/LinkReaderPool.h"
#include "survey/SurveyRun.h"

namespace {
// How long the end of the program waits for the threads that drive readers.
constexpr DWORD kEndWaitMs = 5000;
}

CLinkSurvey::CLinkSurvey() : m_pool(std::make_shared<CLinkReaderPool>()) {}

CLinkSurvey::~CLinkSurvey()
{
    if (m_run) m_run->Stop();
    m_pool->EndAll(kEndWaitMs);
}

bool CLinkSurvey::Start(const CStringW& folder, HWND window, UINT message)
{
    auto run = std::make_shared<CSurveyRun>(folder, window, message);
    try {
        // Nobody waits for the walk: Esc ends the survey also while it waits on a slow folder.
        std::thread([run] { run->Walk(); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    const int readers = m_pool->ReaderCount();
    for (int i = 0; i < readers; ++i) {
        auto driver = std::make_shared<CLinkReaderDriver>(run, m_pool, window);
        m_pool->DriverStarted();
        try {
            std::thread([driver, pool = m_pool] {
                driver->Run();
                pool->DriverEnded();
            }).detach();
        } catch (const std::system_error&) {
            m_pool->DriverEnded();
            if (i == 0) {  // nobody would read
                run->Stop();
                return false;
            }
        }
    }
    m_run = std::move(run);
    return true;
}

void CLinkSurvey::Stop()
{
    if (m_run) m_run->Stop();
}

SurveyResults CLinkSurvey::TakeResults()
{
    if (!m_run) return SurveyResults();
    SurveyResults results = m_run->Take();
    if (results.bDone) m_run.reset();
    return results;
}
