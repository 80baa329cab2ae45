// The application object: runs the main window and ends the program with it.
#pragma once
#include "framework/WinApp.h"

class CLinkSurveyApp : public CWinApp {
public:
    CLinkSurveyApp() = default;
    BOOL InitInstance() override;
};

extern CLinkSurveyApp theApp;
