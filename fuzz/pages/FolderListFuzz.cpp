// Folder list reader on arbitrary bytes. The first byte picks how the rest is
// decoded (byte per character, UTF-8 or UTF-16); checks that no folder is
// blank, over-long or holds a line end or NUL, and that written lists, in UTF-8
// too, read back unchanged.
#include "FolderListFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace FolderListFormat;

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

NextChar Over(const std::wstring& text)
{
    return [&text, i = size_t(0)](wchar_t& c) mutable {
        if (i >= text.size())
            return false;
        c = text[i++];
        return true;
    };
}

bool HasLoneSurrogate(const std::wstring& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return true;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 1)
        return 0;
    const std::string data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    std::wstring text;
    switch (bytes[0] % 3) {
    case 0:
        for (unsigned char b : data)
            text += static_cast<wchar_t>(b);
        break;
    case 1: text = FromUtf8(data, 0); break;
    default: text = FromUtf16Le(data, 0); break;
    }

    size_t skipped = 0;
    std::vector<std::wstring> folders = ReadFolders(Over(text), &skipped);
    Check(folders.size() + skipped <= text.size() + 1);
    for (const std::wstring& folder : folders) {
        Check(!folder.empty() && folder.size() <= MaxLineLength);
        Check(folder.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
        Check(folder.find_first_not_of(L" \t") != std::wstring::npos);
    }

    std::wstring written = FolderListText(folders);
    size_t again = 0;
    Check(ReadFolders(Over(written), &again) == folders && again == 0);

    std::string utf8 = ToUtf8(written);
    size_t mark = 0;
    Check(DetectEncoding("\xEF\xBB\xBF" + utf8, mark) == Encoding::Utf8 && mark == 3);
    if (!HasLoneSurrogate(written))
        Check(FromUtf8("\xEF\xBB\xBF" + utf8, 3) == written);
    return 0;
}
