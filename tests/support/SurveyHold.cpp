#include "support/SurveyHold.h"

#include <atomic>

#include "support/TestHelpers.h"
#include "survey/ShellLink.h"

namespace {
// One hold at a time; the worker knows it only through the read it calls.
int g_held = 0;
std::atomic<int> g_reads{0};
std::atomic<int> g_inside{0};
HANDLE g_reached = nullptr;
HANDLE g_release = nullptr;

HRESULT HeldRead(HWND owner, ShortcutInfo* info, CShellLinkObject* reused)
{
    ++g_inside;
    if (++g_reads == g_held) {
        ::SetEvent(g_reached);
        // Bounded: a test that forgets to let go fails, it does not hang.
        ::WaitForSingleObject(g_release, 60000);
    }
    const HRESULT hr = ReadShellLink(owner, info, reused);
    --g_inside;
    return hr;
}
}  // namespace

SurveyHold::SurveyHold(int held)
{
    g_held = held;
    g_reads = 0;
    g_reached = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_pfnReadShellLink = &HeldRead;
}

SurveyHold::~SurveyHold()
{
    Release();
    g_pfnReadShellLink = &ReadShellLink;
    // The events stay until no read of the worker can still reach them.
    PumpUntil([] { return g_inside == 0; }, 30000);
    ::CloseHandle(g_reached);
    ::CloseHandle(g_release);
}

bool SurveyHold::WaitHeld(DWORD timeoutMs)
{
    if (!PumpUntil([] { return ::WaitForSingleObject(g_reached, 0) == WAIT_OBJECT_0; }, timeoutMs)) return false;
    // What the worker handed over before it was held is in this thread's queue now.
    PumpPending();
    return true;
}

void SurveyHold::Release() { ::SetEvent(g_release); }
