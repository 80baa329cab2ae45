// One thread of a survey that keeps one reader at work: it hands the reader
// the links the walk found, a batch at a time, turns its answers into rows,
// and ends the reader when the service crashes, hangs or swells on a link,
// which it then reports, and goes on with a new reader.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "survey/LinkQueue.h"
#include "survey/LinkReaderPool.h"
#include "survey/SurveyRun.h"
#include "survey/TargetCheck.h"

// The time the service has for each step of a read: loading a link and
// reading what it stores, then resolving it and reading it again. Windows
// itself gives up resolving a link whose target is gone after 3 seconds.
constexpr DWORD kReadTimeLimitMs = 5000;
// Tests shorten it.
extern DWORD g_dwReadTimeLimitMs;
// Whether readers refuse the damaged files that the structure check knows to
// harm the service; tests let them through to see a reader crash.
extern bool g_bReadersCheckLinks;

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

    bool TakeLinks(DWORD waitMs);  // false once the walk's links are all taken
    bool StartReader();
    void SendBatch();
    void WaitForReader();
    bool TakeAnswers();  // false when the reader said something that is no answer
    void Answer(const Link& link, LinkRecord& record);
    void Report(const Link& link, ReadFailure failure, HRESULT hr = S_OK);
    void CheckLimits();
    void EndReader(ReadFailure failure);

    std::shared_ptr<CSurveyRun> m_run;
    std::shared_ptr<CLinkReaderPool> m_pool;
    const HWND m_hOwner;
    const DWORD m_dwTimeLimitMs;
    const uint32_t m_nFlags;
    std::unique_ptr<CLinkReaderProcess> m_reader;
    std::deque<Link> m_waiting;  // taken from the walk, not sent yet: links sent again first
    std::deque<Link> m_sent;     // sent to the reader: the next answer is the first one's
    DWORD m_dwLastSign = 0;      // when the reader last was sent something or answered
    std::vector<BYTE> m_answers; // read from the pipe, not taken yet
    CTargetCheck m_targets;
};
