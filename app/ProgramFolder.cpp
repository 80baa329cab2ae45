#include "app/ProgramFolder.h"

#include <windows.h>

CString FolderOfPath(const char* path)
{
    const char* afterLast = path;
    for (const char* p = path; *p;) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
            p += 2;
            continue;
        }
        if (*p == '\\') afterLast = p + 1;
        ++p;
    }
    return CString(path, static_cast<int>(afterLast - path));
}

BOOL GetProgramFolder(CString* folder)
{
    char path[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0) return FALSE;
    *folder = FolderOfPath(path);
    return TRUE;
}
