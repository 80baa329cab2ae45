// CStdioFile: a file opened through the operating system and written through a
// buffered C stream, so that text mode turns each "\n" into CR LF.
// CFileException: what its failures raise, with the framework's standard report.
#pragma once
#include <windows.h>

#include <cstdio>

#include "framework/AfxString.h"

class CFileException {
public:
    enum {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
        removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation,
        diskFull, endOfFile
    };

    CFileException() = default;
    CFileException(int cause, LONG osError, const CString& fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // The framework's table from operating-system error codes to causes.
    static int OsErrorToException(LONG osError);

    // String 61856 + cause with "%1" replaced by the file name.
    CString GetErrorMessage() const;
    // Shows that message in an OK box (the exclamation icon added as for every box).
    int ReportError(UINT type = MB_OK) const;

    int m_cause = none;
    LONG m_lOsError = -1;
    CString m_strFileName;
};

class CStdioFile {
public:
    // The flags the program uses.
    enum { modeRead = 0x0000, modeWrite = 0x0001, shareDenyWrite = 0x0020, modeCreate = 0x1000, typeText = 0x4000,
           typeBinary = 0x8000 };
    CStdioFile() = default;
    // Opens or throws CFileException.
    CStdioFile(const char* fileName, UINT openFlags);
    // Closes without reporting: a failure here follows the one being reported.
    ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // FALSE on failure, with the reason in *error when given.
    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    // Throws CFileException (diskFull) when the stream reports an error.
    void WriteString(const char* text);
    // Flushes and closes; throws CFileException (diskFull) when that fails.
    void Close();


private:
    FILE* m_pStream = nullptr;  // owns the handle once opened
    CString m_strFileName;      // the full path
};
