#include "survey/ShellLink.h"

#include <objbase.h>
#include <shlobj.h>

#include "framework/FileFind.h"

namespace {
HRESULT SaveWithService(IPersistFile* file, const WCHAR* path) { return file->Save(path, TRUE); }
}  // namespace

SaveLinkFunction g_pfnSaveLink = &SaveWithService;

namespace {
// Both interfaces of one shell link object, released in reverse order of acquisition.
class LinkObject {
public:
    LinkObject() = default;
    ~LinkObject()
    {
        if (m_file) m_file->Release();
        if (m_link) m_link->Release();
    }
    LinkObject(const LinkObject&) = delete;
    LinkObject& operator=(const LinkObject&) = delete;

    HRESULT Create()
    {
        return ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&m_link));
    }
    HRESULT QueryFile() { return m_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&m_file)); }

    IShellLinkA* m_link = nullptr;
    IPersistFile* m_file = nullptr;
};

void ToWide(const char* path, WCHAR (&wide)[MAX_PATH])
{
    wide[0] = L'\0';
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
}

int ShowCmdOfRunSize(int runSize)
{
    if (runSize == 1) return SW_SHOWMINNOACTIVE;
    if (runSize == 2) return SW_SHOWMAXIMIZED;
    return SW_SHOWNORMAL;
}

HRESULT ReadProperties(HWND owner, IShellLinkA* link, IPersistFile* file, ShortcutInfo* info)
{
    WCHAR widePath[MAX_PATH];
    ToWide(info->szLinkPath, widePath);
    HRESULT hr = file->Load(widePath, STGM_READ);
    if (FAILED(hr)) return hr;
    // No user interface, and never rewrite the file while reading it.
    if (FAILED(hr = link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH))) return hr;
    WIN32_FIND_DATAA findData;
    if (FAILED(hr = link->GetPath(info->szTarget, MAX_PATH, &findData, 0))) return hr;
    if (FAILED(hr = link->GetArguments(info->szArguments, MAX_PATH))) return hr;
    if (FAILED(hr = link->GetWorkingDirectory(info->szWorkDir, MAX_PATH))) return hr;
    if (FAILED(hr = link->GetHotkey(&info->wHotkey))) return hr;
    if (FAILED(hr = link->GetShowCmd(&info->nShowCmd))) return hr;
    return link->GetIconLocation(info->szIconPath, MAX_PATH, &info->nIconIndex);
}

// Puts the saved copy where the link is, in one rename, so the link is either
// the old one or the new one. The link's hidden and system marks go over to the
// copy. (ReplaceFile would keep them too, but under Wine it drops them and leaves
// a file of its own behind when it fails.)
HRESULT PutInPlace(const char* linkPath, const char* saved)
{
    const DWORD attributes = ::GetFileAttributesA(linkPath);
    if (!::MoveFileExA(saved, linkPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const HRESULT hr = HRESULT_FROM_WIN32(::GetLastError());
        ::DeleteFileA(saved);
        return hr;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesA(linkPath, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    }
    return S_OK;
}

// Saves into a new file beside the link, and replaces the link only with a
// copy that was written whole: a save that fails halfway (a full disk) must not
// leave the user's link truncated. Where no file can be made beside it, the
// link is saved over directly.
HRESULT SaveOver(IPersistFile* file, const char* linkPath, const WCHAR* widePath)
{
    const CString folder = FolderPartOf(linkPath);
    char saved[MAX_PATH];
    if (folder.IsEmpty() || !::GetTempFileNameA(folder + "\\", "lnk", 0, saved)) {
        return g_pfnSaveLink(file, widePath);
    }
    WCHAR wideSaved[MAX_PATH];
    ToWide(saved, wideSaved);
    const HRESULT hr = g_pfnSaveLink(file, wideSaved);
    if (FAILED(hr)) {
        ::DeleteFileA(saved);
        return hr;
    }
    return PutInPlace(linkPath, saved);
}

HRESULT WriteProperties(LinkObject& object, const char* linkPath, const char* target, const char* arguments,
                        const char* workDir, WORD hotkey, int runSize, const char* iconPath, int iconIndex)
{
    WCHAR widePath[MAX_PATH];
    ToWide(linkPath, widePath);
    // Start from the file as it is, so that what this program does not edit
    // (description, relative path, extra data) survives. A file that cannot be
    // loaded is built from the six properties alone.
    object.m_file->Load(widePath, STGM_READ);
    IShellLinkA* link = object.m_link;
    HRESULT hr;
    if (FAILED(hr = link->SetPath(target))) return hr;
    if (FAILED(hr = link->SetArguments(arguments))) return hr;
    if (FAILED(hr = link->SetWorkingDirectory(workDir))) return hr;
    if (FAILED(hr = link->SetHotkey(hotkey))) return hr;
    if (FAILED(hr = link->SetShowCmd(ShowCmdOfRunSize(runSize)))) return hr;
    if (FAILED(hr = link->SetIconLocation(iconPath, iconIndex))) return hr;
    return SaveOver(object.m_file, linkPath, widePath);
}
}  // namespace

HRESULT ReadShellLink(HWND owner, ShortcutInfo* info)
{
    LinkObject object;
    HRESULT hr = object.Create();
    if (FAILED(hr)) return hr;
    if (FAILED(hr = object.QueryFile())) return hr;
    return ReadProperties(owner, object.m_link, object.m_file, info);
}

HRESULT WriteShellLink(const char* linkPath, const char* target, const char* arguments, const char* workDir,
                       WORD hotkey, int runSize, const char* iconPath, int iconIndex)
{
    ::CoInitialize(nullptr);
    HRESULT hr;
    {
        LinkObject object;
        hr = object.Create();
        if (SUCCEEDED(hr)) hr = object.QueryFile();
        if (SUCCEEDED(hr)) {
            hr = WriteProperties(object, linkPath, target, arguments, workDir, hotkey, runSize, iconPath, iconIndex);
        }
    }  // released before COM goes
    ::CoUninitialize();
    return hr;
}
