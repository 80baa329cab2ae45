#include "app/LinkSurveyApp.h"

#include "mainwnd/LinkSurveyDlg.h"

CLinkSurveyApp theApp;

BOOL CLinkSurveyApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    // The main window lives here for the whole run; the survey's worker is given it.
    CLinkSurveyDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // No message loop of our own: the program ends with its window.
    return FALSE;
}
