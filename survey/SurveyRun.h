// One survey from its start to its end: the walk that finds the link files,
// the queue that hands them to the readers, and the results, put back in walk
// order and handed to the window in batches. The walk and every reader hold
// the run; the window lets go of it when the survey ends, while a walk that
// still waits on a slow folder finishes on its own.
#pragma once
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

#include "framework/Handles.h"
#include "survey/LinkQueue.h"
#include "survey/SurveyResults.h"

// Called by the walk for each link file it finds, numbered from 1, before the
// readers see it; tests hold the walk here.
using LinkFoundFunction = void (*)(size_t number);
extern LinkFoundFunction g_pfnLinkFound;

// What became of one link: its row, or why it is not in the table.
struct LinkResult {
    bool bListed = false;
    ShortcutRow row;
    UnreadFile unread;
};

class CSurveyRun {
public:
    // Walks `folders` in their order; results are handed over by posting
    // `message` to `window`.
    CSurveyRun(std::vector<CStringW> folders, HWND window, UINT message);
    CSurveyRun(const CSurveyRun&) = delete;
    CSurveyRun& operator=(const CSurveyRun&) = delete;

    // The walk, on a thread of its own: every link file below the folders, into
    // the queue; a folder met again, also one inside another, is walked once.
    void Walk();
    CLinkQueue& Links() { return m_links; }

    // A reader's result for the link at `index` in walk order.
    void Put(size_t index, LinkResult result);
    // Hands the results that are in order over to the window once the last
    // hand-over is long enough ago; readers call it while they wait.
    void HandOverIfDue();
    // Everything handed over since the last take; bDone once the survey has ended.
    SurveyResults Take();

    // Esc: ends the survey at once. What was read is kept, in walk order.
    void Stop();
    bool IsStopped() const { return m_bStopped; }
    HANDLE StoppedEvent() const { return m_hStopped; }

private:
    void ScanFolder(const CStringW& folder);
    bool EnterOnce(const CStringW& folder, bool isLink);
    bool EnterIdentity(const CStringW& folder, bool isLink);
    void QueueLink(const CStringW& path);
    void Release(LinkResult& result);
    void HandOver(bool now);  // with m_lock held
    bool IsComplete() const;  // with m_lock held

    const std::vector<CStringW> m_folders;
    const HWND m_hWindow;
    const UINT m_nMessage;
    std::atomic<bool> m_bStopped{false};
    const CHandle m_hStopped;  // set by Stop, for readers that wait on handles
    CLinkQueue m_links;

    // The walk's own.
    size_t m_nFound = 0;
    // The folders entered: by path until a folder link is met, by volume and
    // file index from then on (asking a folder for them costs as much as listing it).
    std::vector<CStringW> m_enteredPaths;
    bool m_bByIdentity = false;
    std::set<std::tuple<DWORD, DWORD, DWORD>> m_entered;

    std::mutex m_lock;  // guards what follows
    std::map<size_t, LinkResult> m_early;  // read ahead of a link still being read
    size_t m_nNext = 0;                    // the next link in walk order to go to the window
    size_t m_nTotal = static_cast<size_t>(-1);  // links found, once the walk has ended
    SurveyResults m_ready;                 // in order, not taken yet
    bool m_bTold = false;                  // the window has been told and has not taken yet
    DWORD m_dwLastHandOver = 0;
    bool m_bEnded = false;
};
