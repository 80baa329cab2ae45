// Real link files in temporary folders, made and read through the shell link service.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

inline constexpr char kNotepad[] = "C:\\windows\\notepad.exe";
inline constexpr char kShell32[] = "C:\\windows\\system32\\shell32.dll";

struct LinkSpec {
    std::string target = kNotepad;
    std::string arguments;
    std::string workDir;
    WORD hotkey = 0;
    int showCmd = SW_SHOWNORMAL;
    std::string iconPath;
    int iconIndex = 0;
    std::string description;
};

// Writes a link file; the calling thread must have initialised COM.
HRESULT MakeLink(const std::string& path, const LinkSpec& sample);
// Wide paths and texts, exactly: names the code page cannot spell, and paths of
// any length (handed to the file system with the "\\?\" prefix).
HRESULT MakeLinkW(const std::wstring& path, const std::wstring& target, const std::wstring& arguments,
                  const std::wstring& iconPath, WORD hotkey = 0);
bool MakeFolderW(const std::wstring& path);
std::wstring Wide(const std::string& ansi);
// The whole file, byte for byte.
std::vector<unsigned char> FileBytesW(const std::wstring& path);
// The names in a folder, "." and ".." left out.
std::vector<std::wstring> NamesInW(const std::wstring& folder);

// What the shell link service itself reads from a link file loaded by its path,
// resolved without a user interface: the oracle for the survey's rows.
struct ServiceReading {
    HRESULT status = E_FAIL;  // of the load
    std::wstring target, arguments, workDir, iconPath, description;
    WORD hotkey = 0;
    int showCmd = 0, iconIndex = 0;
};
// Without `resolve`, what the file stores.
ServiceReading ReadWithService(const std::wstring& path, bool resolve = true);
// The real links that Windows wrote, in the repository's test data.
std::wstring RealLinksFolder();

// The description stored in a link file ("" when it cannot be read).
std::string LinkDescription(const std::string& path);
// The whole file, byte for byte.
std::string FileBytes(const std::string& path);
// The show command stored in a link file's header (offset 0x3C).
int StoredShowCmd(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& bytes);
// A folder link at `link` that leads to the folder `target`.
bool MakeFolderLink(const std::string& link, const std::string& target);

// A fresh folder below the temporary folder, removed with everything in it.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + "\\" + relative; }
    std::string Folder(const std::string& relative) const;  // creates it
    // The link files below it (.lnk, .pif), in the order the platform walks the
    // tree; folder links are not followed.
    std::vector<std::string> Links() const;

private:
    std::string m_root;
};

// COM for the calling thread, for the life of the object.
struct ComScope {
    ComScope() { ::CoInitialize(nullptr); }
    ~ComScope() { ::CoUninitialize(); }
};

// Damaged links made from a good link's header: the last ID-list item runs far
// past its list (the service crashes on it); the ID list holds nothing but `items`
// one-byte items (2,000 of 0x1F: the service reads it; 24 of 0x42: its
// Resolve never returns).
std::string LinkWithRunawayItem(const std::vector<unsigned char>& good);
std::string LinkWithTinyItems(const std::vector<unsigned char>& good, int items, char byte);
