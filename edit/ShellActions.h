// What the shell does with a listed link file: show it in its folder, show its
// properties, move it to the Recycle Bin.
#pragma once
#include <windows.h>

#include "framework/WideString.h"

// A shell call on one path, on behalf of a window; tests stand in for these.
using ShellPathFunction = HRESULT (*)(HWND owner, const WCHAR* path);
// An Explorer window on the folder that holds `path`, with the item selected.
extern ShellPathFunction g_pfnShowInFolder;
// The shell's own properties of a file.
extern ShellPathFunction g_pfnShowProperties;

// Moves one file to the Recycle Bin, never deleting it for good without the
// system asking the user first. S_OK once the file is gone from its folder;
// S_FALSE when the user declined; otherwise the failure.
HRESULT MoveToRecycleBin(HWND owner, const WCHAR* path);
