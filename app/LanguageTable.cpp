#include "LanguageTable.h"

#include <cstdio>

namespace LanguageTable {
namespace {
// Order matters: the first row whose identifier matches wins.
const Row kRows[] = {
    {"0x0000", ""}, {"0x007f", ""}, {"0x0400", ""}, {"0x0800", ""}, {"0x0436", ""}, {"0x041c", ""}, {"0x0401", ""},
    {"0x0801", ""}, {"0x0c01", ""}, {"0x1001", ""}, {"0x1401", ""}, {"0x1801", ""}, {"0x1c01", ""}, {"0x2001", ""},
    {"0x2401", ""}, {"0x2801", ""}, {"0x2c01", ""}, {"0x3001", ""}, {"0x3401", ""}, {"0x3801", ""}, {"0x3c01", ""},
    {"0x4001", ""}, {"0x042b", ""}, {"0x042c", ""}, {"0x082c", ""}, {"0x042d", ""}, {"0x0423", ""}, {"0x0402", ""},
    {"0x0455", ""}, {"0x0403", ""}, {"0x0404", "cht"}, {"0x0804", "chs"}, {"0x0c04", "cht"}, {"0x1004", "chs"},
    {"0x1404", "cht"}, {"0x041a", ""}, {"0x0405", ""}, {"0x0406", ""}, {"0x0465", ""}, {"0x0413", ""}, {"0x0813", ""},
    {"0x0409", "english-us"}, {"0x0809", "english-uk"}, {"0x0c09", "english-aus"}, {"0x1009", "english-can"},
    {"0x1409", "english-nz"}, {"0x1809", ""}, {"0x1c09", ""}, {"0x2009", ""}, {"0x2409", ""}, {"0x2809", ""},
    {"0x2c09", ""}, {"0x3009", ""}, {"0x3409", ""}, {"0x0425", ""}, {"0x0438", ""}, {"0x0429", ""},
    {"0x040b", "finnish"}, {"0x040c", "french"}, {"0x080c", "french-belgian"}, {"0x0c0c", "french-canadian"},
    {"0x100c", "french-swiss"}, {"0x140c", ""}, {"0x180c", ""}, {"0x0456", ""}, {"0x0437", ""}, {"0x0407", "german"},
    {"0x0807", "german-swiss"}, {"0x0c07", "german-austrian"}, {"0x1007", ""}, {"0x1407", ""}, {"0x0408", "greek"},
    {"0x0447", ""}, {"0x040d", ""}, {"0x0439", ""}, {"0x040e", "hungarian"}, {"0x040f", "icelandic"}, {"0x0421", ""},
    {"0x0410", "italian"}, {"0x0810", "italian-swiss"}, {"0x0411", "japanese"}, {"0x044b", ""}, {"0x0457", ""},
    {"0x0412", "korean"}, {"0x0812", ""}, {"0x0440", ""}, {"0x0426", ""}, {"0x0427", ""}, {"0x0827", ""},
    {"0x042f", ""}, {"0x043e", ""}, {"0x083e", ""}, {"0x044e", ""}, {"0x0450", ""}, {"0x0414", "norwegian-bokmal"},
    {"0x0814", "norwegian-nynorsk"}, {"0x0415", "polish"}, {"0x0416", "portuguese-brazilian"}, {"0x0816", ""},
    {"0x0446", ""}, {"0x0418", ""}, {"0x0419", "russian"}, {"0x044f", ""}, {"0x0c1a", ""}, {"0x081a", ""},
    {"0x041b", "slovak"}, {"0x0424", ""}, {"0x040a", ""}, {"0x080a", "spanish-mexican"}, {"0x0c0a", ""},
    {"0x100a", ""}, {"0x140a", ""}, {"0x180a", ""}, {"0x1c0a", ""}, {"0x200a", ""}, {"0x240a", ""}, {"0x280a", ""},
    {"0x2c0a", ""}, {"0x300a", ""}, {"0x340a", ""}, {"0x380a", ""}, {"0x3c0a", ""}, {"0x400a", ""}, {"0x440a", ""},
    {"0x480a", ""}, {"0x4c0a", ""}, {"0x500a", ""}, {"0x0430", ""}, {"0x0441", ""}, {"0x041d", "swedish"},
    {"0x081d", ""}, {"0x045a", ""}, {"0x0449", ""}, {"0x0444", ""}, {"0x044a", ""}, {"0x041e", ""},
    {"0x041f", "turkish"}, {"0x0422", ""}, {"0x0420", ""}, {"0x0820", ""}, {"0x0443", ""}, {"0x0843", ""},
    {"0x042a", ""},
};

struct CodePageOf {
    const char* name;
    unsigned codePage;
};
// The runtime library's names are not known to every platform's runtime, so
// each name maps to the ANSI code page of its language.
const CodePageOf kCodePages[] = {
    {"cht", 950}, {"chs", 936}, {"japanese", 932}, {"korean", 949},
    {"greek", 1253}, {"russian", 1251}, {"turkish", 1254},
    {"hungarian", 1250}, {"polish", 1250}, {"slovak", 1250},
    {"english-us", 1252}, {"english-uk", 1252}, {"english-aus", 1252}, {"english-can", 1252}, {"english-nz", 1252},
    {"finnish", 1252}, {"french", 1252}, {"french-belgian", 1252}, {"french-canadian", 1252}, {"french-swiss", 1252},
    {"german", 1252}, {"german-swiss", 1252}, {"german-austrian", 1252}, {"icelandic", 1252},
    {"italian", 1252}, {"italian-swiss", 1252}, {"norwegian-bokmal", 1252}, {"norwegian-nynorsk", 1252},
    {"portuguese-brazilian", 1252}, {"spanish-mexican", 1252}, {"swedish", 1252},
};
}

const Row* Rows() { return kRows; }
size_t RowCount() { return sizeof(kRows) / sizeof(kRows[0]); }

std::string LocaleName(unsigned short languageId)
{
    for (const Row& row : kRows) {
        unsigned id = 0;
        if (std::sscanf(row.id, "%x", &id) == 1 && id == languageId)
            return row.name;
    }
    return std::string();
}

unsigned CodePage(const std::string& localeName)
{
    for (const CodePageOf& entry : kCodePages)
        if (localeName == entry.name)
            return entry.codePage;
    return 0;
}
}
