// The application object, and the framework's global helpers that the program uses.
#pragma once
#include <windows.h>

#include "framework/AfxString.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE when the program should end without a message loop of its own.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    CWnd* m_pMainWnd = nullptr;  // we don't own it
    HINSTANCE m_hInstance = nullptr;

protected:
    // These two exist for compatibility; everything they used to switch on is on.
    void AfxEnableControlContainer() {}
    BOOL Enable3dControlsStatic() { return TRUE; }
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The program file's name without its extension: the caption of every message box.
const char* AfxGetAppName();

// Modal to the main window (or to whatever popup of it is active); adds the
// exclamation icon to boxes that name no icon.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = 0);
// The same for a text exactly as given, also beyond the code page (a path).
int AfxMessageBox(const WCHAR* text, UINT type = MB_OK);

// Loads a string from the program's string table (empty when missing).
CString AfxLoadString(UINT id);
// A string of the table with "%1" (and "%2") replaced.
CString AfxFormatString1(UINT id, const char* first);
CString AfxFormatString2(UINT id, const char* first, const char* second);

// Opens a document or address with the program the system associates with it
// (ShellExecuteA); tests put a recorder of their own here.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
extern ShellExecuteFunction g_pfnShellExecute;

// Runs the application: what WinMain does.
int AfxWinMain(HINSTANCE instance);
