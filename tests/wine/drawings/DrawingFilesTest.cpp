// Version labels and file status of real files, and the MakeDrawing tool other suites call.
#include <gtest/gtest.h>

#include <windows.h>

#include "DrawingFileStatus.h"
#include "DrawingGenerator.h"
#include "DrawingIds.h"
#include "PreviewCore.h"
#include "VersionTableText.h"
#include "WineTestSupport.h"

namespace {
std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

CString Label(unsigned id)
{
    CString text;
    EXPECT_TRUE(text.LoadString(id)) << "string " << id;
    return text;
}

std::wstring WriteDrawing(const std::wstring& dir, const wchar_t* name, const char* magic, uint8_t maintenance)
{
    DrawingSpec spec;
    spec.magic = magic;
    spec.maintenance = maintenance;
    std::wstring path = dir + L"\\" + name;
    wts::WriteFileBytes(path, AsString(DrawingGenerator::MakeDrawing(spec)));
    return path;
}
}

TEST(DrawingVersionText, LabelsOfRealFiles)
{
    std::wstring dir = wts::FreshDir(L"version");
    EXPECT_EQ(Label(IDS_VERSION_DX1015_A), DrawingVersionText(WriteDrawing(dir, L"a.dwg", "DX1015", 6).c_str()));
    EXPECT_EQ(Label(IDS_VERSION_DX1015_B), DrawingVersionText(WriteDrawing(dir, L"b.dwg", "DX1015", 7).c_str()));
    EXPECT_EQ(CString(), DrawingVersionText(WriteDrawing(dir, L"c.dwg", "DX1015", 15).c_str()));
    EXPECT_EQ(CString(), DrawingVersionText(WriteDrawing(dir, L"d.dwg", "DX1024", 1).c_str()));
    EXPECT_EQ(Label(IDS_VERSION_DX1024_A), DrawingVersionText(WriteDrawing(dir, L"e.dwg", "DX1024", 2).c_str()));
    EXPECT_EQ(Label(IDS_VERSION_UNKNOWN), DrawingVersionText(WriteDrawing(dir, L"f.dwg", "DX1013", 0).c_str()));
    EXPECT_EQ(Label(IDS_VERSION_DX1032), DrawingVersionText(WriteDrawing(dir, L"g.dwg", "DX1032", 200).c_str()));

    const CString unknown = Label(IDS_VERSION_UNKNOWN);
    EXPECT_FALSE(unknown.IsEmpty());
    EXPECT_EQ(unknown, DrawingVersionText((dir + L"\\missing.dwg").c_str()));
    wts::WriteFileBytes(dir + L"\\empty.dwg", "");
    EXPECT_EQ(unknown, DrawingVersionText((dir + L"\\empty.dwg").c_str()));
    wts::WriteFileBytes(dir + L"\\notes.dwg", "These are my notes.\r\n");
    EXPECT_EQ(unknown, DrawingVersionText((dir + L"\\notes.dwg").c_str()));
    EXPECT_EQ(unknown, DrawingVersionText(dir.c_str())) << "a folder";
    EXPECT_EQ(unknown, DrawingVersionText(L""));
    EXPECT_EQ(unknown, DrawingVersionText(nullptr));
}

TEST(DrawingVersionText, ReadsAFileAnotherProgramHasOpenForReading)
{
    std::wstring path = WriteDrawing(wts::FreshDir(L"shared"), L"open.dwg", "DX1021", 20);
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(Label(IDS_VERSION_DX1021_B), DrawingVersionText(path.c_str()));
    CloseHandle(other);
}

TEST(DrawingFileStatus, ChecksTheFileSystem)
{
    std::wstring dir = wts::FreshDir(L"status");
    std::wstring plain = WriteDrawing(dir, L"plain.dwg", "DX1032", 0);
    std::wstring locked = WriteDrawing(dir, L"locked.dwg", "DX1032", 0);
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    CreateDirectoryW((dir + L"\\folder.dwg").c_str(), nullptr);

    DrawingFileStatus s = DrawingFileStatus::Check(plain);
    EXPECT_EQ(0u, s.statusId);
    EXPECT_FALSE(s.missing || s.readOnly);
    s = DrawingFileStatus::Check(locked);
    EXPECT_EQ(DrawingFileStatus::kReadOnlyId, s.statusId);
    EXPECT_TRUE(s.readOnly);
    EXPECT_FALSE(s.missing);
    s = DrawingFileStatus::Check(dir + L"\\gone.dwg");
    EXPECT_EQ(DrawingFileStatus::kMissingId, s.statusId);
    EXPECT_TRUE(s.missing && s.readOnly);
    EXPECT_EQ(DrawingFileStatus::kDirectoryId, DrawingFileStatus::Check(dir + L"\\folder.dwg").statusId);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(MakeDrawing, WritesWhatTheArgumentsSay)
{
    const std::wstring tool = L"\"" + wts::BinDir() + L"\\MakeDrawing.exe\"";
    std::wstring dir = wts::FreshDir(L"makedrawing");
    std::wstring out = dir + L"\\made.dwg";
    ASSERT_EQ(0, wts::Run(tool + L" --magic DX1015 --maint 7 --thumb 64x48x8,rle --fault \"hang 30\" \"" + out +
                          L"\""));
    EXPECT_EQ(Label(IDS_VERSION_DX1015_B), DrawingVersionText(out.c_str()));
    std::string bytes = wts::ReadFileBytes(out);
    EXPECT_NE(std::string::npos, bytes.find("\nKESTFAULT=hang 30\n"));
    PreviewCore core;
    std::unique_ptr<PreviewDib> dib = core.ReadThumbnail(out);
    ASSERT_TRUE(dib);
    EXPECT_EQ(64, dib->Width());
    EXPECT_EQ(48u, dib->Rows());

    // A BMP file written by the tool, embedded by the tool, reads back the same.
    std::wstring bmp = dir + L"\\pic.bmp", embedded = dir + L"\\embedded.dwg";
    ASSERT_EQ(0, wts::Run(tool + L" --bmp --thumb 30x20x24 \"" + bmp + L"\""));
    ASSERT_EQ(0, wts::Run(tool + L" --magic DX1024 --maint 50 --thumb-bmp \"" + bmp + L"\" \"" + embedded + L"\""));
    std::unique_ptr<PreviewDib> a = core.ReadThumbnail(bmp), b = core.ReadThumbnail(embedded);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(std::string(a->Data(), a->Data() + a->Size()), std::string(b->Data(), b->Data() + b->Size()));

    ASSERT_EQ(0, wts::Run(tool + L" --magic DX1009 \"" + out + L"\""));
    EXPECT_FALSE(core.ReadThumbnail(out)) << "no thumbnail asked for";
    EXPECT_EQ(0, wts::Run(tool + L" --help"));
    EXPECT_EQ(1, wts::Run(tool + L" --thumb 10x10x7 \"" + out + L"\""));
    EXPECT_EQ(1, wts::Run(tool + L" --magic TOOLONG7 \"" + out + L"\""));
    EXPECT_EQ(1, wts::Run(tool));
    EXPECT_EQ(2, wts::Run(tool + L" --thumb-bmp \"" + dir + L"\\none.bmp\" \"" + out + L"\""));
}
