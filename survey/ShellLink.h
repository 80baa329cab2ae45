// The only contact with the contents of link files: the shell link service.
// Texts are UTF-16, exactly as the file holds them.
#pragma once
#include <windows.h>

#include "framework/WideString.h"

struct ShortcutInfo {
    CStringW strLinkPath;  // any length
    WCHAR szTarget[MAX_PATH];
    WCHAR szArguments[MAX_PATH];
    WCHAR szWorkDir[MAX_PATH];
    WORD wHotkey;      // low byte key code, high byte HOTKEYF_ modifiers
    int nShowCmd;      // an SW_ value
    WCHAR szIconPath[MAX_PATH];
    int nIconIndex;
};

// Reads info->strLinkPath into the other fields. The calling thread must have
// initialised COM. The fields are valid only when the result is not negative.
HRESULT ReadShellLink(HWND owner, ShortcutInfo* info);

// Changes a link's shortcut key, show command (runSize: 0 normal, 1 minimised,
// 2 maximised, anything else normal) and icon index, keeping everything else the
// file holds exactly. A file that cannot be loaded is built from all the given
// properties. The file is replaced only by a copy that was saved whole.
// Initialises COM for itself.
HRESULT WriteShellLink(const WCHAR* linkPath, const WCHAR* target, const WCHAR* arguments, const WCHAR* workDir,
                       WORD hotkey, int runSize, const WCHAR* iconPath, int iconIndex);

// The survey's read of one link; tests put one in its place that holds the
// worker at a known point.
using ReadLinkFunction = HRESULT (*)(HWND owner, ShortcutInfo* info);
extern ReadLinkFunction g_pfnReadShellLink;

// The shell link service's save; tests put a failing one in its place.
struct IPersistFile;
using SaveLinkFunction = HRESULT (*)(IPersistFile* file, const WCHAR* path);
extern SaveLinkFunction g_pfnSaveLink;
