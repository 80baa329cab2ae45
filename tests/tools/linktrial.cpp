// Reads one link file with the shell link service alone, nothing in front of it,
// and prints what the service gives (UTF-8, one line):
//   read<TAB>target<TAB>arguments<TAB>work folder<TAB>hotkey<TAB>show<TAB>icon<TAB>index
//   refused<TAB>step<TAB>status
// scripts/link-trial.py runs it on damaged files in a child process with a time
// limit, to learn which damage crashes, stalls or swamps the service.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {
std::string Utf8(const WCHAR* text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

int Refused(const char* step, HRESULT hr)
{
    std::printf("refused\t%s\t0x%08lX\n", step, static_cast<unsigned long>(hr));
    return 0;
}
}  // namespace

int wmain(int argc, WCHAR** argv)
{
    if (argc < 2) return 2;
    ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return Refused("create", hr);
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return Refused("query", hr);
    if (FAILED(hr = file->Load(argv[1], STGM_READ))) return Refused("load", hr);
    if (FAILED(hr = link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH))) return Refused("resolve", hr);
    const int size = 0x10000;
    std::vector<WCHAR> target(size), arguments(size), workDir(size), icon(size);
    WIN32_FIND_DATAW data;
    WORD hotkey = 0;
    int show = 0, index = 0;
    if (FAILED(hr = link->GetPath(target.data(), size, &data, 0))) return Refused("path", hr);
    if (FAILED(hr = link->GetArguments(arguments.data(), size))) return Refused("arguments", hr);
    if (FAILED(hr = link->GetWorkingDirectory(workDir.data(), size))) return Refused("workdir", hr);
    if (FAILED(hr = link->GetHotkey(&hotkey))) return Refused("hotkey", hr);
    if (FAILED(hr = link->GetShowCmd(&show))) return Refused("show", hr);
    if (FAILED(hr = link->GetIconLocation(icon.data(), size, &index))) return Refused("icon", hr);
    std::printf("read\t%s\t%s\t%s\t%u\t%d\t%s\t%d\n", Utf8(target.data()).c_str(), Utf8(arguments.data()).c_str(),
                Utf8(workDir.data()).c_str(), hotkey, show, Utf8(icon.data()).c_str(), index);
    file->Release();
    link->Release();
    ::CoUninitialize();
    return 0;
}
