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

namespace {
// The longest text a link's string fields can hold (a 16-bit count).
constexpr int kMaxLinkText = 0xFFFF + 1;

// A program information file in its own format, not a link: only the service
// knows how to read it, by its name.
bool IsProgramInformationFileName(const CStringW& path)
{
    const int length = path.GetLength();
    return length >= 4 && ::lstrcmpiW(static_cast<const WCHAR*>(path) + length - 4, L".pif") == 0;
}

bool IsRefusedByCheck(HRESULT hr) { return hr == kNotALink || hr == kDamagedLink; }

int ShowCmdOfRunSize(int runSize)
{
    if (runSize == 1) return SW_SHOWMINNOACTIVE;
    if (runSize == 2) return SW_SHOWMAXIMIZED;
    return SW_SHOWNORMAL;
}

}  // namespace

CShellLinkObject::CShellLinkObject() = default;
CShellLinkObject::~CShellLinkObject() = default;

void CShellLinkObject::Reset()
{
    m_file.Reset();
    m_link.Reset();
}

HRESULT CShellLinkObject::Create()
{
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    m_link.ReceiveVoid());
    if (SUCCEEDED(hr)) hr = m_link->QueryInterface(IID_IPersistFile, m_file.ReceiveVoid());
    return hr;
}

HRESULT CShellLinkObject::LoadByPath(const CStringW& path) { return m_file->Load(FileSystemPath(path), STGM_READ); }

HRESULT CCheckedLinkFile::Open(const CStringW& path)
{
    Close();
    // Others may read the file meanwhile, but nobody may change it.
    m_file.Reset(::CreateFileW(FileSystemPath(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file.IsValid()) return m_hrOpen = HRESULT_FROM_WIN32(::GetLastError());
    FileLinkSource source(m_file);
    m_check = CheckShellLink(source);
    return m_hrOpen = S_OK;
}

HRESULT CShellLinkObject::LoadChecked(const CStringW& path, const CCheckedLinkFile& checked)
{
    if (FAILED(checked.m_hrOpen)) return checked.m_hrOpen;
    if (checked.m_check == LinkCheckResult::kSound ||
        (checked.m_check == LinkCheckResult::kNoLinkHeader && IsProgramInformationFileName(path))) {
        return LoadByPath(path);
    }
    return checked.m_check == LinkCheckResult::kNoLinkHeader ? kNotALink : kDamagedLink;
}

HRESULT CShellLinkObject::Load(const CStringW& path, LinkCheckResult* check)
{
    CCheckedLinkFile file;
    const HRESULT hr = file.Open(path);
    if (FAILED(hr)) return hr;
    *check = file.m_check;
    return LoadChecked(path, file);  // closed after the load
}

namespace {
// One getter's text in full, through a buffer as long as any text a link holds.
template <typename Getter>
HRESULT GetText(std::vector<WCHAR>& buffer, CStringW* text, Getter get)
{
    buffer[0] = L'\0';
    const HRESULT hr = get(buffer.data(), static_cast<int>(buffer.size()));
    if (SUCCEEDED(hr)) *text = CStringW(buffer.data());
    return hr;
}

// The link's fields, each text in full.
HRESULT ReadFields(CShellLinkObject& object, ShortcutInfo* info)
{
    IShellLinkW* link = object.m_link.Get();
    std::vector<WCHAR>& buffer = object.m_text;
    if (buffer.size() < kMaxLinkText) buffer.resize(kMaxLinkText);
    HRESULT hr;
    WIN32_FIND_DATAW findData;
    if (FAILED(hr = GetText(buffer, &info->strTarget,
                            [&](WCHAR* text, int size) { return link->GetPath(text, size, &findData, 0); }))) {
        return hr;
    }
    if (FAILED(hr = GetText(buffer, &info->strArguments,
                            [&](WCHAR* text, int size) { return link->GetArguments(text, size); }))) {
        return hr;
    }
    if (FAILED(hr = GetText(buffer, &info->strWorkDir,
                            [&](WCHAR* text, int size) { return link->GetWorkingDirectory(text, size); }))) {
        return hr;
    }
    if (FAILED(hr = link->GetHotkey(&info->wHotkey))) return hr;
    if (FAILED(hr = link->GetShowCmd(&info->nShowCmd))) return hr;
    return GetText(buffer, &info->strIconPath,
                   [&](WCHAR* text, int size) { return link->GetIconLocation(text, size, &info->nIconIndex); });
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
        const CHandle file(::CreateFileW(FileSystemPath(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid()) return path;
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

HRESULT LoadShellLink(CShellLinkObject& object, ShortcutInfo* info)
{
    HRESULT hr = S_OK;
    if (!object.m_file) hr = object.Create();
    if (SUCCEEDED(hr)) hr = object.LoadByPath(info->strLinkPath);
    // Whatever a failed read left in the object, the next link starts afresh.
    if (FAILED(hr)) object.Reset();
    return hr;
}

HRESULT ReadStoredFields(CShellLinkObject& object, ShortcutInfo* info)
{
    if (!object.m_link) return E_UNEXPECTED;
    const HRESULT hr = ReadFields(object, info);
    if (FAILED(hr)) object.Reset();
    return hr;
}

HRESULT ResolveAndRead(HWND owner, CShellLinkObject& object, ShortcutInfo* info)
{
    if (!object.m_link) return E_UNEXPECTED;
    // No user interface, and never rewrite the file while reading it. A target
    // that is gone leaves the link as stored: it is listed all the same.
    info->bUnresolved = FAILED(object.m_link->Resolve(owner, SLR_NO_UI | SLR_ANY_MATCH));
    return ReadStoredFields(object, info);
}

HRESULT ReadShellLink(HWND owner, ShortcutInfo* info, CShellLinkObject* reused)
{
    CShellLinkObject own;
    CShellLinkObject& object = reused ? *reused : own;
    const HRESULT hr = LoadShellLink(object, info);
    return SUCCEEDED(hr) ? ResolveAndRead(owner, object, info) : hr;
}

HRESULT WriteShellLink(const WCHAR* linkPath, const WCHAR* target, const WCHAR* arguments, const WCHAR* workDir,
                       WORD hotkey, int runSize, const WCHAR* iconPath, int iconIndex)
{
    // COM for this call only where the thread has none; the window's thread has.
    const CComInitializer com;
    HRESULT hr;
    {
        CShellLinkObject object;
        hr = object.Create();
        if (SUCCEEDED(hr)) {
            // Start from the file as it is, so that what this program does not
            // edit (texts, description, relative path, extra data) survives.
            // A damaged file is never rewritten: the user keeps what is left of it.
            LinkCheckResult check;
            const HRESULT loaded = object.Load(linkPath, &check);
            if (IsRefusedByCheck(loaded)) {
                hr = loaded;
            } else {
                hr = SUCCEEDED(loaded)
                         ? ChangeEdited(object.m_link.Get(), hotkey, runSize, iconIndex)
                         : SetAll(object.m_link.Get(), target, arguments, workDir, hotkey, runSize, iconPath, iconIndex);
            }
        }
        if (SUCCEEDED(hr)) hr = SaveOver(object.m_file.Get(), linkPath);
    }  // released before COM goes
    return hr;
}
