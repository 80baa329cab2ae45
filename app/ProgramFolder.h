// The folder of the program's own file, where it keeps shlink.txt and looks for
// its help file.
#pragma once
#include "framework/AfxString.h"

// The part of a path up to and including its last backslash, found multibyte-aware:
// a 0x5C that is the second byte of a double-byte character is no separator.
// A path without a backslash gives an empty text.
CString FolderOfPath(const char* path);

// The program's folder with its trailing backslash. FALSE, with *folder unchanged,
// when the program's own path cannot be had.
BOOL GetProgramFolder(CString* folder);
