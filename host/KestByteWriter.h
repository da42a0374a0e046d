// Writes the bytes of the records that outlive a Transmora ended during a run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Little-endian, texts as UTF-16 code units with a length in front.
class KestByteWriter {
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
