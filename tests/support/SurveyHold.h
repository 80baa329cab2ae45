// Holds the survey's walk just before it hands a given link file to the
// readers, so that a test acts while the survey certainly runs, however fast
// the machine is.
#pragma once
#include <windows.h>

class SurveyHold {
public:
    // Holds the walk at the `held`-th link file it finds (counted from 1); the
    // links before it are read meanwhile.
    explicit SurveyHold(int held);
    // Lets the walk go and takes the hold away.
    ~SurveyHold();
    SurveyHold(const SurveyHold&) = delete;
    SurveyHold& operator=(const SurveyHold&) = delete;

    // Pumps this thread's messages until the walk is held; false after the bound.
    bool WaitHeld(DWORD timeoutMs = 30000);
    void Release();
};
