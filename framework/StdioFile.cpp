#include "framework/StdioFile.h"

#include <fcntl.h>
#include <io.h>

#include <cstdlib>
#include <string>

#include "framework/Handles.h"
#include "framework/WinApp.h"

namespace {
// The framework's file texts: 61856 + cause.
constexpr UINT kFileErrorTextBase = 61856;

// The program writes text files it creates, letting others read them meanwhile:
// only those flags are known here.
DWORD DesiredAccess(UINT flags) { return (flags & CStdioFile::modeWrite) ? GENERIC_WRITE : GENERIC_READ; }
DWORD ShareMode(UINT flags) { return (flags & CStdioFile::shareDenyWrite) ? FILE_SHARE_READ : 0; }
DWORD Disposition(UINT flags) { return (flags & CStdioFile::modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING; }

// The C stream's mode letters, e.g. "wt" for a text file written.
std::string StreamMode(UINT flags)
{
    return std::string((flags & CStdioFile::modeWrite) ? "w" : "r") + ((flags & CStdioFile::typeBinary) ? "b" : "t");
}

CString FullPath(const char* fileName)
{
    char full[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(fileName, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CString(full) : CString(fileName);
}

void SetError(CFileException* error, LONG osError, const CString& fileName)
{
    if (!error) return;
    error->m_lOsError = osError;
    error->m_cause = CFileException::OsErrorToException(osError);
    error->m_strFileName = fileName;
}
}  // namespace

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL: return diskFull;
    default: return generic;
    }
}

CString CFileException::GetErrorMessage() const
{
    return AfxFormatString1(kFileErrorTextBase + static_cast<UINT>(m_cause), m_strFileName);
}

int CFileException::ReportError(UINT type) const { return AfxMessageBox(GetErrorMessage(), type); }

CStdioFile::CStdioFile(const char* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error)) throw error;
}

CStdioFile::~CStdioFile()
{
    if (m_pStream) std::fclose(m_pStream);
}

BOOL CStdioFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    if (m_pStream) {
        std::fclose(m_pStream);
        m_pStream = nullptr;
    }
    m_strFileName = FullPath(fileName);

    CHandle handle(::CreateFileA(fileName, DesiredAccess(openFlags), ShareMode(openFlags), nullptr,
                                 Disposition(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsValid()) {
        SetError(error, static_cast<LONG>(::GetLastError()), m_strFileName);
        return FALSE;
    }

    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()),
                                           (openFlags & typeBinary) ? _O_BINARY : _O_TEXT);
    if (descriptor == -1) {
        SetError(error, static_cast<LONG>(_doserrno), m_strFileName);
        return FALSE;
    }
    handle.Detach();  // the descriptor owns it now
    m_pStream = _fdopen(descriptor, StreamMode(openFlags).c_str());
    if (!m_pStream) {
        SetError(error, static_cast<LONG>(_doserrno), m_strFileName);
        _close(descriptor);  // closes the handle with it
        return FALSE;
    }
    return TRUE;
}

void CStdioFile::WriteString(const char* text)
{
    if (!m_pStream) throw CFileException(CFileException::invalidFile, -1, m_strFileName);
    if (std::fputs(text, m_pStream) == EOF) {
        throw CFileException(CFileException::diskFull, static_cast<LONG>(_doserrno), m_strFileName);
    }
}

void CStdioFile::Close()
{
    const int failed = m_pStream ? std::fclose(m_pStream) : 0;
    m_pStream = nullptr;
    if (failed != 0) throw CFileException(CFileException::diskFull, static_cast<LONG>(_doserrno), m_strFileName);
}
