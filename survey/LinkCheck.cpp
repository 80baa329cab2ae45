#include "survey/LinkCheck.h"

#include <cstring>
#include <vector>

namespace {
constexpr size_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr uint32_t kHasIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;

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
