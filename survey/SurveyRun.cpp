#include "survey/SurveyRun.h"

#include <cwchar>
#include <utility>

#include "framework/FileFind.h"

LinkFoundFunction g_pfnLinkFound = nullptr;

namespace {
// While the rows fill the table's first page, often enough that they appear
// smoothly; below it, where a hand-over shows no more than the scroll bar and
// the count, seldom: each costs the list some milliseconds whatever it brings.
constexpr DWORD kHandOverIntervalMs = 50;
constexpr size_t kRowsHandedOverQuickly = 200;
constexpr DWORD kLaterHandOverIntervalMs = 250;

// Names that end in .lnk or .pif, in any case. Most names have no dot there,
// and a tree holds a hundred other files for each link.
bool IsLinkFileName(const WCHAR* name)
{
    const size_t length = std::wcslen(name);
    if (length < 4 || name[length - 4] != L'.') return false;
    const WCHAR* tail = name + length - 4;
    return ::lstrcmpiW(tail, L".lnk") == 0 || ::lstrcmpiW(tail, L".pif") == 0;
}

bool IsDotOrDotDot(const WCHAR* name) { return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2])); }
}  // namespace

CSurveyRun::CSurveyRun(std::vector<CStringW> folders, HWND window, UINT message)
    : m_folders(std::move(folders)), m_hWindow(window), m_nMessage(message),
      m_hStopped(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

void CSurveyRun::Walk()
{
    // Folders given side by side may lie one inside another: known by identity from the start.
    m_bByIdentity = m_folders.size() > 1;
    for (const CStringW& folder : m_folders) {
        if (m_bStopped) break;
        if (EnterOnce(folder, false)) ScanFolder(folder);
    }
    m_links.Finish();
    std::lock_guard<std::mutex> hold(m_lock);
    m_nTotal = m_nFound;
    HandOver(false);
}

void CSurveyRun::ScanFolder(const CStringW& folder)
{
    // Any depth: the finder hands long paths on in the form that has no limit.
    CFileFind finder;
    if (!finder.FindFile(folder + L"\\*.*")) return;
    BOOL more = TRUE;
    while (more) {
        if (m_bStopped) break;  // Esc: stop at every depth
        more = finder.FindNextFile();
        const WCHAR* name = finder.GetFileNamePtr();
        if (IsDotOrDotDot(name)) continue;
        if (finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
            const CStringW subfolder = folder + L"\\" + name;
            if (EnterOnce(subfolder, finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))) ScanFolder(subfolder);
        } else if (IsLinkFileName(name)) {
            QueueLink(finder.GetFilePath());
        }
    }
}

// A folder link or junction can lead back into the tree, or to a folder that
// the walk meets elsewhere too: each folder is walked once, known by its volume
// and file index whatever the path to it. Without folder links no folder can be
// met twice, so until the first one the walk only notes the paths it entered.
bool CSurveyRun::EnterOnce(const CStringW& folder, bool isLink)
{
    if (!m_bByIdentity) {
        if (!isLink) {
            m_enteredPaths.push_back(folder);
            return true;
        }
        m_bByIdentity = true;
        for (const CStringW& entered : m_enteredPaths) EnterIdentity(entered, false);
        m_enteredPaths = {};
    }
    return EnterIdentity(folder, isLink);
}

bool CSurveyRun::EnterIdentity(const CStringW& folder, bool isLink)
{
    const CHandle handle(::CreateFileW(FileSystemPath(folder), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = handle.IsValid() && ::GetFileInformationByHandle(handle, &info);
    // A link whose target cannot be told may lead anywhere: not entered.
    if (!known) return !isLink;
    return m_entered.emplace(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow).second;
}

void CSurveyRun::QueueLink(const CStringW& path)
{
    const size_t index = m_nFound++;
    if (g_pfnLinkFound) g_pfnLinkFound(m_nFound);
    m_links.Push(FoundLink{index, path});
}

void CSurveyRun::Put(size_t index, LinkResult result)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_bEnded || index < m_nNext) return;
    if (index != m_nNext) {
        m_early.emplace(index, std::move(result));
        return;
    }
    Release(result);
    for (auto next = m_early.begin(); next != m_early.end() && next->first == m_nNext; next = m_early.erase(next)) {
        Release(next->second);
    }
    HandOver(false);
}

void CSurveyRun::Release(LinkResult& result)
{
    if (result.bListed) {
        m_ready.rows.push_back(std::move(result.row));
    } else {
        m_ready.unread.push_back(std::move(result.unread));
    }
    ++m_nNext;
}

void CSurveyRun::HandOverIfDue()
{
    std::lock_guard<std::mutex> hold(m_lock);
    HandOver(false);
}

bool CSurveyRun::IsComplete() const { return m_nNext == m_nTotal; }

void CSurveyRun::HandOver(bool now)
{
    if (m_bEnded) return;
    const DWORD tick = ::GetTickCount();
    if (IsComplete()) {
        m_bEnded = true;
        m_ready.bDone = true;
        now = true;
    }
    // No hand-over yet (0): the first row goes over at once.
    const DWORD interval = m_nNext <= kRowsHandedOverQuickly ? kHandOverIntervalMs : kLaterHandOverIntervalMs;
    const bool due = m_dwLastHandOver == 0 || tick - m_dwLastHandOver >= interval;
    if (!now && (!due || (m_ready.rows.empty() && m_ready.unread.empty()))) return;
    m_dwLastHandOver = tick;
    // Told once until the window takes: it takes everything there is then.
    // A full message queue: told again with the next results.
    if (!m_bTold) m_bTold = ::PostMessageW(m_hWindow, m_nMessage, 0, 0) != FALSE;
}

SurveyResults CSurveyRun::Take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bTold = false;
    return std::exchange(m_ready, SurveyResults());
}

void CSurveyRun::Stop()
{
    m_bStopped = true;
    ::SetEvent(m_hStopped);
    m_links.Stop();
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_bEnded) return;
    // Whatever was read is kept, in walk order, also past a link still being read.
    for (auto& early : m_early) Release(early.second);
    m_early.clear();
    m_bEnded = true;
    m_ready.bDone = true;
}
