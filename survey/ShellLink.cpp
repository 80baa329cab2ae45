#include "survey/ShellLink.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "framework/FileFind.h"
#include "survey/LinkCheck.h"

namespace {
HRESULT SaveWithService(IPersistFile* file, const WCHAR* path) { return file->Save(path, TRUE); }
}  // namespace

SaveLinkFunction g_pfnSaveLink = &SaveWithService;
ReadLinkFunction g_pfnReadShellLink = &ReadShellLink;

namespace {
// The longest text a link's string fields can hold (a 16-bit count).
constexpr int kMaxLinkText = 0xFFFF + 1;
// What a file that fails the structure check gives: it is never handed on.
const HRESULT kUnsoundLink = HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);

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
        HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&m_link));
        if (SUCCEEDED(hr)) hr = m_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&m_file));
        return hr;
    }
    // Loads a link file whose structure was checked first: the service crashes
    // on some damaged files and stalls on absurd ones. The checked bytes
    // themselves are loaded, so the file cannot change in between.
    HRESULT Load(const CStringW& path);

    IShellLinkW* m_link = nullptr;
    IPersistFile* m_file = nullptr;

private:
    HRESULT LoadBytes(const std::vector<unsigned char>& bytes);
    HRESULT LoadByPath(const CStringW& path) { return m_file->Load(FileSystemPath(path), STGM_READ); }
};

// The whole file, or a failure; a file longer than any sound link is not read.
HRESULT ReadFileBytes(const CStringW& path, std::vector<unsigned char>* bytes)
{
    HANDLE file = ::CreateFileW(FileSystemPath(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
    LARGE_INTEGER size = {};
    HRESULT hr = S_OK;
    DWORD read = 0;
    if (!::GetFileSizeEx(file, &size)) {
        hr = HRESULT_FROM_WIN32(::GetLastError());
    } else if (size.QuadPart > static_cast<LONGLONG>(kMaxLinkFileSize)) {
        hr = kUnsoundLink;
    } else {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        if (!bytes->empty() && !::ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr)) {
            hr = HRESULT_FROM_WIN32(::GetLastError());
        }
        bytes->resize(read);
    }
    ::CloseHandle(file);
    return hr;
}

// A program information file in its own format, not a link: only the service
// knows how to read it, by its name.
bool IsProgramInformationFile(const CStringW& path, const std::vector<unsigned char>& bytes)
{
    const int length = path.GetLength();
    return !HasShellLinkHeader(bytes.data(), bytes.size()) && length >= 4 &&
           ::lstrcmpiW(static_cast<const WCHAR*>(path) + length - 4, L".pif") == 0;
}

int ShowCmdOfRunSize(int runSize)
{
    if (runSize == 1) return SW_SHOWMINNOACTIVE;
    if (runSize == 2) return SW_SHOWMAXIMIZED;
    return SW_SHOWNORMAL;
}

HRESULT LinkObject::Load(const CStringW& path)
{
    std::vector<unsigned char> bytes;
    const HRESULT hr = ReadFileBytes(path, &bytes);
    if (FAILED(hr)) return hr;
    if (IsProgramInformationFile(path, bytes)) return LoadByPath(path);
    if (!IsSoundShellLink(bytes.data(), bytes.size())) return kUnsoundLink;
    return LoadBytes(bytes);
}

HRESULT LinkObject::LoadBytes(const std::vector<unsigned char>& bytes)
{
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return E_OUTOFMEMORY;
    void* data = ::GlobalLock(block);
    if (!data) {
        ::GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    HRESULT hr = ::CreateStreamOnHGlobal(block, TRUE, &stream);  // the stream owns the block
    if (FAILED(hr)) {
        ::GlobalFree(block);
        return hr;
    }
    IPersistStream* persist = nullptr;
    hr = m_link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist));
    if (SUCCEEDED(hr)) {
        hr = persist->Load(stream);
        persist->Release();
    }
    stream->Release();
    return hr;
}

HRESULT ReadProperties(HWND owner, LinkObject& object, ShortcutInfo* info)
{
    HRESULT hr = object.Load(info->strLinkPath);
    if (FAILED(hr)) return hr;
    IShellLinkW* link = object.m_link;
    // No user interface, and never rewrite the file while reading it.
    if (FAILED(hr = link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH))) return hr;
    WIN32_FIND_DATAW findData;
    if (FAILED(hr = link->GetPath(info->szTarget, MAX_PATH, &findData, 0))) return hr;
    if (FAILED(hr = link->GetArguments(info->szArguments, MAX_PATH))) return hr;
    if (FAILED(hr = link->GetWorkingDirectory(info->szWorkDir, MAX_PATH))) return hr;
    if (FAILED(hr = link->GetHotkey(&info->wHotkey))) return hr;
    if (FAILED(hr = link->GetShowCmd(&info->nShowCmd))) return hr;
    return link->GetIconLocation(info->szIconPath, MAX_PATH, &info->nIconIndex);
}

// A new, empty file beside the link, named like "lnk1A2B.tmp" (the survey never
// picks such a name up); empty when none can be made there.
CStringW MakeFileBeside(const CStringW& linkPath)
{
    const CStringW folder = FolderPartOf(linkPath);
    if (folder.IsEmpty()) return CStringW();
    const DWORD start = ::GetTickCount();
    for (DWORD n = 0; n < 0x10000; ++n) {
        WCHAR name[16];
        ::wsprintfW(name, L"\\lnk%04X.tmp", (start + n) & 0xFFFF);
        const CStringW path = folder + name;
        HANDLE file = ::CreateFileW(FileSystemPath(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return path;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return CStringW();
}

// Puts the saved copy where the link is, in one rename, so the link is either
// the old one or the new one. The link's hidden and system marks go over to the
// copy. (ReplaceFile would keep them too, but under Wine it drops them and leaves
// a file of its own behind when it fails.)
HRESULT PutInPlace(const CStringW& linkPath, const CStringW& saved)
{
    const CStringW target = FileSystemPath(linkPath);
    const DWORD attributes = ::GetFileAttributesW(target);
    if (!::MoveFileExW(FileSystemPath(saved), target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const HRESULT hr = HRESULT_FROM_WIN32(::GetLastError());
        ::DeleteFileW(FileSystemPath(saved));
        return hr;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(target, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    }
    return S_OK;
}

// Saves into a new file beside the link, and replaces the link only with a
// copy that was written whole: a save that fails halfway (a full disk) must not
// leave the user's link truncated. Where no file can be made beside it, the
// link is saved over directly.
HRESULT SaveOver(IPersistFile* file, const CStringW& linkPath)
{
    const CStringW saved = MakeFileBeside(linkPath);
    if (saved.IsEmpty()) return g_pfnSaveLink(file, FileSystemPath(linkPath));
    const HRESULT hr = g_pfnSaveLink(file, FileSystemPath(saved));
    if (FAILED(hr)) {
        ::DeleteFileW(FileSystemPath(saved));
        return hr;
    }
    return PutInPlace(linkPath, saved);
}

// On a loaded link only the three edited properties change: the texts stay
// exactly as stored. The icon's file is read back, so only its index changes.
HRESULT ChangeEdited(IShellLinkW* link, WORD hotkey, int runSize, int iconIndex)
{
    std::vector<WCHAR> iconPath(kMaxLinkText, L'\0');
    int storedIndex = 0;
    HRESULT hr;
    if (FAILED(hr = link->GetIconLocation(iconPath.data(), kMaxLinkText, &storedIndex))) return hr;
    if (FAILED(hr = link->SetHotkey(hotkey))) return hr;
    if (FAILED(hr = link->SetShowCmd(ShowCmdOfRunSize(runSize)))) return hr;
    return link->SetIconLocation(iconPath.data(), iconIndex);
}

HRESULT SetAll(IShellLinkW* link, const WCHAR* target, const WCHAR* arguments, const WCHAR* workDir, WORD hotkey,
               int runSize, const WCHAR* iconPath, int iconIndex)
{
    HRESULT hr;
    if (FAILED(hr = link->SetPath(target))) return hr;
    if (FAILED(hr = link->SetArguments(arguments))) return hr;
    if (FAILED(hr = link->SetWorkingDirectory(workDir))) return hr;
    if (FAILED(hr = link->SetHotkey(hotkey))) return hr;
    if (FAILED(hr = link->SetShowCmd(ShowCmdOfRunSize(runSize)))) return hr;
    return link->SetIconLocation(iconPath, iconIndex);
}
}  // namespace

HRESULT ReadShellLink(HWND owner, ShortcutInfo* info)
{
    LinkObject object;
    const HRESULT hr = object.Create();
    if (FAILED(hr)) return hr;
    return ReadProperties(owner, object, info);
}

HRESULT WriteShellLink(const WCHAR* linkPath, const WCHAR* target, const WCHAR* arguments, const WCHAR* workDir,
                       WORD hotkey, int runSize, const WCHAR* iconPath, int iconIndex)
{
    ::CoInitialize(nullptr);
    HRESULT hr;
    {
        LinkObject object;
        hr = object.Create();
        if (SUCCEEDED(hr)) {
            // Start from the file as it is, so that what this program does not
            // edit (texts, description, relative path, extra data) survives.
            // A damaged file is never rewritten: the user keeps what is left of it.
            const HRESULT loaded = object.Load(linkPath);
            if (loaded == kUnsoundLink) {
                hr = loaded;
            } else {
                hr = SUCCEEDED(loaded)
                         ? ChangeEdited(object.m_link, hotkey, runSize, iconIndex)
                         : SetAll(object.m_link, target, arguments, workDir, hotkey, runSize, iconPath, iconIndex);
            }
        }
        if (SUCCEEDED(hr)) hr = SaveOver(object.m_file, linkPath);
    }  // released before COM goes
    ::CoUninitialize();
    return hr;
}
