// CFileFind: one directory enumeration, one entry ahead, so the caller knows
// whether a further entry follows the one it takes. Names are UTF-16, exactly
// as the file system holds them.
#pragma once
#include <windows.h>

#include "framework/Handles.h"
#include "framework/WideString.h"

class CFileFind {
public:
    // Starts the enumeration; FALSE when nothing matches or the folder cannot be read.
    BOOL FindFile(const CStringW& pattern);
    // Takes the next entry; FALSE when it was the last one (it is still valid).
    BOOL FindNextFile();
    // The same name, without a copy: valid until the next entry is taken.
    const WCHAR* GetFileNamePtr() const { return m_found.cFileName; }
    // The entry's full path: the pattern's folder, a backslash, the name.
    CStringW GetFilePath() const;
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }
    void Close()
    {
        m_hFind.Reset();
        m_bHasNext = false;
    }

private:
    CFindHandle m_hFind;
    bool m_bHasNext = false;
    WIN32_FIND_DATAW m_next = {};
    WIN32_FIND_DATAW m_found = {};
    CStringW m_strRoot;  // folder part of the pattern's full path
};

// The folder part of a path: everything before its last backslash or slash.
CStringW FolderPartOf(const CStringW& path);

// The form of a path to hand to the file functions: a path too long for them
// gets the "\\?\" prefix, which lifts the length limit. Paths shown to the user
// never carry it.
CStringW FileSystemPath(const CStringW& path);
