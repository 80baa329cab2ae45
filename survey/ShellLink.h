// The only contact with the contents of link files: the shell link service.
#pragma once
#include <windows.h>

struct ShortcutInfo {
    char szLinkPath[MAX_PATH];
    char szTarget[MAX_PATH];
    char szArguments[MAX_PATH];
    char szWorkDir[MAX_PATH];
    WORD wHotkey;      // low byte key code, high byte HOTKEYF_ modifiers
    int nShowCmd;      // an SW_ value
    char szIconPath[MAX_PATH];
    int nIconIndex;
};

// Reads info->szLinkPath into the other fields. The calling thread must have
// initialised COM. The fields are valid only when the result is not negative.
HRESULT ReadShellLink(HWND owner, ShortcutInfo* info);

// Writes a link file from these properties (runSize: 0 normal, 1 minimised,
// 2 maximised, anything else normal), keeping what the file holds besides them.
// The file is replaced only by a copy that was saved whole. Initialises COM for itself.
HRESULT WriteShellLink(const char* linkPath, const char* target, const char* arguments, const char* workDir,
                       WORD hotkey, int runSize, const char* iconPath, int iconIndex);

// The shell link service's save; tests put a failing one in its place.
struct IPersistFile;
using SaveLinkFunction = HRESULT (*)(IPersistFile* file, const WCHAR* path);
extern SaveLinkFunction g_pfnSaveLink;
