#include "support/SurveyHold.h"

#include <atomic>

#include "support/TestHelpers.h"
#include "survey/SurveyRun.h"

namespace {
// One hold at a time; the walk knows it only through the seam it calls.
size_t g_held = 0;
std::atomic<int> g_inside{0};
HANDLE g_reached = nullptr;
HANDLE g_release = nullptr;

void HoldAtLink(size_t number)
{
    ++g_inside;
    if (number == g_held) {
        ::SetEvent(g_reached);
        // Bounded: a test that forgets to let go fails, it does not hang.
        ::WaitForSingleObject(g_release, 60000);
    }
    --g_inside;
}
}  // namespace

SurveyHold::SurveyHold(int held)
{
    g_held = static_cast<size_t>(held);
    g_reached = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_pfnLinkFound = &HoldAtLink;
}

SurveyHold::~SurveyHold()
{
    Release();
    g_pfnLinkFound = nullptr;
    // The events stay until no walk can still reach them.
    PumpUntil([] { return g_inside == 0; }, 30000);
    ::CloseHandle(g_reached);
    ::CloseHandle(g_release);
}

bool SurveyHold::WaitHeld(DWORD timeoutMs)
{
    return PumpUntil([] { return ::WaitForSingleObject(g_reached, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

void SurveyHold::Release() { ::SetEvent(g_release); }
