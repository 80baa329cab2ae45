// The survey table as comma-separated text: one line per row in display order,
// the eight cells joined by commas as they stand, each line ended by "\n".
// No header, no quoting, no byte-order mark: files users keep rely on this form.
#pragma once
#include "framework/Controls.h"

// In the code page, as the list converts its cells.
CString BuildCsvText(const CListCtrl& list);
// The same text, exactly as the list holds it.
CStringW BuildCsvTextW(const CListCtrl& list);

// Writes the text into folder + "shlink.txt" (an existing file is replaced) and
// reports any failure in a message box.
void WriteCsvFile(const CString& folder, const CString& text);

// Empties the clipboard and puts the text on it (with its terminating zero, its
// line ends as they stand) as CF_UNICODETEXT and, in the code page, as CF_TEXT; reports a
// clipboard that cannot be opened.
void CopyTextToClipboard(HWND owner, const CStringW& text);
