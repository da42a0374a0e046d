#include "KestJournalCodec.h"

namespace {
const uint8_t kProfileMagic[4] = {'K', 'P', 'J', '1'};
const uint8_t kRunMagic[4] = {'K', 'R', 'R', '1'};

// Little-endian, texts as UTF-16 code units with a length in front.
class Writer {
public:
    void Magic(const uint8_t (&magic)[4]) { m_out.insert(m_out.end(), magic, magic + 4); }
    void U8(uint8_t v) { m_out.push_back(v); }
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Text(const std::wstring& text)
    {
        U32(static_cast<uint32_t>(text.size()));
        for (wchar_t c : text) {
            m_out.push_back(static_cast<uint8_t>(c & 0xFF));
            m_out.push_back(static_cast<uint8_t>((static_cast<uint32_t>(c) >> 8) & 0xFF));
        }
    }
    void Bytes(const std::vector<uint8_t>& bytes)
    {
        U32(static_cast<uint32_t>(bytes.size()));
        m_out.insert(m_out.end(), bytes.begin(), bytes.end());
    }
    void Texts(const std::vector<std::wstring>& texts)
    {
        U32(static_cast<uint32_t>(texts.size()));
        for (const std::wstring& text : texts)
            Text(text);
    }
    std::vector<uint8_t> m_out;
};

// Every read checks the rest of the data first; once a read fails, all later ones fail too.
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size) : m_at(bytes), m_end(bytes + size), m_ok(bytes != nullptr) {}

    bool Magic(const uint8_t (&magic)[4])
    {
        if (!Need(4))
            return false;
        for (int i = 0; i < 4; ++i)
            if (m_at[i] != magic[i])
                return m_ok = false;
        m_at += 4;
        return true;
    }
    uint8_t U8()
    {
        if (!Need(1))
            return 0;
        return *m_at++;
    }
    uint32_t U32()
    {
        if (!Need(4))
            return 0;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(m_at[i]) << (8 * i);
        m_at += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    std::wstring Text()
    {
        uint32_t n = U32();
        if (n > KestJournalCodec::kMaxText || !Need(static_cast<size_t>(n) * 2))
            return Fail<std::wstring>();
        std::wstring text(n, L'\0');
        for (uint32_t i = 0; i < n; ++i, m_at += 2)
            text[i] = static_cast<wchar_t>(m_at[0] | (m_at[1] << 8));
        return text;
    }
    std::vector<uint8_t> Bytes()
    {
        uint32_t n = U32();
        if (n > KestJournalCodec::kMaxData || !Need(n))
            return Fail<std::vector<uint8_t>>();
        std::vector<uint8_t> bytes(m_at, m_at + n);
        m_at += n;
        return bytes;
    }
    // A count of entries each at least minBytes long: bounded by what is left.
    uint32_t Count(size_t minBytes)
    {
        uint32_t n = U32();
        if (n > KestJournalCodec::kMaxItems || static_cast<size_t>(m_end - m_at) / minBytes < n)
            return Fail<uint32_t>();
        return n;
    }
    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> texts(Count(4));
        for (std::wstring& text : texts)
            text = Text();
        return m_ok ? texts : std::vector<std::wstring>();
    }
    // The whole data was read and made sense.
    bool Done() const { return m_ok && m_at == m_end; }
    bool Ok() const { return m_ok; }

private:
    bool Need(size_t n)
    {
        if (!m_ok || static_cast<size_t>(m_end - m_at) < n)
            return m_ok = false;
        return true;
    }
    template <class T> T Fail()
    {
        m_ok = false;
        return T();
    }

    const uint8_t* m_at;
    const uint8_t* m_end;
    bool m_ok;
};
}

std::vector<uint8_t> KestJournalCodec::EncodeProfile(const std::vector<KestJournalValue>& values)
{
    Writer out;
    out.Magic(kProfileMagic);
    out.U32(static_cast<uint32_t>(values.size()));
    for (const KestJournalValue& value : values) {
        out.Text(value.key);
        out.Text(value.name);
        out.U8(value.state);
        out.U32(value.type);
        out.Bytes(value.data);
    }
    return out.m_out;
}

bool KestJournalCodec::DecodeProfile(const uint8_t* bytes, size_t size, std::vector<KestJournalValue>& values)
{
    values.clear();
    Reader in(bytes, size);
    if (!in.Magic(kProfileMagic))
        return false;
    // Each entry takes at least two text lengths, a state, a type and a data length.
    uint32_t count = in.Count(17);
    std::vector<KestJournalValue> read;
    for (uint32_t i = 0; i < count && in.Ok(); ++i) {
        KestJournalValue value;
        value.key = in.Text();
        value.name = in.Text();
        uint8_t state = in.U8();
        value.type = in.U32();
        value.data = in.Bytes();
        if (state > KestJournalValue::Present || value.key.empty() || value.name.empty() ||
            (state != KestJournalValue::Present && !value.data.empty()))
            return false;
        value.state = static_cast<KestJournalValue::State>(state);
        read.push_back(std::move(value));
    }
    if (!in.Done())
        return false;
    values.swap(read);
    return true;
}

std::vector<uint8_t> KestJournalCodec::EncodeRun(const KestRunRecord& record)
{
    Writer out;
    out.Magic(kRunMagic);
    for (int32_t v : {record.operation, record.updateFlags, record.optionFlags, record.drxlmFlags, record.timeout,
                      record.quenbarFlags, record.symbolStd, record.logFlags})
        out.U32(static_cast<uint32_t>(v));
    out.Text(record.logFile);
    out.Text(record.listFile);
    out.Text(record.templatePath);
    out.Text(record.migrateList);
    out.Texts(record.drawings);
    out.Texts(record.searchFolders);
    out.Texts(record.tempFiles);
    return out.m_out;
}

bool KestJournalCodec::DecodeRun(const uint8_t* bytes, size_t size, KestRunRecord& record)
{
    Reader in(bytes, size);
    if (!in.Magic(kRunMagic))
        return false;
    KestRunRecord read;
    for (int32_t* v : {&read.operation, &read.updateFlags, &read.optionFlags, &read.drxlmFlags, &read.timeout,
                       &read.quenbarFlags, &read.symbolStd, &read.logFlags})
        *v = in.I32();
    read.logFile = in.Text();
    read.listFile = in.Text();
    read.templatePath = in.Text();
    read.migrateList = in.Text();
    read.drawings = in.Texts();
    read.searchFolders = in.Texts();
    read.tempFiles = in.Texts();
    if (!in.Done())
        return false;
    record = std::move(read);
    return true;
}
