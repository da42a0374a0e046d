// Conversion between wide text and the multibyte text of a locale (the text
// locale of the log files). Never fails: what the locale cannot convert is
// taken byte for byte on reading and written as "?" on writing.
#pragma once
#include <locale>
#include <string>

std::wstring DecodeText(const std::locale& locale, const std::string& bytes);
std::string EncodeText(const std::locale& locale, const std::wstring& text);
