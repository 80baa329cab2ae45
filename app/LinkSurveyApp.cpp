#include "app/LinkSurveyApp.h"

#include "framework/Handles.h"
#include "mainwnd/LinkSurveyDlg.h"
#include "survey/LinkReader.h"

CLinkSurveyApp theApp;

BOOL CLinkSurveyApp::InitInstance()
{
    // Started by a survey to read links: no window, only the reads.
    HANDLE progress = nullptr;
    if (IsLinkReaderStart(::GetCommandLineW(), &progress)) {
        RunLinkReader(progress);
        return FALSE;
    }
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    // The folder picker, the shell's folder windows and property sheets are COM
    // objects: the window's thread has COM from its first to its last window.
    const CComInitializer com;

    // The main window lives here for the whole run; the survey is given its handle.
    CLinkSurveyDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // No message loop of our own: the program ends with its window.
    return FALSE;
}
