#include "KestFilenm.h"
#include "PathPlatform.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {
struct Parts {
    std::wstring path, drive, dir, title, ext;
};
Parts Split(const std::wstring& name, bool forward = false)
{
    KestFilenm f(name, forward);
    return {f.m_path, f.m_drive, f.m_dir, f.m_title, f.m_ext};
}
}

class KestFilenmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PathPlatform::SetCurrentDirectoryForTest(L"C:\\Work");
        PathPlatform::SetTempFolderForTest(L"c:\\temp\\");
    }
};

TEST_F(KestFilenmTest, SplitsIntoLowercaseParts)
{
    Parts p = Split(L"parts\\a.DWG");
    EXPECT_EQ(p.path, L"c:\\work\\parts\\a.dwg");
    EXPECT_EQ(p.drive, L"c:");
    EXPECT_EQ(p.dir, L"\\work\\parts\\");
    EXPECT_EQ(p.title, L"a");
    EXPECT_EQ(p.ext, L"dwg");

    p = Split(L"c:\\work\\");
    EXPECT_EQ(p.dir, L"\\work\\");
    EXPECT_EQ(p.title, L"");
    EXPECT_EQ(p.ext, L"");

    p = Split(L"c:\\work\\archive.tar.gz");
    EXPECT_EQ(p.title, L"archive.tar");
    EXPECT_EQ(p.ext, L"gz");
    p = Split(L"c:\\work\\.profile");
    EXPECT_EQ(p.title, L"");
    EXPECT_EQ(p.ext, L"profile");
    p = Split(L"c:\\work\\readme.");
    EXPECT_EQ(p.title, L"readme");
    EXPECT_EQ(p.ext, L"");
}

TEST_F(KestFilenmTest, UncAndForwardSlashes)
{
    Parts p = Split(L"\\\\Server\\Share\\x.dwg");
    EXPECT_EQ(p.drive, L"");
    EXPECT_EQ(p.dir, L"\\\\server\\share\\");
    EXPECT_EQ(p.title, L"x");

    p = Split(L"C:\\A\\B.SCR", true);
    EXPECT_EQ(p.path, L"c:/a/b.scr");
    EXPECT_EQ(p.dir, L"/a/");
    EXPECT_EQ(p.title, L"b");
    EXPECT_EQ(p.ext, L"scr");
}

TEST_F(KestFilenmTest, PartsJoinBackToThePath)
{
    for (const wchar_t* name : {L"a.b.c", L"..\\x\\y.", L"c:\\", L"\\\\s\\h\\f", L"z:\\deep\\..\\..\\q.dwg"}) {
        KestFilenm f(name, false);
        std::wstring file = f.m_title + (f.m_path.size() > f.m_drive.size() + f.m_dir.size() + f.m_title.size()
                                             ? L"." + f.m_ext : L"");
        EXPECT_EQ(f.m_drive + f.m_dir + file, f.m_path) << name;
    }
}

TEST_F(KestFilenmTest, EmptyNameLeavesEverythingEmpty)
{
    KestFilenm f(L"c:\\x\\y.dwg", false);
    f.SetName(L"");
    EXPECT_EQ(f.m_path + f.m_drive + f.m_dir + f.m_title + f.m_ext, L"");
}

TEST_F(KestFilenmTest, TempNamesCountAndWrap)
{
    KestFilenm::SetTempCounterForTest(0);
    KestFilenm f;
    f.SetTempName(L"SCR");
    EXPECT_EQ(f.m_path, L"c:\\temp\\lorn1.scr");
    f.SetTempName(L"");
    EXPECT_EQ(f.m_path, L"c:\\temp\\lorn2.tmp");
    KestFilenm::SetTempCounterForTest(0xFFFD);
    f.SetTempName(L"BAT");
    EXPECT_EQ(f.m_title, L"lornfffe");
    f.SetTempName(L"BAT");
    EXPECT_EQ(f.m_title, L"lorn0");
    f.SetTempName(L"BAT");
    EXPECT_EQ(f.m_title, L"lorn1");
}

TEST_F(KestFilenmTest, ShortenKeepsLeadingFoldersThatFit)
{
    KestFilenm f(L"c:\\projects\\gear\\housing\\part1.dwg", false);
    EXPECT_EQ(f.Shorten(30), L"c:\\projects\\gear\\...\\part1.dwg");
    EXPECT_EQ(f.Shorten(34), f.m_path);
    KestFilenm make(L"c:\\a-long-folder\\another-folder\\makefile", false);
    EXPECT_EQ(make.Shorten(25), L"c:\\...\\makefile.");
    // Even the shortest form is longer than the limit: it is returned as it is.
    EXPECT_EQ(make.Shorten(5), L"c:\\...\\makefile.");
    KestFilenm fwd(L"c:\\projects\\gear\\housing\\part1.dwg", true);
    EXPECT_EQ(fwd.Shorten(30), L"c:/projects/gear/.../part1.dwg");
}

TEST_F(KestFilenmTest, OnlyALetterAndColonAtTheStartMakeADrive)
{
    // A ":" in the file part (a stream) names no drive: the folder still ends at the last separator.
    struct Case {
        const wchar_t* name;
        bool forward;
        Parts expected;
    } cases[] = {
        {L"\\\\srv\\share\\a.dwg:s", false, {L"\\\\srv\\share\\a.dwg:s", L"", L"\\\\srv\\share\\", L"a", L"dwg:s"}},
        {L"\\\\srv\\share\\dir\\a:b", false, {L"\\\\srv\\share\\dir\\a:b", L"", L"\\\\srv\\share\\dir\\", L"a:b", L""}},
        {L"\\\\srv\\share\\a.dwg:s", true, {L"//srv/share/a.dwg:s", L"", L"//srv/share/", L"a", L"dwg:s"}},
        {L"D:\\Work\\A.DWG:Zone", false, {L"d:\\work\\a.dwg:zone", L"d:", L"\\work\\", L"a", L"dwg:zone"}},
        {L"c:\\x\\y.dwg", true, {L"c:/x/y.dwg", L"c:", L"/x/", L"y", L"dwg"}},
    };
    for (const Case& c : cases) {
        Parts p = Split(c.name, c.forward);
        std::string shown(c.name, c.name + std::wcslen(c.name));
        EXPECT_EQ(p.path, c.expected.path) << shown;
        EXPECT_EQ(p.drive, c.expected.drive) << shown;
        EXPECT_EQ(p.dir, c.expected.dir) << shown;
        EXPECT_EQ(p.title, c.expected.title) << shown;
        EXPECT_EQ(p.ext, c.expected.ext) << shown;
    }
}
