#include "TextLocale.h"
#include "KestCodecvt.h"
#include "LanguageTable.h"

#include <windows.h>

#include <atomic>

namespace {
std::atomic<int> g_languageForTest{-1};

unsigned short SystemLanguage()
{
    int forTest = g_languageForTest.load();
    return forTest >= 0 ? static_cast<unsigned short>(forTest) : GetSystemDefaultLangID();
}
}

void SetSystemLanguageForTest(int languageId) { g_languageForTest = languageId; }

std::string SystemLocaleName() { return LanguageTable::LocaleName(SystemLanguage()); }

std::locale MakeTextLocale()
{
    // The runtime here knows only the "C" locale, so the name picks a code
    // page and our own facet converts; numbers keep the "C" form.
    unsigned codePage = LanguageTable::CodePage(SystemLocaleName());
    if (codePage != 0 && !IsValidCodePage(codePage))
        codePage = 0;
    return std::locale(std::locale::classic(), new KestCodecvt(codePage));
}
