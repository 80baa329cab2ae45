// One thread of a survey that keeps one reader at work: it hands the reader
// the links the walk found, a batch at a time, turns its answers into rows,
// and ends the reader when the service crashes, hangs or swells on a link,
// which it then reports, and goes on with a new reader. Readers load every
// file as it is: a damaged one costs a reader at worst, and the structure
// check runs here only on a file that could not be read, to say why.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "survey/LinkQueue.h"
#include "survey/LinkReaderPool.h"
#include "survey/SurveyRun.h"

// The time the service has for each step of a read: loading a link, then
// resolving it and reading its fields. Windows itself gives up resolving a
// link whose target is gone after 3 seconds. When only the second step runs
// out of time, a new reader reads what the link stores, without resolving it.
constexpr DWORD kReadTimeLimitMs = 5000;
// Tests shorten it.
extern DWORD g_dwReadTimeLimitMs;

class CLinkReaderDriver {
public:
    CLinkReaderDriver(std::shared_ptr<CSurveyRun> run, std::shared_ptr<CLinkReaderPool> pool, HWND owner);
    // Until the walk's links are all read, or the survey stops.
    void Run();

private:
    struct Link {
        FoundLink found;
        ReadMode mode = ReadMode::kFull;
        int nTries = 0;  // readers that ended with it, none knowing which link was too much
    };

    bool TakeLinks(bool idle);  // false once the walk's links are all taken
    bool StartReader();
    void SendBatch();
    void WaitForReader();
    bool TakeAnswers();  // false when the reader said something that is no answer
    void Answer(const Link& link, LinkRecord& record);
    void Report(const Link& link, ReadFailure failure, HRESULT hr = S_OK);
    void Unread(const Link& link, UnreadFile unread);
    void CheckLimits();
    void EndReader(ReadFailure failure);

    std::shared_ptr<CSurveyRun> m_run;
    std::shared_ptr<CLinkReaderPool> m_pool;
    const HWND m_hOwner;
    const DWORD m_dwTimeLimitMs;
    std::unique_ptr<CLinkReaderProcess> m_reader;
    std::deque<Link> m_waiting;  // taken from the walk, not sent yet: links sent again first
    std::deque<Link> m_sent;     // sent to the reader: the next answer is the first one's
    DWORD m_dwLastSign = 0;      // when the reader last was sent something or answered
    DWORD m_dwLastLook = 0;      // when its progress and memory were last looked at
    std::vector<BYTE> m_answers; // read from the pipe, not taken yet
};
