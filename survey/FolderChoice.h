// Choosing the folder that the next survey walks, through the shell's folder picker.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include "framework/AfxString.h"

// 1 when a folder was chosen (its path is in buffer), 2 when the picker was
// cancelled or the choice has no file-system path (buffer untouched).
int BrowseForFolder(HWND owner, const char* initialPath, char* buffer, int capacity);

// Preselects the folder given as `data` when the picker opens.
int CALLBACK BrowseCallbackProc(HWND window, UINT message, LPARAM lParam, LPARAM data);

// The picker itself; tests put a picker of their own here.
using BrowseForFolderFunction = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
extern BrowseForFolderFunction g_pfnShowFolderPicker;

// Removes one trailing backslash, judged on whole Shift-JIS characters: D:\ becomes D:,
// while a name ending in 表 (second byte 0x5C) stays whole.
CString RemoveTrailingBackslash(const CString& path);
