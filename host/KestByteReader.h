// Reads the bytes of the records that outlive a Transmora ended during a run:
// registry values that anyone may have damaged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Every read checks the rest of the data first; once a read fails, all later ones fail too.
class KestByteReader {
public:
    // Limits that a decoded record never exceeds (a registry value may be large, not endless).
    static const uint32_t kMaxText = 32768;      // characters of one text
    static const uint32_t kMaxData = 1u << 20;   // bytes of one saved value
    static const uint32_t kMaxItems = 1u << 20;  // entries of one list

    KestByteReader(const uint8_t* bytes, size_t size) : m_at(bytes), m_end(bytes + size), m_ok(bytes != nullptr) {}

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
        if (n > kMaxText || !Need(static_cast<size_t>(n) * 2))
            return Fail<std::wstring>();
        std::wstring text(n, L'\0');
        for (uint32_t i = 0; i < n; ++i, m_at += 2)
            text[i] = static_cast<wchar_t>(m_at[0] | (m_at[1] << 8));
        return text;
    }
    std::vector<uint8_t> Bytes()
    {
        uint32_t n = U32();
        if (n > kMaxData || !Need(n))
            return Fail<std::vector<uint8_t>>();
        std::vector<uint8_t> bytes(m_at, m_at + n);
        m_at += n;
        return bytes;
    }
    // A count of entries each at least minBytes long: bounded by what is left.
    uint32_t Count(size_t minBytes)
    {
        uint32_t n = U32();
        if (n > kMaxItems || static_cast<size_t>(m_end - m_at) / minBytes < n)
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
