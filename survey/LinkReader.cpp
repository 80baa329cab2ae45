#include "survey/LinkReader.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "survey/LinkReaderProtocol.h"
#include "survey/ShellLink.h"
#include "survey/TargetCheck.h"

namespace {
// Whatever the service does wrong ends this process at once, quietly: no
// debugger, no error box. The survey sees the process end and knows the link.
constexpr UINT kCrashExitCode = 0xC0DE;
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS*)
{
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Answers are sent a batch at a time, and meanwhile at least this often, so
// that rows reach the table while a slow link is being read.
constexpr DWORD kAnswerIntervalMs = 50;

bool ReadAll(HANDLE pipe, BYTE* into, size_t size)
{
    while (size > 0) {
        DWORD read = 0;
        if (!::ReadFile(pipe, into, static_cast<DWORD>(size), &read, nullptr) || read == 0) return false;
        into += read;
        size -= read;
    }
    return true;
}

bool WriteAll(HANDLE pipe, std::vector<BYTE>* bytes)
{
    const BYTE* at = bytes->data();
    size_t left = bytes->size();
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteFile(pipe, at, static_cast<DWORD>(left), &written, nullptr)) return false;
        at += written;
        left -= written;
    }
    bytes->clear();
    return true;
}

// The next batch from the survey; false when the pipe has closed.
bool NextBatch(HANDLE pipe, std::vector<BYTE>* message, LinkBatch* batch)
{
    uint32_t length = 0;
    if (!ReadAll(pipe, reinterpret_cast<BYTE*>(&length), sizeof length)) return false;
    if (length < sizeof length || length > kMostMessageBytes) return false;
    message->resize(length);
    std::memcpy(message->data(), &length, sizeof length);
    if (!ReadAll(pipe, message->data() + sizeof length, length - sizeof length)) return false;
    const size_t taken = TakeBatch(message->data(), message->size(), batch);
    return taken == length;
}

class CReader {
public:
    explicit CReader(volatile LONG64* progress) : m_progress(progress) {}

    LinkRecord Read(const LinkBatch& batch, const LinkRequest& request)
    {
        ++m_nLink;
        ShortcutInfo info;
        info.strLinkPath = request.strPath;
        Step(ReadStep::kLoading);
        LinkRecord record;
        record.hrStatus = LoadShellLink(m_object, &info);
        if (SUCCEEDED(record.hrStatus) && request.mode == ReadMode::kStoredOnly) {
            // Its Resolve never came back: what the file stores, marked as such.
            info.bUnresolved = true;
            record.hrStatus = ReadStoredFields(m_object, &info);
        } else if (SUCCEEDED(record.hrStatus)) {
            Step(ReadStep::kResolving);
            record.hrStatus = ResolveAndRead(batch.owner, m_object, &info);
        }
        if (SUCCEEDED(record.hrStatus)) {
            record.row = MakeShortcutRow(info);
            // A link whose target Windows could not find is as broken as one whose target is gone.
            record.row.bTargetMissing = info.bUnresolved || m_targets.IsMissing(info.strTarget);
        }
        Step(ReadStep::kIdle);
        return record;
    }

private:
    void Step(ReadStep step) { StoreProgress(m_progress, ReaderProgress{m_nLink, step, ::GetTickCount()}); }

    volatile LONG64* m_progress;
    uint32_t m_nLink = 0;
    CShellLinkObject m_object;  // one for all the links: making one costs as much as a read
    CTargetCheck m_targets;
};
}  // namespace

bool IsLinkReaderStart(const WCHAR* commandLine, HANDLE* progress)
{
    int count = 0;
    WCHAR** arguments = ::CommandLineToArgvW(commandLine, &count);
    const CLocalMemory owned(arguments);
    if (!arguments) return false;
    const bool reader = count == 3 && std::wcscmp(arguments[1], kLinkReaderArgument) == 0;
    if (reader) *progress = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    return reader;
}

int RunLinkReader(HANDLE progress)
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ::SetUnhandledExceptionFilter(&EndOnCrash);
    auto* word = static_cast<volatile LONG64*>(::MapViewOfFile(progress, FILE_MAP_WRITE, 0, 0, sizeof(LONG64)));
    const HANDLE pipe = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!word || pipe == nullptr || pipe == INVALID_HANDLE_VALUE) return 1;
    const CComInitializer com;
    if (FAILED(com.Result())) return 1;
    {
        CReader reader(word);
        std::vector<BYTE> message, answers;
        LinkBatch batch;
        DWORD lastAnswer = ::GetTickCount();
        bool open = true;
        while (open && NextBatch(pipe, &message, &batch)) {
            for (const LinkRequest& request : batch.links) {
                AppendRecord(&answers, reader.Read(batch, request));
                if (::GetTickCount() - lastAnswer >= kAnswerIntervalMs) {
                    open = WriteAll(pipe, &answers);
                    lastAnswer = ::GetTickCount();
                    if (!open) break;
                }
            }
            if (open && !answers.empty()) {
                open = WriteAll(pipe, &answers);
                lastAnswer = ::GetTickCount();
            }
        }
    }  // the link object goes before COM
    ::UnmapViewOfFile(const_cast<LONG64*>(word));
    return 0;
}
