#include "survey/TargetCheck.h"

#include "framework/FileFind.h"

namespace {
constexpr UINT kNotAsked = ~0u;

bool PathExists(const WCHAR* path)
{
    if (::GetFileAttributesW(FileSystemPath(path)) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = ::GetLastError();
    // Denied access and the like say nothing about whether it is there.
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

int DriveIndex(WCHAR letter)
{
    if (letter >= L'A' && letter <= L'Z') return letter - L'A';
    if (letter >= L'a' && letter <= L'z') return letter - L'a';
    return -1;
}
}  // namespace

PathExistsFunction g_pfnPathExists = &PathExists;

CTargetCheck::CTargetCheck()
{
    for (UINT& type : m_driveTypes) type = kNotAsked;
}

// "X:\..." on a drive whose answers come from this machine.
bool CTargetCheck::IsOnLocalDisk(const WCHAR* path)
{
    const int drive = DriveIndex(path[0]);
    if (drive < 0 || path[1] != L':' || path[2] != L'\\') return false;
    if (m_driveTypes[drive] == kNotAsked) {
        const WCHAR root[] = {path[0], L':', L'\\', L'\0'};
        m_driveTypes[drive] = ::GetDriveTypeW(root);
    }
    return m_driveTypes[drive] == DRIVE_FIXED || m_driveTypes[drive] == DRIVE_RAMDISK;
}

bool CTargetCheck::IsMissing(const WCHAR* target)
{
    return target && target[0] != L'\0' && IsOnLocalDisk(target) && !g_pfnPathExists(target);
}
