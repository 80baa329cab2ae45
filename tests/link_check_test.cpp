// The structure check that keeps damaged link files away from the shell link service.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "survey/LinkCheck.h"
#include "support/LinkFiles.h"

namespace {
using Bytes = std::vector<unsigned char>;
using Shape = std::function<void(IShellLinkW*)>;
using Edit = std::function<void(Bytes&)>;

// A named change of a link's bytes and whether the result should pass.
struct Case {
    const char* name;
    Edit apply;
    bool expected = false;
};

uint32_t Get16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t Get32(const Bytes& b, size_t at) { return Get16(b, at) | Get16(b, at + 2) << 16; }
void Put16(Bytes& b, size_t at, uint32_t value)
{
    b[at] = static_cast<unsigned char>(value);
    b[at + 1] = static_cast<unsigned char>(value >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t value)
{
    Put16(b, at, value);
    Put16(b, at + 2, value >> 16);
}
Bytes::iterator At(Bytes& b, size_t at) { return b.begin() + static_cast<ptrdiff_t>(at); }

// Pages on both sides of the bytes are inaccessible, so the check faults on any
// read before or after them. The bytes are checked flush against each guard.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t capacity)
    {
        SYSTEM_INFO system;
        ::GetSystemInfo(&system);
        m_page = system.dwPageSize;
        m_body = (capacity + m_page - 1) / m_page * m_page;
        m_base = static_cast<unsigned char*>(
            ::VirtualAlloc(nullptr, m_body + 2 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(m_base, m_page, PAGE_NOACCESS, &old);
        ::VirtualProtect(m_base + m_page + m_body, m_page, PAGE_NOACCESS, &old);
    }
    ~GuardedBuffer() { ::VirtualFree(m_base, 0, MEM_RELEASE); }

    bool Check(const Bytes& bytes) const
    {
        unsigned char* start = m_base + m_page;
        unsigned char* end = start + m_body - bytes.size();
        if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
        const bool atStart = IsSoundShellLink(start, bytes.size());
        if (!bytes.empty()) std::memcpy(end, bytes.data(), bytes.size());
        const bool atEnd = IsSoundShellLink(end, bytes.size());
        EXPECT_EQ(atStart, atEnd);
        return atStart && atEnd;
    }

private:
    size_t m_page = 0;
    size_t m_body = 0;
    unsigned char* m_base = nullptr;
};

// Room for a link just past the size limit.
const GuardedBuffer& Guarded()
{
    static const GuardedBuffer buffer(kMaxLinkFileSize + 0x10000);
    return buffer;
}

// Where each part of a sound link starts.
struct Layout {
    size_t linkInfo = 0;
    size_t strings = 0;
    size_t extra = 0;
    size_t special = 0;  // the special folder block AddExtraData puts in
};

Layout LayoutOf(const Bytes& b)
{
    Layout part;
    const uint32_t flags = Get32(b, 0x14);
    size_t at = 0x4C;
    if (flags & 0x1) at += 2 + Get16(b, at);
    part.linkInfo = at;
    if (flags & 0x2) at += Get32(b, at);
    part.strings = at;
    for (uint32_t flag = 0x4; flag <= 0x40; flag <<= 1) {
        if (flags & flag) at += 2 + Get16(b, at) * ((flags & 0x80) ? 2 : 1);
    }
    part.extra = at;
    part.special = at + 0x314;
    return part;
}

Bytes SavedLink(const TempTree& tree, const Shape& shape)
{
    static int count = 0;
    const std::string path = tree.Path("link" + std::to_string(++count) + ".lnk");
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
        return {};
    }
    shape(link);
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        file->Save(wide, TRUE);
        file->Release();
    }
    link->Release();
    return FileBytes(path);
}

// The environment target block and a special folder block the shell writes, before
// the terminal block; this shell writes neither itself.
void AddExtraData(Bytes& link)
{
    const Layout part = LayoutOf(link);
    Bytes blocks(0x314 + 0x10);
    Put32(blocks, 0, 0x314);
    Put32(blocks, 4, 0xA0000001);
    const char target[] = "%windir%\\notepad.exe";
    for (size_t i = 0; target[i]; ++i) blocks[8 + i] = blocks[8 + 260 + 2 * i] = target[i];
    Put32(blocks, 0x314, 0x10);
    Put32(blocks, 0x318, 0xA0000005);
    Put32(blocks, 0x31C, CSIDL_WINDOWS);
    Put32(blocks, 0x320, 0);  // the list's start: an item starts there in any list
    link.insert(At(link, part.extra), blocks.begin(), blocks.end());
}

// A link info with every optional part, as Windows writes for a mapped network
// path with a Unicode name; this shell writes only a local path in code-page text.
Bytes FullLinkInfo()
{
    Bytes b(0x24);
    auto ansi = [&b](const char* text) {
        const size_t at = b.size();
        b.insert(b.end(), text, text + std::strlen(text) + 1);
        return static_cast<uint32_t>(at);
    };
    auto wide = [&b](const wchar_t* text) {
        const size_t at = b.size();
        for (; *text; ++text) {
            b.insert(b.end(), {static_cast<unsigned char>(*text), static_cast<unsigned char>(*text >> 8)});
        }
        b.insert(b.end(), 2, 0);
        return static_cast<uint32_t>(at);
    };
    const uint32_t volume = 0x24, net = 0x44;
    Put32(b, 0x04, 0x24);
    Put32(b, 0x08, 0x3);
    Put32(b, 0x0C, volume);
    b.resize(volume + 0x14);
    Put32(b, volume + 0x0C, 0x14);  // the label is Unicode
    Put32(b, volume + 0x10, wide(L"ラベル") - volume);
    Put32(b, volume, static_cast<uint32_t>(b.size()) - volume);
    Put32(b, 0x10, ansi("Z:\\tools"));
    Put32(b, 0x14, net);
    b.resize(net + 0x1C);
    Put32(b, net + 0x04, 0x1);  // the device name is valid
    Put32(b, net + 0x08, ansi("\\\\server\\share") - net);
    Put32(b, net + 0x0C, ansi("Z:") - net);
    Put32(b, net + 0x14, wide(L"\\\\server\\share") - net);
    Put32(b, net + 0x18, wide(L"Z:") - net);
    Put32(b, net, static_cast<uint32_t>(b.size()) - net);
    Put32(b, 0x18, ansi(""));
    Put32(b, 0x1C, wide(L"Z:\\ツール"));
    Put32(b, 0x20, wide(L""));
    Put32(b, 0, static_cast<uint32_t>(b.size()));
    return b;
}

// The link with FullLinkInfo, changed by the edit, in place of its own.
Edit WithLinkInfo(const Edit& edit)
{
    return [edit](Bytes& link) {
        const Layout part = LayoutOf(link);
        Bytes info = FullLinkInfo();
        edit(info);
        link.erase(At(link, part.linkInfo), At(link, part.strings));
        link.insert(At(link, part.linkInfo), info.begin(), info.end());
    };
}

// An ID list of tiny items in place of the link's own.
void ReplaceIdList(Bytes& link, size_t items, uint32_t itemSize = 3)
{
    const size_t old = Get16(link, 0x4C);
    Bytes list(items * itemSize + 2);
    for (size_t i = 0; i < items; ++i) Put16(list, i * itemSize, itemSize);
    link.erase(At(link, 0x4E), At(link, 0x4E + old));
    link.insert(link.begin() + 0x4E, list.begin(), list.end());
    Put16(link, 0x4C, static_cast<uint32_t>(list.size()));
}

// A block of unknown kind, of the given size, before the terminal block.
void AddBlock(Bytes& link, size_t size)
{
    Bytes block(size);
    Put32(block, 0, static_cast<uint32_t>(size));
    if (size >= 8) Put32(block, 4, 0xA0001234);
    link.insert(link.end() - 4, block.begin(), block.end());
}

void SetUnicodeArguments(Bytes& link, size_t count)
{
    const Layout part = LayoutOf(link);
    Bytes text(2 + count * 2, 'a');
    Put16(text, 0, static_cast<uint32_t>(count));
    link.insert(At(link, part.extra), text.begin(), text.end());
    Put32(link, 0x14, Get32(link, 0x14) | 0x20 | 0x80);
}

// One random edit: a flipped bit, a byte, a size-like value (plain or relative
// to the bytes left), bytes deleted or inserted, or the end cut off.
void Mutate(Bytes& b, std::mt19937& random)
{
    static const uint32_t kSizes[] = {0, 1, 2, 3, 4, 7, 8, 0x1C, 0x24, 0x7FFF, 0xFFFF, 0x80000000, 0xFFFFFFFF};
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    if (b.size() < 8) return;
    const size_t at = pick(b.size() - 4);
    const auto where = At(b, at);
    const uint32_t size = kSizes[pick(std::size(kSizes))] + (pick(2) ? 0 : static_cast<uint32_t>(b.size() - at));
    switch (pick(7)) {
    case 0: b[at] ^= static_cast<unsigned char>(1 << pick(8)); break;
    case 1: b[at] = static_cast<unsigned char>(random()); break;
    case 2: Put16(b, at, size); break;
    case 3: Put32(b, at, size); break;
    case 4: b.erase(where, At(b, std::min(b.size(), at + 1 + pick(16)))); break;
    case 5: b.insert(where, 1 + pick(16), static_cast<unsigned char>(random())); break;
    default: b.resize(pick(b.size())); break;
    }
}

constexpr uint32_t kFullParts = 0x1 | 0x2 | 0x4 | 0x10 | 0x20 | 0x40;
const wchar_t kUnicode[] = L"Zoë ™ テスト";
const Shape kTarget = [](IShellLinkW* link) { link->SetPath(L"C:\\windows\\notepad.exe"); };
Shape Target(const Shape& more)
{
    return [more](IShellLinkW* link) { kTarget(link), more(link); };
}
}  // namespace

class LinkCheckTest : public ::testing::Test {
protected:
    // A link with ID list, link info, four texts and extra data (Wine cannot
    // write a sound relative path, see AcceptsEveryKindOfLinkTheShellWrites).
    Bytes FullLink()
    {
        Bytes link = SavedLink(tree, [](IShellLinkW* link) {
            link->SetPath(L"C:\\windows\\notepad.exe");
            link->SetWorkingDirectory(L"C:\\windows\\temp");
            link->SetArguments(L"-a b");
            link->SetIconLocation(L"C:\\windows\\system32\\shell32.dll", 2);
            link->SetDescription(kUnicode);
        });
        if (link.size() >= 0x4C && (Get32(link, 0x14) & kFullParts) == kFullParts) AddExtraData(link);
        return link;
    }

    ComScope com;
    TempTree tree;
};

TEST_F(LinkCheckTest, RejectsDamagedLinks)
{
    const Bytes base = FullLink();
    ASSERT_EQ(Get32(base, 0x14) & kFullParts, kFullParts) << "the shell left out a part of the link";
    ASSERT_TRUE(Guarded().Check(base));
    const Layout part = LayoutOf(base);
    const size_t volume = part.linkInfo + Get32(base, part.linkInfo + 0x0C);
    const Case damages[] = {
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"truncated header", [](Bytes& b) { b.resize(0x40); }},
        {"header size", [](Bytes& b) { b[0] = 0x4D; }},
        {"class id", [](Bytes& b) { b[19] ^= 1; }},
        {"ID list past the end of the file", [](Bytes& b) { Put16(b, 0x4C, 0xFFFF); }},
        {"item past the end of its list", [](Bytes& b) { Put16(b, 0x4E, 0xFFFF); }},
        {"item without a type byte", [](Bytes& b) { ReplaceIdList(b, 1, 2); }},
        {"thousands of tiny items", [](Bytes& b) { ReplaceIdList(b, 3000); }},
        {"link info past the end", [&](Bytes& b) { Put32(b, part.linkInfo, static_cast<uint32_t>(b.size())); }},
        {"link info header size", [&](Bytes& b) { Put32(b, part.linkInfo + 4, 0x20); }},
        {"volume flagged but absent", [&](Bytes& b) { Put32(b, part.linkInfo + 0x0C, 0); }},
        {"base path inside the link info's header", [&](Bytes& b) { Put32(b, part.linkInfo + 0x10, 0x04); }},
        {"volume offset out of range", [&](Bytes& b) { Put32(b, part.linkInfo + 0x0C, 0xFFFFFFF0); }},
        {"volume larger than the link info", [&](Bytes& b) { Put32(b, volume, 0x1000); }},
        {"volume label not ended inside the volume",
         [&](Bytes& b) { std::fill_n(At(b, volume + 0x10), Get32(b, volume) - 0x10, 'x'); }},
        {"base path offset at the end of the link info",
         [&](Bytes& b) { Put32(b, part.linkInfo + 0x10, Get32(b, part.linkInfo)); }},
        {"path not ended inside the link info",
         [&](Bytes& b) { std::fill(At(b, part.linkInfo + Get32(b, part.linkInfo + 0x18)), At(b, part.strings), 'x'); }},
        {"network name offset out of range", WithLinkInfo([](Bytes& i) { Put32(i, 0x44 + 0x08, 0xFFFF); })},
        {"Unicode share name offset out of range", WithLinkInfo([](Bytes& i) { Put32(i, 0x44 + 0x14, 0xFFFF); })},
        {"Unicode path offset at the end", WithLinkInfo([](Bytes& i) { Put32(i, 0x1C, Get32(i, 0)); })},
        {"Unicode label not ended", WithLinkInfo([](Bytes& i) { Put16(i, Get32(i, 0x24) + 0x24 - 2, 0x3000); })},
        {"text count past the end", [&](Bytes& b) { Put16(b, part.strings, (b.size() - part.strings) / 2); }},
        {"extra-data block of 6 bytes", [](Bytes& b) { AddBlock(b, 6); }},
        {"extra-data block past the end",
         [&](Bytes& b) { Put32(b, part.special, static_cast<uint32_t>(b.size() - part.special + 4)); }},
        {"environment block shorter than its fields",
         [&](Bytes& b) {
             b.erase(At(b, part.extra + 0x20), At(b, part.special));
             Put32(b, part.extra, 0x20);
         }},
        {"special folder offset inside an item", [&](Bytes& b) { Put32(b, part.special + 0x0C, 1); }},
        {"missing terminal block", [](Bytes& b) { b.resize(b.size() - 4); }},
        {"bytes after the terminal block", [](Bytes& b) { b.insert(b.end(), 4, 0); }},
    };
    for (const Case& damage : damages) {
        Bytes damaged = base;
        damage.apply(damaged);
        EXPECT_FALSE(Guarded().Check(damaged)) << damage.name;
    }
}

TEST_F(LinkCheckTest, TellsLinksFromOtherFilesByTheirHeader)
{
    const Bytes link = SavedLink(tree, kTarget);
    const Case cases[] = {
        {"a whole link", [](Bytes&) {}, true},
        {"header size and class id only", [](Bytes& b) { b.resize(0x14); }, true},
        {"one byte short of the class id", [](Bytes& b) { b.resize(0x13); }, false},
        {"another header size", [](Bytes& b) { b[0] = 0x4D; }, false},
        {"another class id", [](Bytes& b) { b[4] ^= 1; }, false},
        {"a program information file", [](Bytes& b) { b.assign(0x3C3, 0); }, false},
    };
    for (const Case& c : cases) {
        Bytes changed = link;
        c.apply(changed);
        EXPECT_EQ(HasShellLinkHeader(changed.data(), changed.size()), c.expected) << c.name;
    }
}

TEST_F(LinkCheckTest, KeepsLimitsFarAboveRealLinks)
{
    const Bytes base = SavedLink(tree, kTarget);
    ASSERT_TRUE(Guarded().Check(base));
    const Case cases[] = {
        {"a hundred items", [](Bytes& b) { ReplaceIdList(b, 100); }, true},
        {"a thousand items", [](Bytes& b) { ReplaceIdList(b, 1000); }, false},
        {"arguments of 30000 characters", [](Bytes& b) { SetUnicodeArguments(b, 30000); }, true},
        {"arguments of 40000 characters", [](Bytes& b) { SetUnicodeArguments(b, 40000); }, false},
        {"a file of half the size limit", [](Bytes& b) { AddBlock(b, kMaxLinkFileSize / 2); }, true},
        {"a file past the size limit", [](Bytes& b) { AddBlock(b, kMaxLinkFileSize); }, false},
    };
    for (const Case& c : cases) {
        Bytes changed = base;
        c.apply(changed);
        EXPECT_EQ(Guarded().Check(changed), c.expected) << c.name;
    }
}

TEST_F(LinkCheckTest, AcceptsEveryKindOfLinkTheShellWrites)
{
    struct Kind {
        const char* name;
        Shape shape;
        uint32_t flags;  // the parts the link must hold
    };
    const Kind kinds[] = {
        {"target with ID list and link info", kTarget, 0x3},
        {"missing target", [](IShellLinkW* l) { l->SetPath(L"C:\\nowhere\\tool.exe"); }, 0x1},
        // Wine writes the text but not its flag (0x8), which Windows sets.
        {"relative path", Target([](IShellLinkW* l) { l->SetRelativePath(L"C:\\windows\\x.lnk", 0); }), 0x1},
        {"working folder", Target([](IShellLinkW* l) { l->SetWorkingDirectory(L"C:\\windows\\temp"); }), 0x10},
        {"arguments", Target([](IShellLinkW* l) { l->SetArguments(L"/a \"b c\""); }), 0x20},
        {"icon location", Target([](IShellLinkW* l) { l->SetIconLocation(L"C:\\windows\\explorer.exe", 3); }), 0x40},
        {"description", Target([](IShellLinkW* l) { l->SetDescription(L"a tool"); }), 0x4},
        {"Unicode texts", Target([](IShellLinkW* l) { l->SetDescription(kUnicode), l->SetArguments(kUnicode); }),
         0x80 | 0x20 | 0x4},
        {"environment variable in the target", [](IShellLinkW* l) { l->SetPath(L"%windir%\\notepad.exe"); }, 0x1},
        {"environment variable in the icon",
         Target([](IShellLinkW* l) { l->SetIconLocation(L"%SystemRoot%\\explorer.exe", 3); }), 0x40},
        {"ID list only",
         [](IShellLinkW* l) {
             PIDLIST_ABSOLUTE pidl = nullptr;
             ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl);
             l->SetIDList(pidl);
             ::CoTaskMemFree(pidl);
         },
         0x1},
        {"nothing set", [](IShellLinkW*) {}, 0},
    };
    for (const Kind& kind : kinds) {
        const Bytes link = SavedLink(tree, kind.shape);
        ASSERT_GE(link.size(), 0x4Cu) << kind.name;
        EXPECT_EQ(Get32(link, 0x14) & kind.flags, kind.flags) << kind.name;
        EXPECT_TRUE(Guarded().Check(link)) << kind.name;
    }
    Bytes full = FullLink();
    EXPECT_TRUE(Guarded().Check(full)) << "every part, with extra data";
    WithLinkInfo([](Bytes&) {})(full);
    EXPECT_TRUE(Guarded().Check(full)) << "every optional part of the link info";
}

// Random damage must never make the check read outside the bytes or run on.
TEST_F(LinkCheckTest, SurvivesThousandsOfMutations)
{
    Bytes bases[] = {FullLink(), FullLink()};
    WithLinkInfo([](Bytes&) {})(bases[1]);
    for (const Bytes& base : bases) ASSERT_TRUE(Guarded().Check(base));
    std::mt19937 random(20240601);
    int accepted = 0, rejected = 0;
    for (int round = 0; round < 5000; ++round) {
        Bytes mutant = bases[round % 2];
        for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) Mutate(mutant, random);
        (Guarded().Check(mutant) ? accepted : rejected)++;
    }
    // Both outcomes occur, so the mutations reach past the first checks.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(rejected, 0);
}
