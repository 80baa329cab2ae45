// Help and product information: the version box, the help file and the web pages.
#pragma once
#include <windows.h>

#include "framework/AfxString.h"

// The maker's pages.
extern const char kHomePageAddress[];
extern const char kSupportBoardAddress[];

// "major.minor", or "major.minor.third" when the third number is not 0; the
// fourth is never shown.
CString VersionText(DWORD productVersionMS, DWORD productVersionLS);

// The text of the version box for a version text.
CString AboutText(const CString& version);

// The help file beside a program: its folder (cut before the last backslash,
// on whole Shift-JIS characters) followed by "\lirvan.hlp".
CString HelpFilePath(const char* programPath);
// The same guide as a web page: the folder followed by "\lirvan.html".
CString HelpPagePath(const char* programPath);

// The major version of the system that runs the program; tests stand in for it.
using SystemVersionFunction = DWORD (*)();
extern SystemVersionFunction g_pfnSystemMajorVersion;
