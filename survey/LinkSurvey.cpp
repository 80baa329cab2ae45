#include "survey/LinkSurvey.h"

#include <algorithm>
#include <iterator>
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

bool CLinkSurvey::Start(std::vector<CStringW> folders, HWND window, UINT message)
{
    m_unread.clear();
    m_rows.clear();
    m_bRunEnded = false;
    auto run = std::make_shared<CSurveyRun>(std::move(folders), window, message);
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

SurveyResults CLinkSurvey::TakeResults(size_t mostRows)
{
    if (!m_run) return SurveyResults();
    SurveyResults taken = m_run->Take();
    m_unread.insert(m_unread.end(), std::make_move_iterator(taken.unread.begin()),
                    std::make_move_iterator(taken.unread.end()));
    m_rows.insert(m_rows.end(), std::make_move_iterator(taken.rows.begin()), std::make_move_iterator(taken.rows.end()));
    m_bRunEnded = m_bRunEnded || taken.bDone;
    SurveyResults results;
    const size_t count = std::min(mostRows, m_rows.size());
    results.rows.assign(std::make_move_iterator(m_rows.begin()), std::make_move_iterator(m_rows.begin() + count));
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    results.bMore = !m_rows.empty();
    results.bDone = m_bRunEnded && m_rows.empty();
    if (results.bDone) m_run.reset();
    return results;
}
