// CFileFind: one directory enumeration, one entry ahead, so the caller knows
// whether a further entry follows the one it takes.
#pragma once
#include <windows.h>

#include "framework/AfxString.h"

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts the enumeration; FALSE when nothing matches or the folder cannot be read.
    BOOL FindFile(const char* pattern);
    // Takes the next entry; FALSE when it was the last one (it is still valid).
    BOOL FindNextFile();
    CString GetFileName() const { return CString(m_found.cFileName); }
    // The entry's full path: the pattern's folder, a backslash, the name.
    CString GetFilePath() const;
    BOOL MatchesMask(DWORD mask) const { return (m_found.dwFileAttributes & mask) != 0; }
    void Close();

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    bool m_bHasNext = false;
    WIN32_FIND_DATAA m_next = {};
    WIN32_FIND_DATAA m_found = {};
    CString m_strRoot;  // folder part of the pattern's full path
};

// The folder part of a path: everything before its last backslash or slash,
// found on whole Shift-JIS characters (a 0x5C trail byte is no separator).
CString FolderPartOf(const char* path);
