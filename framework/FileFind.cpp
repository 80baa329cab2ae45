#include "framework/FileFind.h"

#include <vector>

namespace {
// Below this the plain form works everywhere: a folder may hold at most
// MAX_PATH - 12 characters, so that any 8.3 name still fits below it.
constexpr int kPlainPathLimit = MAX_PATH - 12;

bool IsSeparator(WCHAR ch) { return ch == L'\\' || ch == L'/'; }

CStringW FullPathOf(const CStringW& path)
{
    const DWORD size = ::GetFullPathNameW(path, 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<WCHAR> full(size);
    const DWORD length = ::GetFullPathNameW(path, size, full.data(), nullptr);
    return length > 0 && length < size ? CStringW(full.data(), static_cast<int>(length)) : path;
}
}  // namespace

CStringW FolderPartOf(const CStringW& path)
{
    const std::wstring& text = path.str();
    for (size_t i = text.size(); i-- > 0;) {
        if (IsSeparator(text[i])) return CStringW(text.substr(0, i));
    }
    return CStringW();
}

CStringW FileSystemPath(const CStringW& path)
{
    const std::wstring& text = path.str();
    if (path.GetLength() < kPlainPathLimit || text.rfind(L"\\\\?\\", 0) == 0) return path;
    if (text.rfind(L"\\\\", 0) == 0) return CStringW(L"\\\\?\\UNC\\" + text.substr(2));
    return CStringW(L"\\\\?\\") + FullPathOf(path);
}

BOOL CFileFind::FindFile(const CStringW& pattern)
{
    Close();
    // No short names, and many entries for each call into the file system.
    m_hFind.Reset(::FindFirstFileExW(FileSystemPath(pattern), FindExInfoBasic, &m_next, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!m_hFind.IsValid()) return FALSE;
    m_bHasNext = true;
    m_strRoot = FolderPartOf(FullPathOf(pattern));
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hFind.IsValid() || !m_bHasNext) return FALSE;
    m_found = m_next;
    m_bHasNext = ::FindNextFileW(m_hFind, &m_next) != FALSE;
    return m_bHasNext;
}

CStringW CFileFind::GetFilePath() const
{
    const std::wstring& root = m_strRoot.str();
    if (!root.empty() && IsSeparator(root.back())) return m_strRoot + m_found.cFileName;
    return m_strRoot + L"\\" + m_found.cFileName;
}
