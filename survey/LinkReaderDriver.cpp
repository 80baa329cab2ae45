#include "survey/LinkReaderDriver.h"

#include <utility>

#include "survey/ShellLink.h"

DWORD g_dwReadTimeLimitMs = kReadTimeLimitMs;

namespace {
// Two batches at the reader: it starts the next as soon as it has answered one.
constexpr size_t kMostSent = 2 * CLinkQueue::kBatch;
// How long a reader with nothing to do waits for a whole batch once a link has come.
constexpr DWORD kGatherMs = 10;
// How often a driver looks at its reader's progress and memory.
constexpr DWORD kLookMs = 50;
// A link sent to this many readers that all ended is reported, not sent again.
constexpr int kMostTries = 3;
// A reader that neither answers nor reads anything for this long (its limits
// on top) has stopped working; a new one may take a while to start.
constexpr DWORD kSilenceAllowanceMs = 5000;
}  // namespace

CLinkReaderDriver::CLinkReaderDriver(std::shared_ptr<CSurveyRun> run, std::shared_ptr<CLinkReaderPool> pool,
                                     HWND owner)
    : m_run(std::move(run)), m_pool(std::move(pool)), m_hOwner(owner), m_dwTimeLimitMs(g_dwReadTimeLimitMs)
{
}

void CLinkReaderDriver::Run()
{
    bool walkEnded = false;
    while (!m_run->IsStopped()) {
        if (m_waiting.empty() && !walkEnded) walkEnded = !TakeLinks(m_sent.empty());
        if (m_waiting.empty() && m_sent.empty()) {
            if (walkEnded) break;
            m_run->HandOverIfDue();
            continue;
        }
        if (!m_reader && !StartReader()) continue;
        if (!m_waiting.empty() && m_sent.size() < kMostSent && !m_reader->IsWriting()) SendBatch();
        if (m_reader) WaitForReader();
        m_run->HandOverIfDue();
    }
    if (!m_reader) return;
    if (m_sent.empty() && !m_reader->IsWriting()) {
        m_reader->CancelIo();
        m_pool->Give(std::move(m_reader));
    }
    // Else the survey was stopped while the reader worked: it ends with m_reader.
}

bool CLinkReaderDriver::TakeLinks(bool idle)
{
    std::vector<FoundLink> found;
    const CLinkQueue::Taken taken = m_run->Links().PopBatch(&found, idle ? kLookMs : 0, idle ? kGatherMs : 0);
    for (FoundLink& link : found) m_waiting.push_back(Link{std::move(link)});
    return taken != CLinkQueue::Taken::kEnd;
}

bool CLinkReaderDriver::StartReader()
{
    HRESULT hr = S_OK;
    m_reader = m_pool->Take(&hr);
    m_answers.clear();
    m_dwLastSign = ::GetTickCount();
    if (m_reader) return true;
    // Without a reader nothing can be read: the links go to the unread list
    // with the system's reason, and the next batch tries again.
    for (const Link& link : m_waiting) Report(link, ReadFailure::kNoReader, hr);
    m_waiting.clear();
    return false;
}

void CLinkReaderDriver::SendBatch()
{
    LinkBatch batch;
    batch.owner = m_hOwner;
    while (!m_waiting.empty() && batch.links.size() < CLinkQueue::kBatch) {
        Link& link = m_waiting.front();
        batch.links.push_back(LinkRequest{link.found.strPath, link.mode});
        m_sent.push_back(std::move(link));
        m_waiting.pop_front();
    }
    std::vector<BYTE> bytes;
    AppendBatch(&bytes, batch);
    if (m_sent.size() == batch.links.size()) m_dwLastSign = ::GetTickCount();  // it had nothing to do till now
    if (!m_reader->BeginWrite(std::move(bytes))) EndReader(ReadFailure::kCrashed);
}

void CLinkReaderDriver::WaitForReader()
{
    if (!m_reader->BeginRead()) return EndReader(ReadFailure::kCrashed);
    const HANDLE handles[] = {m_run->StoppedEvent(), m_reader->ReadEvent(), m_reader->Process(),
                              m_reader->WriteEvent()};
    const DWORD count = m_reader->IsWriting() ? 4 : 3;
    if (::WaitForMultipleObjects(count, handles, FALSE, kLookMs) == WAIT_OBJECT_0) return;  // stopped
    if (!m_reader->FinishWrite()) return EndReader(ReadFailure::kCrashed);
    const size_t before = m_answers.size();
    if (!m_reader->FinishRead(&m_answers)) return EndReader(ReadFailure::kCrashed);
    if (m_answers.size() != before && !TakeAnswers()) return EndReader(ReadFailure::kCrashed);
    if (::WaitForSingleObject(m_reader->Process(), 0) == WAIT_OBJECT_0) return EndReader(ReadFailure::kCrashed);
    CheckLimits();
}

bool CLinkReaderDriver::TakeAnswers()
{
    size_t at = 0;
    while (at < m_answers.size()) {
        LinkRecord record;
        const size_t taken = TakeRecord(m_answers.data() + at, m_answers.size() - at, &record);
        if (taken == 0) break;
        if (taken == kMalformed || m_sent.empty()) return false;
        at += taken;
        const Link link = std::move(m_sent.front());
        m_sent.pop_front();
        ++m_reader->m_nAnswered;
        m_dwLastSign = ::GetTickCount();
        Answer(link, record);
    }
    m_answers.erase(m_answers.begin(), m_answers.begin() + static_cast<ptrdiff_t>(at));
    return true;
}

void CLinkReaderDriver::Answer(const Link& link, LinkRecord& record)
{
    if (FAILED(record.hrStatus)) {
        UnreadFile unread;
        unread.hrStatus = record.hrStatus;
        return Unread(link, std::move(unread));
    }
    record.row.cells[0] = link.found.strPath;
    m_run->Put(link.found.nIndex, LinkResult{true, std::move(record.row), UnreadFile()});
}

void CLinkReaderDriver::Report(const Link& link, ReadFailure failure, HRESULT hr)
{
    UnreadFile unread;
    unread.hrStatus = hr;
    unread.failure = failure;
    unread.dwTimeLimitMs = m_dwTimeLimitMs;
    Unread(link, std::move(unread));
}

// Why the file could not be read: what the structure check finds in it, or
// that it cannot be opened at all. Only the bytes are read here: the service
// never sees the file in this process.
void CLinkReaderDriver::Unread(const Link& link, UnreadFile unread)
{
    unread.strPath = link.found.strPath;
    CCheckedLinkFile file;
    const HRESULT opened = file.Open(unread.strPath);
    if (SUCCEEDED(opened)) {
        unread.check = file.m_check;
    } else if (unread.failure == ReadFailure::kNone) {
        unread.hrStatus = opened;
    }
    m_run->Put(link.found.nIndex, LinkResult{false, ShortcutRow(), std::move(unread)});
}

void CLinkReaderDriver::CheckLimits()
{
    // Asking for another process's memory costs the system some work: seldom.
    const DWORD now = ::GetTickCount();
    if (now - m_dwLastLook < kLookMs) return;
    m_dwLastLook = now;
    const ReaderProgress progress = m_reader->Progress();
    if (progress.step != ReadStep::kIdle && now - progress.dwStarted > m_dwTimeLimitMs) {
        EndReader(ReadFailure::kTimedOut);
    } else if (m_reader->Memory() > kReaderMemoryLimit) {
        EndReader(ReadFailure::kTooMuchMemory);
    } else if (!m_sent.empty() && progress.step == ReadStep::kIdle &&
               now - m_dwLastSign > 2 * m_dwTimeLimitMs + kSilenceAllowanceMs) {
        EndReader(ReadFailure::kTimedOut);
    }
}

// The reader is ended, and what it answered before is taken. The link it was
// reading is reported, or, when only its Resolve did not come back, read again
// without Resolve, to be listed with what it stores. The other links it had
// are sent again to a new reader: those before it were read, but their
// answers went with the reader.
void CLinkReaderDriver::EndReader(ReadFailure failure)
{
    m_reader->Kill();
    m_reader->Drain(&m_answers);
    TakeAnswers();
    const ReaderProgress progress = m_reader->Progress();
    const uint32_t answered = m_reader->m_nAnswered;
    m_reader.reset();
    // The link it was reading, if one of those sent: m_sent.size() when none.
    size_t reading = (progress.nLink - (answered + 1)) & 0xFFFFFF;
    if (progress.step == ReadStep::kIdle || reading > m_sent.size()) reading = m_sent.size();
    std::deque<Link> again;
    for (size_t i = 0; i < m_sent.size(); ++i) {
        Link& link = m_sent[i];
        if (i == reading) {
            if (failure == ReadFailure::kTimedOut && progress.step == ReadStep::kResolving &&
                link.mode == ReadMode::kFull) {
                link.mode = ReadMode::kStoredOnly;
                again.push_back(std::move(link));
            } else {
                Report(link, failure);
            }
        } else if (reading == m_sent.size() && ++link.nTries >= kMostTries) {
            // No link to blame, again and again: this one goes too.
            Report(link, failure);
        } else {
            again.push_back(std::move(link));
        }
    }
    m_sent.clear();
    m_waiting.insert(m_waiting.begin(), std::make_move_iterator(again.begin()), std::make_move_iterator(again.end()));
}
