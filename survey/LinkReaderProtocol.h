// What the survey and its reader processes say to each other. The survey sends
// batches of link paths down a pipe; a reader reads each link with the shell
// link service and sends back what it read, a batch at a time. Where it is in
// its work it keeps in a word of memory that the survey can read even after
// the reader has died, so the survey knows which link was too much for it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/WideString.h"
#include "survey/SurveyResults.h"

// The start argument that makes the program a reader, followed by the handle
// of the shared progress word.
extern const WCHAR kLinkReaderArgument[];

enum class ReadMode : uint32_t {
    kFull,        // load, then resolve and read
    kStoredOnly,  // load and read what the file stores; Resolve is not called
};

struct LinkRequest {
    CStringW strPath;
    ReadMode mode = ReadMode::kFull;
};

struct LinkBatch {
    HWND owner = nullptr;  // the window a resolve may name as its owner; it shows no UI
    std::vector<LinkRequest> links;
};

// A reader's answer for one link: its row, all but the path that the survey
// knows; valid when hrStatus is not negative.
struct LinkRecord {
    HRESULT hrStatus = E_FAIL;
    ShortcutRow row;
};

// Each message starts with its own length in bytes, so a reader of the stream
// knows when one is whole. Take* return the bytes taken: 0 while the message
// is not whole yet, and kMalformed when it cannot be one.
constexpr size_t kMalformed = static_cast<size_t>(-1);
// No message is longer: a batch of the longest paths, four texts of a link at their longest.
constexpr uint32_t kMostMessageBytes = 64u << 20;
void AppendBatch(std::vector<BYTE>* out, const LinkBatch& batch);
size_t TakeBatch(const BYTE* data, size_t size, LinkBatch* batch);
void AppendRecord(std::vector<BYTE>* out, const LinkRecord& record);
size_t TakeRecord(const BYTE* data, size_t size, LinkRecord* record);

// The reader's progress: which link it has begun (counted from 1 since it
// started) and in which step, and when the step began (tick count).
enum class ReadStep : uint32_t { kIdle, kLoading, kResolving };
struct ReaderProgress {
    uint32_t nLink = 0;
    ReadStep step = ReadStep::kIdle;
    DWORD dwStarted = 0;
};
// The word lives in memory that both processes map; one store and one load,
// so the survey never sees half of a change.
void StoreProgress(volatile LONG64* word, const ReaderProgress& progress);
ReaderProgress LoadProgress(volatile LONG64* word);
