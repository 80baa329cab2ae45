// Whether a link's target is gone. Judged only where asking cannot hang the
// walk: a non-empty local path on a fixed disk. A network path, a mapped
// network drive or a removable drive is never touched.
#pragma once
#include <windows.h>

// One survey's check. The system is slow to tell a drive's type, so each
// drive is asked once per survey.
class CTargetCheck {
public:
    CTargetCheck();
    bool IsMissing(const WCHAR* target);

private:
    bool IsOnLocalDisk(const WCHAR* path);
    UINT m_driveTypes[26];  // kNotAsked until asked
};

// Asks the file system whether a path exists (false only when it is surely
// not there); tests put a recording one in its place.
using PathExistsFunction = bool (*)(const WCHAR* path);
extern PathExistsFunction g_pfnPathExists;
