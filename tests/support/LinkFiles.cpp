#include "support/LinkFiles.h"

#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <functional>

#include "framework/WideString.h"
#include "support/TestHelpers.h"

namespace {
// Test trees hold names and depths beyond the code page.
std::wstring LongForm(const std::wstring& path) { return L"\\\\?\\" + path; }

// The service's link object and its file interface, released after `use`.
HRESULT UseShellLink(const std::function<HRESULT(IShellLinkW*, IPersistFile*)>& use)
{
    IShellLinkW* link = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return hr;
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        hr = use(link, file);
        file->Release();
    }
    link->Release();
    return hr;
}

// The entries of a folder, "." and ".." left out, in the order the platform lists them.
void ForEachIn(const std::wstring& folder, const std::function<void(const std::wstring& name, DWORD attributes)>& visit)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(LongForm(folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") visit(name, found.dwFileAttributes);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

// Depth first, a folder after what it holds; folder links are not followed: they may lead back.
void WalkTree(const std::wstring& folder, const std::function<void(const std::wstring& path, DWORD attributes)>& visit)
{
    ForEachIn(folder, [&](const std::wstring& name, DWORD attributes) {
        const std::wstring path = folder + L"\\" + name;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) WalkTree(path, visit);
        visit(path, attributes);
    });
}
}  // namespace

HRESULT MakeLink(const std::string& path, const LinkSpec& sample)
{
    return UseShellLink([&](IShellLinkW* link, IPersistFile* file) {
        link->SetPath(Wide(sample.target).c_str());
        link->SetArguments(Wide(sample.arguments).c_str());
        link->SetWorkingDirectory(Wide(sample.workDir).c_str());
        link->SetHotkey(sample.hotkey);
        link->SetShowCmd(sample.showCmd);
        link->SetIconLocation(Wide(sample.iconPath).c_str(), sample.iconIndex);
        if (!sample.description.empty()) link->SetDescription(Wide(sample.description).c_str());
        return file->Save(Wide(path).c_str(), TRUE);
    });
}

HRESULT MakeLinkW(const std::wstring& path, const std::wstring& target, const std::wstring& arguments,
                  const std::wstring& iconPath, WORD hotkey)
{
    return UseShellLink([&](IShellLinkW* link, IPersistFile* file) {
        link->SetPath(target.c_str());
        link->SetArguments(arguments.c_str());
        link->SetHotkey(hotkey);
        link->SetIconLocation(iconPath.c_str(), 0);
        return file->Save(LongForm(path).c_str(), TRUE);
    });
}

bool MakeFolderW(const std::wstring& path) { return ::CreateDirectoryW(LongForm(path).c_str(), nullptr) != FALSE; }

std::wstring Wide(const std::string& ansi)
{
    std::wstring wide(ansi.size() + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return wide;
}

std::vector<unsigned char> FileBytesW(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = ::CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(::GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    ::CloseHandle(file);
    return bytes;
}

std::vector<std::wstring> NamesInW(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    ForEachIn(folder, [&](const std::wstring& name, DWORD) { names.push_back(name); });
    return names;
}

std::string LinkDescription(const std::string& path)
{
    return WideToAnsi(ReadWithService(Wide(path), false).description.c_str()).str();
}

std::string FileBytes(const std::string& path)
{
    const std::vector<unsigned char> bytes = FileBytesW(Wide(path));
    return std::string(bytes.begin(), bytes.end());
}

int StoredShowCmd(const std::string& path)
{
    const std::vector<unsigned char> bytes = FileBytesW(Wide(path));
    if (bytes.size() < 0x40) return -1;
    return bytes[0x3C] | (bytes[0x3D] << 8) | (bytes[0x3E] << 16) | (bytes[0x3F] << 24);
}

void WriteTextFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TempTree::TempTree()
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    for (;;) {
        m_root = std::string(temp) + "lirvan-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++counter);
        if (::CreateDirectoryA(m_root.c_str(), nullptr)) break;
    }
}

std::string TempTree::Folder(const std::string& relative) const
{
    std::string path = Path(relative);
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

namespace {
// Wine's own calls neither make nor remove a folder link: the host's ln and rm
// do, started like programs of Wine's own with Unix paths. Their end cannot be
// waited for, so `done` says when they have done their work.
bool OnWineHost(const std::string& program, const std::vector<std::wstring>& paths, const std::function<bool()>& done)
{
    using UnixNameFunction = char*(CDECL*)(const WCHAR*);
    const auto unixName = reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName) return false;
    std::wstring command(program.begin(), program.end());
    for (const std::wstring& path : paths) {
        // The folder's Unix name, then the last name as it is: it may not exist.
        const size_t cut = path.find_last_of(L'\\');
        char* folder = unixName(path.substr(0, cut).c_str());
        WCHAR wide[MAX_PATH * 4] = {};
        if (folder) ::MultiByteToWideChar(CP_UTF8, 0, folder, -1, wide, MAX_PATH * 4);
        ::HeapFree(::GetProcessHeap(), 0, folder);
        command += L" \"" + std::wstring(wide) + L"/" + path.substr(cut + 1) + L"\"";
    }
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    const std::wstring binary = L"Z:\\bin\\" + command.substr(0, command.find(L' '));
    if (!::CreateProcessW(binary.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int i = 0; i < 100 && !done(); ++i) ::Sleep(50);
    return done();
}

void RemoveFolderLink(const std::wstring& path)
{
    auto gone = [&] { return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; };
    if (!::RemoveDirectoryW(path.c_str())) OnWineHost("rm", {path}, gone);
}
}  // namespace

TempTree::~TempTree()
{
    WalkTree(Wide(m_root), [](const std::wstring& path, DWORD attributes) {
        const std::wstring longPath = LongForm(path);
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveFolderLink(longPath);
            return;
        }
        ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) ::RemoveDirectoryW(longPath.c_str());
        else ::DeleteFileW(longPath.c_str());
    });
    ::RemoveDirectoryW(LongForm(Wide(m_root)).c_str());
}

std::vector<std::string> TempTree::Links() const
{
    std::vector<std::string> links;
    WalkTree(Wide(m_root), [&](const std::wstring& path, DWORD attributes) {
        const WCHAR* end = path.c_str() + path.size() - 4;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && (lstrcmpiW(end, L".lnk") == 0 || lstrcmpiW(end, L".pif") == 0)) {
            links.push_back(WideToAnsi(path.c_str()).str());
        }
    });
    return links;
}

bool MakeFolderLink(const std::string& link, const std::string& target)
{
    auto made = [&] { return ::GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
    if (::CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) && made()) return true;
    return OnWineHost("ln -s", {Wide(target), Wide(link)}, made);
}

std::string LinkWithRunawayItem(const std::vector<unsigned char>& good)
{
    std::string bytes(good.begin(), good.begin() + 0x4C);
    bytes[0x14] = 1;  // flags: an ID list and nothing else
    bytes[0x15] = bytes[0x16] = bytes[0x17] = 0;
    // Folder items of 4 KB up to the end of a list of nearly 64 KB, then one
    // of 64 KB: a list this long has memory of its own, which ends soon after it.
    const size_t listSize = 0xFFF0, step = 0x1000;
    std::string list(listSize, '\0');
    size_t at = 0;
    for (; at + step < listSize - 0x10; at += step) list.replace(at, 3, std::string("\x00\x10\x31", 3));
    list.replace(at, 3, "\xFF\xFF\x31");
    bytes += static_cast<char>(listSize & 0xFF);
    bytes += static_cast<char>(listSize >> 8);
    return bytes + list + std::string(4, '\0');  // the last extra-data block
}

std::string LinkWithTinyItems(const std::vector<unsigned char>& good, int items, char byte)
{
    std::string bytes(good.begin(), good.begin() + 0x4C);
    bytes[0x14] = 1;  // flags: an ID list and nothing else
    bytes[0x15] = bytes[0x16] = bytes[0x17] = 0;
    const int listSize = items * 3 + 2;
    bytes += static_cast<char>(listSize & 0xFF);
    bytes += static_cast<char>(listSize >> 8);
    for (int i = 0; i < items; ++i) bytes += std::string("\x03\x00", 2) + byte;
    bytes += std::string(2 + 4, '\0');  // the list's end, then the last extra-data block
    return bytes;
}

ServiceReading ReadWithService(const std::wstring& path, bool resolve)
{
    ServiceReading out;
    UseShellLink([&](IShellLinkW* link, IPersistFile* file) {
        out.status = file->Load(path.c_str(), STGM_READ);
        if (FAILED(out.status)) return out.status;
        if (resolve) link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH);
        std::vector<WCHAR> text(0x10000);
        WIN32_FIND_DATAW data;
        auto get = [&text](std::wstring& into, auto call) {
            text[0] = L'\0';
            call(text.data(), static_cast<int>(text.size()));
            into = text.data();
        };
        get(out.target, [&](WCHAR* t, int n) { link->GetPath(t, n, &data, 0); });
        get(out.arguments, [&](WCHAR* t, int n) { link->GetArguments(t, n); });
        get(out.workDir, [&](WCHAR* t, int n) { link->GetWorkingDirectory(t, n); });
        get(out.iconPath, [&](WCHAR* t, int n) { link->GetIconLocation(t, n, &out.iconIndex); });
        get(out.description, [&](WCHAR* t, int n) { link->GetDescription(t, n); });
        link->GetHotkey(&out.hotkey);
        link->GetShowCmd(&out.showCmd);
        return out.status;
    });
    return out;
}

std::wstring RealLinksFolder() { return Wide(SourcePath("tests\\data\\real-links")); }
