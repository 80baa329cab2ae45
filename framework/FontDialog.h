// CFontDialog: the common font chooser, seeded from a font description.
#pragma once
#include <windows.h>
#include <commdlg.h>

class CWnd;

class CFontDialog {
public:
    CFontDialog(const LOGFONTA* initial, DWORD flags, HDC printer = nullptr, CWnd* parent = nullptr);
    CFontDialog(const CFontDialog&) = delete;
    CFontDialog& operator=(const CFontDialog&) = delete;

    INT_PTR DoModal();

    CHOOSEFONTA m_cf = {};
    LOGFONTA m_lf = {};  // the chosen font after IDOK

private:
    CWnd* m_pParentWnd;  // we don't own it
};

// The chooser itself; tests put a chooser of their own here.
using ChooseFontFunction = BOOL(WINAPI*)(LPCHOOSEFONTA);
extern ChooseFontFunction g_pfnChooseFont;
