#include "KestFile.h"
#include "FormatCheck.h"
#include "../app/ResourceIds.h"
#include "../app/RunIds.h"
#include "../app/RunMessages.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace {
std::atomic<unsigned> g_codePageForTest{0};

unsigned FileCodePage()
{
    unsigned forTest = g_codePageForTest.load();
    return forTest ? forTest : GetACP();
}

size_t ConvertChar(unsigned codePage, const unsigned char* bytes, size_t count, wchar_t out[2])
{
    int n = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(count), out, 2);
    return n > 0 ? static_cast<size_t>(n) : 0;
}
}

void KestFile::SetCodePageForTest(unsigned codePage) { g_codePageForTest = codePage; }

KestFile::KestFile(const std::wstring& fileName)
    : m_fileName(fileName), m_codePage(FileCodePage()),
      m_reader(
          MultiByteScan::ForCodePage(m_codePage),
          [this](unsigned char* buffer, size_t size) { return Refill(buffer, size); },
          [cp = m_codePage](const unsigned char* bytes, size_t count, wchar_t out[2]) {
              return ConvertChar(cp, bytes, count, out);
          })
{
}

KestFile::~KestFile() = default;

bool KestFile::Open(bool forWriting)
{
    if (m_fileName.empty())
        return false;
    CFileException error;
    UINT flags = forWriting ? (CFile::modeCreate | CFile::modeWrite) : CFile::modeRead;
    m_reader.Reset();
    if (!m_file.Open(m_fileName.c_str(), flags, &error)) {
        ReportError(error.m_cause);
        return false;
    }
    return true;
}

void KestFile::Close()
{
    if (!IsOpen())
        return;
    try {
        m_file.Close();
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
    }
}

size_t KestFile::Refill(unsigned char* buffer, size_t size)
{
    UINT chunk = size > 0x10000 ? 0x10000 : static_cast<UINT>(size);
    return m_file.Read(buffer, chunk);   // throws on an error
}

bool KestFile::ReadChar(wchar_t& c)
{
    if (!IsOpen())
        return false;
    try {
        return m_reader.ReadChar(c);
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
        return false;
    }
}

int KestFile::ReadChars(wchar_t* buffer, int count)
{
    int n = 0;
    while (n < count && ReadChar(buffer[n]))
        ++n;
    return n;
}

bool KestFile::ReadUntil(wchar_t delimiter, std::wstring& text)
{
    wchar_t c = 0;
    while (ReadChar(c)) {
        text += c;
        if (c == delimiter)
            return true;
    }
    return false;
}

bool KestFile::WriteText(const std::wstring& text)
{
    return WriteText(text.data(), static_cast<int>(text.size()));
}

bool KestFile::WriteText(const wchar_t* text, int length)
{
    if (!IsOpen())
        return false;
    if (length <= 0)
        return true;
    DWORD flags = MultiByteScan::NarrowingFlags(m_codePage);
    int needed = WideCharToMultiByte(m_codePage, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return false;
    std::string bytes(static_cast<size_t>(needed), '\0');
    needed = WideCharToMultiByte(m_codePage, flags, text, length, &bytes[0], needed, nullptr, nullptr);
    if (needed <= 0)
        return false;
    try {
        m_file.Write(bytes.data(), static_cast<UINT>(needed));
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
        return false;
    }
    return true;
}

bool KestFile::ReadAll(std::string& data, size_t limit)
{
    data.clear();
    if (!IsOpen())
        return false;
    try {
        char buffer[0x10000];
        for (;;) {
            UINT got = m_file.Read(buffer, sizeof(buffer));
            if (got == 0)
                return true;
            if (data.size() + got > limit)
                return false;
            data.append(buffer, got);
        }
    } catch (const CFileException& e) {
        ReportError(e.m_cause);
        return false;
    }
}

MultiByteReader KestFile::MemoryReader(const std::string& data) const
{
    return MultiByteReader(
        MultiByteScan::ForCodePage(m_codePage),
        [&data, offset = size_t(0)](unsigned char* buffer, size_t size) mutable {
            size_t n = data.size() - offset < size ? data.size() - offset : size;
            std::memcpy(buffer, data.data() + offset, n);
            offset += n;
            return n;
        },
        [cp = m_codePage](const unsigned char* bytes, size_t count, wchar_t out[2]) {
            return ConvertChar(cp, bytes, count, out);
        });
}

void KestFile::ReportError(int cause)
{
    if (!m_showErrors)
        return;
    UINT reasonId = (cause >= CFileException::fileNotFound && cause <= CFileException::endOfFile)
                        ? static_cast<UINT>(IDS_FILE_ERROR + cause)
                        : static_cast<UINT>(IDS_FILE_GENERIC);
    CString format, reason, text;
    format.LoadString(IDS_FILE_ERROR);
    reason.LoadString(reasonId);
    if (FormatTakes(format.Str(), "ss"))
        text.Format(format, m_fileName.c_str(), static_cast<const wchar_t*>(reason));
    else
        text = CString(m_fileName) + L"\n" + reason;
    RunMessages::Show(nullptr, text.Str(), MB_OK | MB_ICONERROR);
}
