// Choosing the folder that the next survey walks, through the shell's folder picker.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include "framework/WideString.h"

// 1 when a folder was chosen (its path is in buffer), 2 when the picker was
// cancelled or the choice has no file-system path (buffer untouched).
int BrowseForFolder(HWND owner, const WCHAR* initialPath, WCHAR* buffer, int capacity);

// Preselects the folder given as `data` when the picker opens.
int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM lParam, LPARAM data);

// The picker itself; tests put a picker of their own here.
using BrowseForFolderFunction = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOW);
extern BrowseForFolderFunction g_pfnShowFolderPicker;

// Removes one trailing backslash: D:\ becomes D:.
CStringW RemoveTrailingBackslash(const CStringW& path);
