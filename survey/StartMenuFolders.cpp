#include "survey/StartMenuFolders.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "framework/Handles.h"

std::vector<CStringW> StartMenuAndDesktopFolders()
{
    std::vector<CStringW> folders;
    for (const KNOWNFOLDERID* id :
         {&FOLDERID_StartMenu, &FOLDERID_CommonStartMenu, &FOLDERID_Desktop, &FOLDERID_PublicDesktop}) {
        CTaskMemory<WCHAR> path;
        // Not verified: a folder that does not exist is simply found empty by the walk.
        if (SUCCEEDED(::SHGetKnownFolderPath(*id, KF_FLAG_DONT_VERIFY, nullptr, path.Receive())) && path.Get() &&
            *path.Get()) {
            folders.emplace_back(path.Get());
        }
    }
    return folders;
}
