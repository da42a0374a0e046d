#include "HelpText.h"
#include "KestTextStream.h"

namespace {
// Far more than any notes; a stray huge file must not eat the memory.
const size_t kMaxHelpChars = 1 << 20;
}

std::wstring HelpFilePath(const std::wstring& hostFolder) { return hostFolder + L"\\migration\\dwgmigr.txt"; }

std::wstring HelpTextFromStream(std::wistream& in, size_t maxChars)
{
    std::wstring text;
    bool pendingCR = false;
    size_t read = 0;
    for (std::wistream::int_type c = in.get(); c != std::wistream::traits_type::eof() && read < maxChars;
         c = in.get(), ++read) {
        wchar_t ch = std::wistream::traits_type::to_char_type(c);
        if (ch == L'\r') {
            if (pendingCR)
                text += L"\r\n";
            pendingCR = true;
            continue;
        }
        if (ch == L'\n' || pendingCR)
            text += L"\r\n";
        pendingCR = false;
        if (ch != L'\n' && ch != L'\0')
            text += ch;
    }
    if (pendingCR)
        text += L"\r\n";
    return text;
}

std::wstring ReadHelpText(const std::wstring& path)
{
    KestTextStream in(path, KestTextStream::Read);
    if (!in.is_open())
        return std::wstring();
    return HelpTextFromStream(in, kMaxHelpChars);
}
