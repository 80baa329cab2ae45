#include "edit/ShellActions.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <type_traits>

#include "framework/Handles.h"

namespace {
HRESULT ShowInFolder(HWND, const WCHAR* path)
{
    // An item list of the COM allocator, as ILFree releases it.
    const CTaskMemory<std::remove_pointer_t<PIDLIST_ABSOLUTE>> item(::ILCreateFromPathW(path));
    if (!item.Get()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    return ::SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0);
}

HRESULT ShowProperties(HWND owner, const WCHAR* path)
{
    if (::SHObjectProperties(owner, SHOP_FILEPATH, path, nullptr)) return S_OK;
    // Not every shell offers it: ask for the file's own "properties" verb instead.
    SHELLEXECUTEINFOW info = {sizeof info};
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"properties";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info)) return S_OK;
    return HRESULT_FROM_WIN32(::GetLastError());
}
}  // namespace

ShellPathFunction g_pfnShowInFolder = &ShowInFolder;
ShellPathFunction g_pfnShowProperties = &ShowProperties;

HRESULT MoveToRecycleBin(HWND owner, const WCHAR* path)
{
    std::wstring from(path);
    from.push_back(L'\0');  // a list of names, ended by an empty one
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    // The user has confirmed already; the system still asks before a file that
    // cannot be recycled would be deleted for good.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    const int result = ::SHFileOperationW(&operation);
    if (result != 0) return HRESULT_FROM_WIN32(static_cast<DWORD>(result));
    if (operation.fAnyOperationsAborted) return S_FALSE;
    // Only a file that is really gone has been moved.
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return E_FAIL;
    return S_OK;
}
