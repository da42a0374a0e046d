#include "KestTextStream.h"
#include "TextLocale.h"

KestTextStream::KestTextStream(const std::wstring& path, Mode mode) : std::wiostream(nullptr)
{
    rdbuf(&m_buffer);
    imbue(MakeTextLocale());
    if (!m_buffer.Open(path, static_cast<KestTextBuf::Mode>(mode)))
        setstate(std::ios_base::failbit);
}

bool KestTextStream::close()
{
    bool wasOpen = m_buffer.IsOpen();
    bool ok = m_buffer.Close() && wasOpen && !bad();
    if (!ok)
        setstate(std::ios_base::badbit);
    return ok;
}
