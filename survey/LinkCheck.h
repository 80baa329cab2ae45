// A check of the few things in a shell link file that harm the shell link
// service: an ID list whose items run past it (the service crashes on it) and a
// link-information size beyond the file (the service takes that much memory).
// Everything else the service reads without harm, so everything else passes.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the check reads from: the link file itself, or bytes in memory.
class LinkSource {
public:
    virtual ~LinkSource() = default;
    // Reads up to `count` bytes at `offset` into `out`; the number read.
    virtual size_t ReadAt(uint64_t offset, void* out, size_t count) = 0;
    virtual uint64_t Size() = 0;
};

// A link file that its caller has just opened, read in one piece as far as the
// check can ask: one read of the file instead of one for each part.
class FileLinkSource : public LinkSource {
public:
    explicit FileLinkSource(HANDLE file) : m_file(file) {}
    size_t ReadAt(uint64_t offset, void* out, size_t count) override;
    uint64_t Size() override;

private:
    size_t ReadFileAt(uint64_t offset, void* out, size_t count);
    HANDLE m_file;  // we don't own it
    std::vector<unsigned char> m_start;  // the file's first bytes, once read
    bool m_read = false;
    bool m_whole = false;  // the file ends inside m_start
};

enum class LinkCheckResult {
    kSound,
    kNoLinkHeader,       // no link's header size and class id: not a link file
    kIdListOutsideFile,  // the target's ID list runs past the end of the file
    kItemPastIdList,     // an item of the ID list, or its end, lies outside the list
    kLinkInfoPastFile,   // the link information claims more bytes than the file has
};

// True when the bytes start with a link's header size and class id, whatever
// follows (a program information file in its own format does not).
bool HasShellLinkHeader(const unsigned char* bytes, size_t size);

// Reads the header, the ID list (at most 64 KB) and the size of the link
// information: never more, whatever the file's size.
LinkCheckResult CheckShellLink(LinkSource& source);
