// Version magic lookup, release labels and the Files page's file status.
#include "VersionTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "DrawingFileStatus.h"
#include "DrawingGenerator.h"
#include "DrawingIds.h"

namespace {
unsigned LabelOf(const std::string& magic, uint8_t maintenance)
{
    DrawingSpec spec;
    spec.magic = magic;
    spec.maintenance = maintenance;
    std::vector<uint8_t> file = DrawingGenerator::MakeDrawing(spec);
    return VersionTable::VersionStringIdFromHeader(file.data(), file.size());
}

unsigned LabelOfBytes(const std::string& bytes)
{
    return VersionTable::VersionStringIdFromHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
}

TEST(VersionTable, EveryRowLooksUpItsCode)
{
    const struct {
        const char* magic;
        int32_t code;
    } expected[] = {
        {"QM0.0", 0},   {"DX1.2", 1},   {"DX1.40", 2},  {"DX1.50", 3},  {"DX2.10", 5},  {"DX2.20", 4},
        {"DX2.21", 6},  {"DX2.22", 7},  {"DX1001", 8},  {"DX1002", 9},  {"DX1003", 10}, {"DX1004", 11},
        {"DX1005", 12}, {"DX1006", 13}, {"DX1007", 14}, {"DX1008", 15}, {"DX1009", 16}, {"DX1010", 17},
        {"DX1011", 18}, {"DX1012", 19}, {"DX1013", 20}, {"DX1014", 21}, {"DX1015", 23}, {"DX1018", 25},
        {"DX1021", 27}, {"DX1024", 29}, {"DX1027", 31}, {"DX1032", 33},
    };
    ASSERT_EQ(VersionTable::kRowCount, sizeof expected / sizeof expected[0]);
    std::set<std::string> magics;
    for (size_t i = 0; i < VersionTable::kRowCount; i++) {
        EXPECT_STREQ(expected[i].magic, VersionTable::Rows()[i].magic) << "row " << i;
        EXPECT_EQ(expected[i].code, VersionTable::LookupVersionCode(expected[i].magic)) << expected[i].magic;
        magics.insert(expected[i].magic);
    }
    EXPECT_EQ(VersionTable::kRowCount, magics.size()) << "a magic occurs twice";
}

TEST(VersionTable, UnknownMagicsGiveTheUnknownCode)
{
    EXPECT_EQ(32766, VersionTable::kUnknownCode);
    for (const char* magic : {"", "DX1016", "dx1015", "DX101", "DX10155", "DX1.2x", "QM0.0 ", " DX1015"})
        EXPECT_EQ(VersionTable::kUnknownCode, VersionTable::LookupVersionCode(magic)) << '"' << magic << '"';
    EXPECT_EQ(VersionTable::kUnknownCode, VersionTable::LookupVersionCode(nullptr));
}

TEST(VersionTable, LabelsFollowTheMaintenanceRanges)
{
    struct Case {
        const char* magic;
        unsigned low, high, id;
    };
    const Case cases[] = {
        {"DX1012", 0, 255, IDS_VERSION_DX1012},  {"DX1014", 0, 255, IDS_VERSION_DX1012},
        {"DX1015", 0, 6, IDS_VERSION_DX1015_A},  {"DX1015", 7, 11, IDS_VERSION_DX1015_B},
        {"DX1015", 12, 14, IDS_VERSION_DX1015_C}, {"DX1015", 15, 255, 0},
        {"DX1018", 0, 1, IDS_VERSION_DX1018_A},  {"DX1018", 2, 38, IDS_VERSION_DX1018_B},
        {"DX1018", 39, 75, IDS_VERSION_DX1018_C}, {"DX1018", 76, 255, IDS_VERSION_DX1018_D},
        {"DX1021", 0, 16, IDS_VERSION_DX1021_A}, {"DX1021", 17, 45, IDS_VERSION_DX1021_B},
        {"DX1021", 46, 255, IDS_VERSION_DX1021_C}, {"DX1024", 0, 1, 0},
        {"DX1024", 2, 45, IDS_VERSION_DX1024_A}, {"DX1024", 46, 54, IDS_VERSION_DX1024_B},
        {"DX1024", 55, 255, IDS_VERSION_DX1024_C}, {"DX1027", 0, 49, IDS_VERSION_DX1027_A},
        {"DX1027", 50, 74, IDS_VERSION_DX1027_B}, {"DX1027", 75, 99, IDS_VERSION_DX1027_C},
        {"DX1027", 100, 255, IDS_VERSION_DX1027_D}, {"DX1032", 0, 255, IDS_VERSION_DX1032},
        {"DX1013", 0, 255, IDS_VERSION_UNKNOWN},  {"DX1011", 0, 255, IDS_VERSION_UNKNOWN},
        {"DX2.10", 0, 255, IDS_VERSION_UNKNOWN},  {"QM0.0", 0, 255, IDS_VERSION_UNKNOWN},
    };
    for (const Case& c : cases)
        for (unsigned m = c.low; m <= c.high; m++)
            ASSERT_EQ(c.id, LabelOf(c.magic, static_cast<uint8_t>(m))) << c.magic << " maintenance " << m;
}

TEST(VersionTable, UnreadableOrForeignHeadersGiveUnknown)
{
    EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), VersionTable::VersionStringIdFromHeader(nullptr, 0));   // missing
    EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), LabelOfBytes(""));                                      // empty
    EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), LabelOfBytes("DX10"));                                  // short
    EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), LabelOfBytes("Hello, this is a plain text file.\r\n"));
    // Five characters followed by something other than NUL do not match "DX1.2".
    EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), LabelOfBytes(std::string("DX1.2X\0\0\0\0\0\0", 12)));
    EXPECT_EQ(1, VersionTable::LookupVersionCode("DX1.2"));
    // Only six bytes form the magic: a seventh character does not spoil it.
    EXPECT_EQ(unsigned(IDS_VERSION_DX1032), LabelOfBytes("DX1032XYZ"));
    // A file ending right after the magic reads its maintenance byte as zero.
    EXPECT_EQ(unsigned(IDS_VERSION_DX1015_A), LabelOfBytes("DX1015"));
    EXPECT_EQ(0u, LabelOfBytes(std::string("DX1024\0\0\0\0\0\x01", 12)));
    EXPECT_EQ(unsigned(IDS_VERSION_DX1024_A), LabelOfBytes(std::string("DX1024\0\0\0\0\0\x02", 12)));
}

TEST(VersionTable, OldFormatsNeverUseTheMaintenanceByte)
{
    // Offset 11 of an old file holds other data; any value there leaves the label alone.
    for (unsigned m : {0u, 7u, 15u, 100u, 255u}) {
        EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), LabelOf("DX1009", static_cast<uint8_t>(m)));
        EXPECT_EQ(unsigned(IDS_VERSION_UNKNOWN), VersionTable::VersionStringId(VersionTable::kUnknownCode, m));
    }
}

TEST(VersionTable, PreviewAcceptsOnlyCodes19To33)
{
    for (size_t i = 0; i < VersionTable::kRowCount; i++) {
        const VersionTable::Row& row = VersionTable::Rows()[i];
        uint8_t bytes[7] = {};
        std::memcpy(bytes, row.magic, std::strlen(row.magic));
        EXPECT_EQ(row.code >= 19 && row.code <= 33, VersionTable::IsPreviewMagic(bytes, 7)) << row.magic;
    }
    const uint8_t sevenChars[7] = {'D', 'X', '1', '0', '1', '5', 'X'};
    EXPECT_FALSE(VersionTable::IsPreviewMagic(sevenChars, 7));
    const uint8_t empty[7] = {};
    EXPECT_FALSE(VersionTable::IsPreviewMagic(empty, 7));
}

TEST(DrawingFileStatus, AttributesMapToStatusAndFlags)
{
    DrawingFileStatus s = DrawingFileStatus::FromAttributes(0x20);   // archive: a plain file
    EXPECT_EQ(0u, s.statusId);
    EXPECT_FALSE(s.missing);
    EXPECT_FALSE(s.readOnly);

    s = DrawingFileStatus::FromAttributes(DrawingFileStatus::kInvalidAttributes);
    EXPECT_EQ(2012u, s.statusId);
    EXPECT_TRUE(s.missing);
    EXPECT_TRUE(s.readOnly) << "a missing file may not be migrated either";

    s = DrawingFileStatus::FromAttributes(0x21);
    EXPECT_EQ(2013u, s.statusId);
    EXPECT_TRUE(s.readOnly);
    EXPECT_FALSE(s.missing);

    EXPECT_EQ(2013u, DrawingFileStatus::FromAttributes(0x11).statusId) << "read-only wins over folder";
    EXPECT_EQ(2014u, DrawingFileStatus::FromAttributes(0x10).statusId);
    EXPECT_FALSE(DrawingFileStatus::FromAttributes(0x10).readOnly);
    EXPECT_EQ(2014u, DrawingFileStatus::FromAttributes(0x1010).statusId) << "folder wins over offline";
    EXPECT_EQ(2015u, DrawingFileStatus::FromAttributes(0x1000).statusId);
}
