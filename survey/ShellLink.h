// The only contact with the contents of link files: the shell link service.
// Texts are UTF-16, exactly as the file holds them.
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "framework/WideString.h"
#include "survey/LinkCheck.h"

// A link file opened and its structure checked before the service loads it,
// held against writers until it is closed, so that the service loads the bytes
// that were checked.
class CCheckedLinkFile {
public:

    // S_OK when the file is open and m_check says what the check found; else why it could not be opened.
    HRESULT Open(const CStringW& path);
    void Close() { m_file.Reset(); }

    HRESULT m_hrOpen = E_UNEXPECTED;  // not opened yet
    LinkCheckResult m_check = LinkCheckResult::kSound;

private:
    CHandle m_file;
};

struct ShortcutInfo {
    CStringW strLinkPath;  // texts of any length, as the service gives them
    CStringW strTarget;
    CStringW strArguments;
    CStringW strWorkDir;
    WORD wHotkey = 0;  // low byte key code, high byte HOTKEYF_ modifiers
    int nShowCmd = 0;  // an SW_ value
    CStringW strIconPath;
    int nIconIndex = 0;
    // The link loaded, but its target is gone and could not be found.
    bool bUnresolved = false;
    // What the structure check found, when it refused the file.
    LinkCheckResult check = LinkCheckResult::kSound;
};

// What reading or writing gives for a file the structure check refused: one that
// is no link at all, and a link damaged in a way that harms the service.
const HRESULT kNotALink = HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
const HRESULT kDamagedLink = HRESULT_FROM_WIN32(ERROR_FILE_CORRUPT);

// One shell link object with both of its interfaces. A survey keeps one for all its reads: the service loads each
// link afresh into it, and making an object costs as much as reading a link.
struct IShellLinkW;
struct IPersistFile;
class CShellLinkObject {
public:
    CShellLinkObject();  // both made where the interfaces are known
    ~CShellLinkObject();
    HRESULT Create();
    void Reset();  // releases both interfaces, in reverse order of acquisition
    // Loads a link file by its path once its structure was checked: the service
    // crashes on some damaged files and takes gigabytes for others. The file is
    // held against writers from the check to the load, so the service loads the
    // bytes that were checked. `check` says what the check found.
    HRESULT Load(const CStringW& path, LinkCheckResult* check);
    // Loads a link file by its path as it is.
    HRESULT LoadByPath(const CStringW& path);

    // Declared in the order they are acquired, so they go in the reverse one.
    CComPtr<IShellLinkW> m_link;
    CComPtr<IPersistFile> m_file;
    std::vector<WCHAR> m_text;  // the getters' buffer, made once for all the reads

private:
    HRESULT LoadChecked(const CStringW& path, const CCheckedLinkFile& checked);
};

// A link is read in two steps, because only the second may search the disks and
// the network for a moved target, for as long as the service likes. The calling
// thread must have initialised COM; the object is made on first use. The fields
// are valid only when the result is not negative; after a failure the object
// is reset, so the next link starts afresh.
// First: loads info->strLinkPath by its path, unchecked: only where whatever the
// service does with a damaged file harms nobody but the caller's own process.
HRESULT LoadShellLink(CShellLinkObject& object, ShortcutInfo* info);
// Then: resolves the loaded link without any user interface and reads it. A
// link whose Resolve fails keeps what it stores, with bUnresolved set.
HRESULT ResolveAndRead(HWND owner, CShellLinkObject& object, ShortcutInfo* info);
// Or reads the loaded link as the file stores it, without resolving it.
HRESULT ReadStoredFields(CShellLinkObject& object, ShortcutInfo* info);
// Both steps, as a reader takes them.
HRESULT ReadShellLink(HWND owner, ShortcutInfo* info, CShellLinkObject* reused = nullptr);

// Changes a link's shortcut key, show command (runSize: 0 normal, 1 minimised,
// 2 maximised, anything else normal) and icon index, keeping everything else the
// file holds exactly. A file that cannot be loaded is built from all the given
// properties. The file is replaced only by a copy that was saved whole.
// Initialises COM for itself.
HRESULT WriteShellLink(const WCHAR* linkPath, const WCHAR* target, const WCHAR* arguments, const WCHAR* workDir,
                       WORD hotkey, int runSize, const WCHAR* iconPath, int iconIndex);

// The shell link service's save; tests put a failing one in its place.
struct IPersistFile;
using SaveLinkFunction = HRESULT (*)(IPersistFile* file, const WCHAR* path);
extern SaveLinkFunction g_pfnSaveLink;
