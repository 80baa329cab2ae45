// What a survey hands to the window: the rows it read and the files it could
// not read, in walk order.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/WideString.h"
#include "survey/LinkCheck.h"

// One table row: the eight cell texts in column order, exactly as read, and the item data.
struct ShortcutRow {
    CStringW cells[8];
    DWORD data = 0;
    bool bTargetMissing = false;  // drawn greyed; kept with the row in the list's state
};

// How a read ended that the service itself never answered.
enum class ReadFailure {
    kNone,           // the service answered: hrStatus and check say how
    kCrashed,        // the reader process ended while the service read the file
    kTimedOut,       // the service did not answer within the time limit
    kTooMuchMemory,  // the service took more memory than a reader may have
    kNoReader,       // no reader process could be started: hrStatus says why
};

// A link file the survey found but could not read, and what the read gave.
struct UnreadFile {
    CStringW strPath;
    HRESULT hrStatus = S_OK;
    LinkCheckResult check = LinkCheckResult::kSound;  // what the structure check found
    ReadFailure failure = ReadFailure::kNone;
    DWORD dwTimeLimitMs = 0;  // with kTimedOut: the limit that ran out
};

// Rows and unread files in walk order; bDone: the survey has ended and this is
// its last part; bMore: more rows are ready to take at once.
struct SurveyResults {
    std::vector<ShortcutRow> rows;
    std::vector<UnreadFile> unread;
    bool bDone = false;
    bool bMore = false;
};

// The row of a link's properties, its marks left unset.
struct ShortcutInfo;
ShortcutRow MakeShortcutRow(const ShortcutInfo& info);
