#include "support/LinkFiles.h"

#include <objbase.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

HRESULT MakeLink(const std::string& path, const LinkSpec& sample)
{
    IShellLinkA* link = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return hr;
    link->SetPath(sample.target.c_str());
    link->SetArguments(sample.arguments.c_str());
    link->SetWorkingDirectory(sample.workDir.c_str());
    link->SetHotkey(sample.hotkey);
    link->SetShowCmd(sample.showCmd);
    link->SetIconLocation(sample.iconPath.c_str(), sample.iconIndex);
    if (!sample.description.empty()) link->SetDescription(sample.description.c_str());
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        WCHAR wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        hr = file->Save(wide, TRUE);
        file->Release();
    }
    link->Release();
    return hr;
}

std::string LinkDescription(const std::string& path)
{
    std::string description;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link)))) {
        return description;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char text[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetDescription(text, MAX_PATH))) {
            description = text;
        }
        file->Release();
    }
    link->Release();
    return description;
}

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int StoredShowCmd(const std::string& path)
{
    const std::vector<unsigned char> bytes = FileBytes(path);
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
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}
}  // namespace

TempTree::~TempTree() { RemoveTree(m_root); }
