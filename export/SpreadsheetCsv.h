// The table for spreadsheets: RFC 4180 text in UTF-8 with a byte-order mark, a
// title line, every field quoted, CR LF line ends, and no cell that a
// spreadsheet would run as a formula.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/Controls.h"

// The file's bytes for the table in its display order.
std::string BuildSpreadsheetCsv(const CListCtrl& list);

// A cell as written: a text that a spreadsheet would take for a formula (it
// begins with = + - @, a tab or a carriage return, or their full-width forms)
// gets a leading apostrophe, which spreadsheets read as "text".
CStringW SpreadsheetSafeCell(const CStringW& cell);

// Writes the bytes into a new file beside `path`, then puts it in its place, so
// that a write that fails halfway leaves no half-written file where the user
// asked for one. S_OK, or the failure (nothing is left behind).
HRESULT WriteFileWhole(const CStringW& path, const std::string& bytes);

// The system's save dialog and its write; tests stand in for them.
using SaveFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
extern SaveFileNameFunction g_pfnGetSaveFileName;
using WriteFileFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern WriteFileFunction g_pfnWriteFile;
