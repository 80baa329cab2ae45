#include "survey/LinkCheck.h"

#include <cstdint>
#include <cstring>

namespace {

// The service stalls for minutes on lists of thousands of items. A MAX_PATH path
// has at most about 130 components; twice that still covers any real target.
constexpr uint32_t kMaxIdItems = 256;
// CreateProcess takes at most 32767 characters, so no longer text is of any use;
// the shell itself writes at most a few thousand.
constexpr uint32_t kMaxStringChars = 32767;
// Eleven kinds of extra data are defined, each written at most once.
constexpr uint32_t kMaxExtraBlocks = 64;

constexpr uint32_t kHeaderSize = 0x4C;
constexpr size_t kAnsi = 1, kWide = 2;  // bytes a character
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum : uint32_t {
    kHasIdList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasIconLocation = 0x40,  // the last of the five strings, in file order
    kIsUnicode = 0x80,
};

// The smallest size of each kind of extra data, so the service's fixed layouts fit.
struct BlockRule {
    uint32_t signature;
    uint32_t minSize;
};
constexpr BlockRule kBlockRules[] = {
    {0xA0000001, 0x314}, {0xA0000002, 0xCC}, {0xA0000003, 0x60}, {0xA0000004, 0x0C},
    {0xA0000005, 0x10},  {0xA0000006, 0x314}, {0xA0000007, 0x314}, {0xA0000008, 0x88},
    {0xA0000009, 0x0C},  {0xA000000B, 0x1C}, {0xA000000C, 0x0A},
};
constexpr uint32_t kSpecialFolderBlock = 0xA0000005;
constexpr uint32_t kKnownFolderBlock = 0xA000000B;
constexpr uint32_t kIdListBlock = 0xA000000C;

// A range of bytes whose every read is checked against its end.
struct Bytes {
    const unsigned char* p = nullptr;
    size_t n = 0;

    bool Fits(size_t at, size_t count) const { return at <= n && count <= n - at; }
    Bytes Slice(size_t at, size_t count) const { return {p + at, count}; }
    bool At16(size_t at, uint32_t& value) const
    {
        if (!Fits(at, 2)) return false;
        value = p[at] | p[at + 1] << 8;
        return true;
    }
    bool At32(size_t at, uint32_t& value) const
    {
        if (!Fits(at, 4)) return false;
        value = p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<uint32_t>(p[at + 3]) << 24;
        return true;
    }
};

// Each item holds its size and the type byte the shell reads first; a zero size
// ends the list exactly at its end.
bool IsSoundIdList(Bytes list)
{
    uint32_t size = 0;
    for (size_t at = 0, items = 0;; at += size, ++items) {
        if (!list.At16(at, size)) return false;
        if (size == 0) return at + 2 == list.n;
        if (size < 3 || items == kMaxIdItems || !list.Fits(at, size)) return false;
    }
}

// Whether an item (or the terminator) of a sound list starts at the offset.
bool IsItemStart(Bytes list, uint32_t offset)
{
    size_t at = 0;
    uint32_t size = 0;
    while (at < offset && list.At16(at, size) && size != 0) at += size;
    return list.n != 0 && at == offset;
}

// A string of 1- or 2-byte characters starts after its block's header and ends
// inside the block; an optional one may be absent (offset 0).
bool HasString(Bytes block, uint32_t offset, size_t header, size_t unit)
{
    for (size_t at = offset; offset >= header && block.Fits(at, unit); at += unit) {
        if (block.p[at] == 0 && block.p[at + unit - 1] == 0) return true;
    }
    return false;
}

bool HasOptional(Bytes block, uint32_t offset, size_t header, size_t unit)
{
    return offset == 0 || HasString(block, offset, header, unit);
}

// A part of the link info that starts with its own size.
bool SubBlock(Bytes info, uint32_t offset, size_t header, uint32_t minSize, Bytes& part)
{
    uint32_t size = 0;
    if (offset < header || !info.At32(offset, size) || size < minSize || !info.Fits(offset, size)) return false;
    part = info.Slice(offset, size);
    return true;
}

// A label offset of 0x14 says the label is Unicode, at the offset stored at 0x10.
bool IsSoundVolumeId(Bytes volume)
{
    uint32_t label = 0, wide = 0;
    if (!volume.At32(0x0C, label)) return false;
    if (label != 0x14) return HasString(volume, label, 0x10, kAnsi);
    return volume.At32(0x10, wide) && HasString(volume, wide, 0x14, kWide);
}

// A net name offset past 0x14 says two Unicode offsets follow the fixed fields.
bool IsSoundNetworkLink(Bytes net)
{
    uint32_t name = 0, device = 0, wideName = 0, wideDevice = 0;
    if (!net.At32(0x08, name) || !net.At32(0x0C, device)) return false;
    const size_t header = name > 0x14 ? 0x1C : 0x14;
    if (!HasString(net, name, header, kAnsi) || !HasOptional(net, device, header, kAnsi)) return false;
    if (header == 0x14) return true;
    return net.At32(0x14, wideName) && net.At32(0x18, wideDevice) && HasOptional(net, wideName, header, kWide) &&
           HasOptional(net, wideDevice, header, kWide);
}

bool IsSoundLinkInfo(Bytes info)
{
    uint32_t header = 0, flags = 0, volume = 0, base = 0, net = 0, suffix = 0, wideBase = 0, wideSuffix = 0;
    if (!info.At32(0x04, header) || !info.At32(0x08, flags) || !info.At32(0x0C, volume) ||
        !info.At32(0x10, base) || !info.At32(0x14, net) || !info.At32(0x18, suffix)) {
        return false;
    }
    if (header != 0x1C && (header < 0x24 || header > info.n)) return false;
    if (((flags & 0x1) && (volume == 0 || base == 0)) || ((flags & 0x2) && net == 0)) return false;
    Bytes part;
    if (volume != 0 && !(SubBlock(info, volume, header, 0x11, part) && IsSoundVolumeId(part))) return false;
    if (net != 0 && !(SubBlock(info, net, header, 0x14, part) && IsSoundNetworkLink(part))) return false;
    if (!HasOptional(info, base, header, kAnsi) || !HasOptional(info, suffix, header, kAnsi)) return false;
    if (header == 0x1C) return true;
    return info.At32(0x1C, wideBase) && info.At32(0x20, wideSuffix) && HasOptional(info, wideBase, header, kWide) &&
           HasOptional(info, wideSuffix, header, kWide);
}

bool SkipIdList(Bytes file, size_t& at, Bytes& list)
{
    uint32_t size = 0;
    if (!file.At16(at, size) || !file.Fits(at + 2, size)) return false;
    list = file.Slice(at + 2, size);
    at += 2 + size;
    return IsSoundIdList(list);
}

bool SkipLinkInfo(Bytes file, size_t& at)
{
    uint32_t size = 0;
    if (!file.At32(at, size) || size < 0x1C || !file.Fits(at, size)) return false;
    const Bytes info = file.Slice(at, size);
    at += size;
    return IsSoundLinkInfo(info);
}

bool SkipStrings(Bytes file, size_t& at, uint32_t flags)
{
    const size_t unit = (flags & kIsUnicode) ? kWide : kAnsi;
    for (uint32_t flag = kHasName; flag <= kHasIconLocation; flag <<= 1) {
        uint32_t count = 0;
        if (!(flags & flag)) continue;
        if (!file.At16(at, count) || count > kMaxStringChars || !file.Fits(at + 2, count * unit)) return false;
        at += 2 + count * unit;
    }
    return true;
}

// Offsets into the target's ID list must land on an item of it.
bool IsSoundExtraBlock(Bytes block, Bytes idList)
{
    uint32_t signature = 0, offset = 0;
    block.At32(4, signature);
    for (const BlockRule& rule : kBlockRules) {
        if (rule.signature == signature && block.n < rule.minSize) return false;
    }
    switch (signature) {
    case kSpecialFolderBlock: return block.At32(0x0C, offset) && IsItemStart(idList, offset);
    case kKnownFolderBlock: return block.At32(0x18, offset) && IsItemStart(idList, offset);
    case kIdListBlock: return IsSoundIdList(block.Slice(8, block.n - 8));
    default: return true;
    }
}

// Blocks until the terminal one (a size below 4), which ends the file: the
// service writes nothing after it.
bool IsSoundExtraData(Bytes file, size_t at, Bytes idList)
{
    for (uint32_t blocks = 0;; ++blocks) {
        uint32_t size = 0;
        if (!file.At32(at, size)) return false;
        if (size < 4) return at + 4 == file.n;
        if (size < 8 || blocks == kMaxExtraBlocks || !file.Fits(at, size)) return false;
        if (!IsSoundExtraBlock(file.Slice(at, size), idList)) return false;
        at += size;
    }
}

bool IsSoundTail(Bytes file, size_t at, uint32_t flags, Bytes idList)
{
    return SkipStrings(file, at, flags) && IsSoundExtraData(file, at, idList);
}

}  // namespace

bool HasShellLinkHeader(const unsigned char* bytes, size_t size)
{
    const Bytes file{bytes, size};
    uint32_t headerSize = 0;
    return bytes && file.Fits(4, sizeof kLinkClsid) && file.At32(0, headerSize) && headerSize == kHeaderSize &&
           std::memcmp(bytes + 4, kLinkClsid, sizeof kLinkClsid) == 0;
}

bool IsSoundShellLink(const unsigned char* bytes, size_t size)
{
    if (!HasShellLinkHeader(bytes, size) || size < kHeaderSize || size > kMaxLinkFileSize) return false;
    const Bytes file{bytes, size};
    uint32_t flags = 0;
    file.At32(0x14, flags);
    size_t at = kHeaderSize;
    Bytes idList;
    if ((flags & kHasIdList) && !SkipIdList(file, at, idList)) return false;
    if ((flags & kHasLinkInfo) && !SkipLinkInfo(file, at)) return false;
    // Wine writes a relative path without setting its flag (and its own reader
    // stops after the strings), so its links are kept when they read soundly so.
    return IsSoundTail(file, at, flags, idList) ||
           (!(flags & kHasRelativePath) && IsSoundTail(file, at, flags | kHasRelativePath, idList));
}
