#include "app/LinkSurveyApp.h"

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

    // The main window lives here for the whole run; the survey's worker is given it.
    CLinkSurveyDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // No message loop of our own: the program ends with its window.
    return FALSE;
}
