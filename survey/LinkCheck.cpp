#include "survey/LinkCheck.h"

#include <cstring>
#include <vector>

namespace {
constexpr size_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
// The furthest the check reads: header, the longest ID list, the link information's size.
constexpr size_t kMostChecked = kHeaderSize + 2 + 0xFFFF + 4;

uint32_t Get16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t Get32(const unsigned char* p) { return Get16(p) | Get16(p + 2) << 16; }

// The service walks the list item by item to its zero-size end, with no regard
// for the list's own size: each item and the end must lie inside it.
bool ItemsStayInside(const std::vector<unsigned char>& list)
{
    for (size_t at = 0;;) {
        if (list.size() - at < 2) return false;
        const uint32_t size = Get16(&list[at]);
        if (size == 0) return true;
        if (size > list.size() - at) return false;
        at += size;
    }
}
}  // namespace

size_t FileLinkSource::ReadFileAt(uint64_t offset, void* out, size_t count)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ::ReadFile(m_file, out, static_cast<DWORD>(count), &read, &at) ? read : 0;
}

size_t FileLinkSource::ReadAt(uint64_t offset, void* out, size_t count)
{
    if (!m_read) {
        m_read = true;
        // The handle is new, so it reads from the start: a plain read costs the
        // system less than one at a given offset.
        m_start.resize(kMostChecked);
        DWORD read = 0;
        m_start.resize(::ReadFile(m_file, m_start.data(), static_cast<DWORD>(m_start.size()), &read, nullptr) ? read : 0);
        m_whole = m_start.size() < kMostChecked;
    }
    if (offset + count > m_start.size() && !m_whole) return ReadFileAt(offset, out, count);
    if (offset >= m_start.size()) return 0;
    const size_t available = static_cast<size_t>(m_start.size() - offset);
    if (count > available) count = available;
    std::memcpy(out, m_start.data() + offset, count);
    return count;
}

uint64_t FileLinkSource::Size()
{
    if (m_read && m_whole) return m_start.size();
    LARGE_INTEGER size = {};
    return ::GetFileSizeEx(m_file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool HasShellLinkHeader(const unsigned char* bytes, size_t size)
{
    return bytes && size >= 4 + sizeof kLinkClsid && Get32(bytes) == kHeaderSize &&
           std::memcmp(bytes + 4, kLinkClsid, sizeof kLinkClsid) == 0;
}

LinkCheckResult CheckShellLink(LinkSource& source)
{
    unsigned char header[kHeaderSize];
    if (source.ReadAt(0, header, kHeaderSize) != kHeaderSize || !HasShellLinkHeader(header, kHeaderSize)) {
        return LinkCheckResult::kNoLinkHeader;
    }
    const uint32_t flags = Get32(header + 0x14);
    uint64_t at = kHeaderSize;
    unsigned char field[4];
    if (flags & kHasIdList) {
        if (source.ReadAt(at, field, 2) != 2) return LinkCheckResult::kIdListOutsideFile;
        std::vector<unsigned char> list(Get16(field));
        if (source.ReadAt(at + 2, list.data(), list.size()) != list.size()) return LinkCheckResult::kIdListOutsideFile;
        if (!list.empty() && !ItemsStayInside(list)) return LinkCheckResult::kItemPastIdList;
        at += 2 + list.size();
    }
    if (flags & kHasLinkInfo) {
        if (source.ReadAt(at, field, 4) != 4 || Get32(field) > source.Size() - at) {
            return LinkCheckResult::kLinkInfoPastFile;
        }
    }
    return LinkCheckResult::kSound;
}
