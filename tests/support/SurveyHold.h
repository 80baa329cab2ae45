// Holds the survey's worker just before it reads a given link, so that a test
// acts while the survey certainly runs, however fast the machine is.
#pragma once
#include <windows.h>

class SurveyHold {
public:
    // Holds the worker before its `held`-th read (counted from 1).
    explicit SurveyHold(int held);
    // Lets the worker go and puts the real read back.
    ~SurveyHold();
    SurveyHold(const SurveyHold&) = delete;
    SurveyHold& operator=(const SurveyHold&) = delete;

    // Pumps this thread's messages until the worker is held; false after the bound.
    bool WaitHeld(DWORD timeoutMs = 30000);
    void Release();
};
