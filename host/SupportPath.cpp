#include "SupportPath.h"

std::vector<std::wstring> SplitSupportPath(const std::wstring& text)
{
    std::vector<std::wstring> folders;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L';' || text[i] == L'\0') {
            folders.push_back(text.substr(start, i - start));
            start = i + 1;
        } else if (i + 1 == text.size()) {
            folders.push_back(text.substr(start));
        }
    }
    return folders;
}

std::wstring JoinSupportPath(const std::vector<std::wstring>& folders)
{
    std::wstring text;
    for (size_t i = 0; i < folders.size(); ++i) {
        if (i > 0)
            text += L';';
        text += folders[i];
    }
    return text;
}

std::wstring DefaultSupportPath(const std::wstring& hostFolder)
{
    const std::wstring& l = hostFolder;
    return l + L"\\desktop;" + l + L"\\desktop\\support;" + l + L"\\drxlm;" + l + L"\\drxlm\\ge3;" +
           L"C:\\Program Files\\Common Files\\Korvane Shared;" + l + L";" + l + L"\\support;" + l + L"\\fonts;";
}
