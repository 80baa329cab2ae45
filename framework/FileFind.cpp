#include "framework/FileFind.h"

CString FolderPartOf(const char* path)
{
    const char* last = nullptr;
    for (const char* p = path; *p; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/') last = p;
    }
    return last ? CString(path, static_cast<int>(last - path)) : CString();
}

namespace {
bool EndsInSeparator(const CString& text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; p = ::CharNextA(p)) last = p;
    return last && (*last == '\\' || *last == '/');
}
}  // namespace

BOOL CFileFind::FindFile(const char* pattern)
{
    Close();
    m_hFind = ::FindFirstFileA(pattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) return FALSE;
    m_bHasNext = true;
    char full[MAX_PATH] = {};
    char* namePart = nullptr;
    const DWORD length = ::GetFullPathNameA(pattern, MAX_PATH, full, &namePart);
    m_strRoot = FolderPartOf(length > 0 && length < MAX_PATH ? full : pattern);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHasNext) return FALSE;
    m_found = m_next;
    m_bHasNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHasNext;
}

CString CFileFind::GetFilePath() const
{
    if (EndsInSeparator(m_strRoot)) return m_strRoot + m_found.cFileName;
    return m_strRoot + "\\" + m_found.cFileName;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHasNext = false;
}
