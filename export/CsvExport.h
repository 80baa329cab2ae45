// The survey table as comma-separated text: one line per row in display order,
// the eight cells joined by commas as they stand, each line ended by "\n".
// No header, no quoting, no byte-order mark: files users keep rely on this form.
#pragma once
#include "framework/Controls.h"

CString BuildCsvText(const CListCtrl& list);

// Writes the text into folder + "shlink.txt" (an existing file is replaced) and
// reports any failure in a message box.
void WriteCsvFile(const CString& folder, const CString& text);

// Puts the text (with its terminating zero, bare line feeds) on the clipboard as
// CF_TEXT beside whatever else it holds; reports a clipboard that cannot be opened.
void CopyCsvToClipboard(HWND owner, const CString& text);
