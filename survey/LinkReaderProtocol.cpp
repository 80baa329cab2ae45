#include "survey/LinkReaderProtocol.h"

#include <cstring>

const WCHAR kLinkReaderArgument[] = L"--link-reader";

namespace {
constexpr uint32_t kMostChars = 0x10000;

class CWriter {
public:
    explicit CWriter(std::vector<BYTE>* out) : m_out(out), m_start(out->size()) { Put32(0); }
    ~CWriter()
    {
        const uint32_t length = static_cast<uint32_t>(m_out->size() - m_start);
        std::memcpy(m_out->data() + m_start, &length, sizeof length);
    }
    void Put32(uint32_t value)
    {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
        m_out->insert(m_out->end(), bytes, bytes + sizeof value);
    }
    void PutText(const CStringW& text)
    {
        const uint32_t chars = static_cast<uint32_t>(text.GetLength());
        Put32(chars);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        m_out->insert(m_out->end(), bytes, bytes + chars * sizeof(WCHAR));
    }

private:
    std::vector<BYTE>* m_out;
    size_t m_start;
};

class CReader {
public:
    // A reader of one whole message, or of none (Length() 0 or kMalformed).
    CReader(const BYTE* data, size_t size)
    {
        uint32_t length = 0;
        if (size < sizeof length) return;
        std::memcpy(&length, data, sizeof length);
        if (length < sizeof length || length > kMostMessageBytes) {
            m_length = kMalformed;
        } else if (length <= size) {
            m_length = length;
            m_at = data + sizeof length;
            m_end = data + length;
        }
    }
    size_t Length() const { return m_length; }
    bool Get32(uint32_t* value)
    {
        if (!m_at || static_cast<size_t>(m_end - m_at) < sizeof *value) return Fail();
        std::memcpy(value, m_at, sizeof *value);
        m_at += sizeof *value;
        return true;
    }
    bool GetText(CStringW* text)
    {
        uint32_t chars = 0;
        if (!Get32(&chars) || chars > kMostChars || static_cast<size_t>(m_end - m_at) < chars * sizeof(WCHAR)) {
            return Fail();
        }
        std::wstring value(chars, L'\0');
        std::memcpy(&value[0], m_at, chars * sizeof(WCHAR));
        m_at += chars * sizeof(WCHAR);
        *text = CStringW(std::move(value));
        return true;
    }
    bool Failed() const { return m_length == kMalformed; }
    // The bytes taken: the whole message, when every part of it was there.
    size_t Taken() const { return m_length == 0 || m_at == m_end ? m_length : kMalformed; }

private:
    bool Fail()
    {
        m_length = kMalformed;
        m_at = nullptr;
        return false;
    }
    size_t m_length = 0;
    const BYTE* m_at = nullptr;
    const BYTE* m_end = nullptr;
};
}  // namespace

void AppendBatch(std::vector<BYTE>* out, const LinkBatch& batch)
{
    CWriter writer(out);
    writer.Put32(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(batch.owner)));
    writer.Put32(static_cast<uint32_t>(batch.links.size()));
    for (const LinkRequest& link : batch.links) {
        writer.Put32(static_cast<uint32_t>(link.mode));
        writer.PutText(link.strPath);
    }
}

size_t TakeBatch(const BYTE* data, size_t size, LinkBatch* batch)
{
    CReader reader(data, size);
    if (reader.Length() == 0 || reader.Length() == kMalformed) return reader.Length();
    uint32_t owner = 0, count = 0;
    reader.Get32(&owner);
    reader.Get32(&count);
    batch->owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(owner));  // window handles are 32-bit values
    batch->links.clear();
    for (uint32_t i = 0; i < count && !reader.Failed(); ++i) {
        LinkRequest link;
        uint32_t mode = 0;
        if (reader.Get32(&mode) && reader.GetText(&link.strPath)) {
            link.mode = mode == static_cast<uint32_t>(ReadMode::kStoredOnly) ? ReadMode::kStoredOnly : ReadMode::kFull;
            batch->links.push_back(std::move(link));
        }
    }
    return reader.Taken();
}

void AppendRecord(std::vector<BYTE>* out, const LinkRecord& record)
{
    CWriter writer(out);
    writer.Put32(static_cast<uint32_t>(record.hrStatus));
    writer.Put32(static_cast<uint32_t>(record.row.data));
    writer.Put32(record.row.bTargetMissing ? 1 : 0);
    for (int cell = 1; cell < 8; ++cell) writer.PutText(record.row.cells[cell]);
}

size_t TakeRecord(const BYTE* data, size_t size, LinkRecord* record)
{
    CReader reader(data, size);
    if (reader.Length() == 0 || reader.Length() == kMalformed) return reader.Length();
    uint32_t status = 0, itemData = 0, missing = 0;
    reader.Get32(&status);
    reader.Get32(&itemData);
    reader.Get32(&missing);
    for (int cell = 1; cell < 8; ++cell) reader.GetText(&record->row.cells[cell]);
    record->hrStatus = static_cast<HRESULT>(status);
    record->row.data = itemData;
    record->row.bTargetMissing = missing != 0;
    return reader.Taken();
}

void StoreProgress(volatile LONG64* word, const ReaderProgress& progress)
{
    // 24 bits of link number are plenty to tell this link from the last ones.
    const uint64_t value = static_cast<uint64_t>(progress.dwStarted) |
                           static_cast<uint64_t>(progress.nLink & 0xFFFFFF) << 32 |
                           static_cast<uint64_t>(progress.step) << 56;
    ::InterlockedExchange64(word, static_cast<LONG64>(value));
}

ReaderProgress LoadProgress(volatile LONG64* word)
{
    const uint64_t value = static_cast<uint64_t>(::InterlockedCompareExchange64(word, 0, 0));
    ReaderProgress progress;
    progress.dwStarted = static_cast<DWORD>(value);
    progress.nLink = static_cast<uint32_t>(value >> 32) & 0xFFFFFF;
    progress.step = static_cast<ReadStep>(value >> 56);
    return progress;
}
