// The survey: walks a folder tree on a thread of its own and has reader
// processes read every link file it finds, so that whatever the shell link
// service does with one file ends only that reader. The window starts and
// stops it, and takes its results whenever it is told there are some.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "framework/WideString.h"
#include "survey/SurveyResults.h"

class CSurveyRun;
class CLinkReaderPool;

class CLinkSurvey {
public:
    CLinkSurvey();
    ~CLinkSurvey();  // ends the readers
    CLinkSurvey(const CLinkSurvey&) = delete;
    CLinkSurvey& operator=(const CLinkSurvey&) = delete;

    // Surveys `folders`, one after another, each folder once; `message` is
    // posted to `window` when results are ready to take. False when no thread
    // could be started.
    bool Start(std::vector<CStringW> folders, HWND window, UINT message);
    // Ends the survey at once, also while a reader hangs: what was read so far
    // is ready to take, with bDone.
    void Stop();
    // The rows since the last take, in walk order, at most `mostRows` of them
    // (bMore: more are ready); bDone once it has ended and every row was taken.
    SurveyResults TakeResults(size_t mostRows = static_cast<size_t>(-1));
    // The files the last survey could not read so far, in walk order.
    const std::vector<UnreadFile>& UnreadFiles() const { return m_unread; }
    // Between Start and the take of its last results.
    bool IsRunning() const { return m_run != nullptr; }

private:
    std::shared_ptr<CLinkReaderPool> m_pool;  // kept between surveys
    std::shared_ptr<CSurveyRun> m_run;
    std::vector<UnreadFile> m_unread;
    std::deque<ShortcutRow> m_rows;  // taken from the run, not by the window yet
    bool m_bRunEnded = false;
};
