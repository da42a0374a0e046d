#include "FaultMarkers.h"

#include <gtest/gtest.h>

TEST(FaultMarkersTest, MarkersAnywhereInFileOrder)
{
    const char raw[] = "DX1015\0\0binary KESTFAULT=delay:3\nfiller\xff KESTFAULT=nosave\r\nKESTFAULT=crash\n";
    std::string bytes(raw, sizeof(raw) - 1);
    std::vector<Fault> faults = FaultMarkers::Parse(bytes);
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0].kind, Fault::Delay);
    EXPECT_EQ(faults[0].seconds, 3);
    EXPECT_EQ(faults[1].kind, Fault::NoSave);
    EXPECT_EQ(faults[2].kind, Fault::Crash);
}

TEST(FaultMarkersTest, DialogAndLogErrorCarryTheirTexts)
{
    std::vector<Fault> faults =
        FaultMarkers::Parse("KESTFAULT=dialog:Missing Fonts|Font a.shx|Use default?\nKESTFAULT=logerror:ERROR: x|y\n"
                            "KESTFAULT=dialog:Bare\n");
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0].kind, Fault::Dialog);
    EXPECT_EQ(faults[0].text, "Missing Fonts");
    EXPECT_EQ(faults[0].items, (std::vector<std::string>{"Font a.shx", "Use default?"}));
    EXPECT_EQ(faults[1].kind, Fault::LogError);
    EXPECT_EQ(faults[1].text, "ERROR: x|y");
    EXPECT_EQ(faults[2].text, "Bare");
    EXPECT_TRUE(faults[2].items.empty());
}

TEST(FaultMarkersTest, UnfinishedUnknownAndMalformedMarkersAreIgnored)
{
    EXPECT_TRUE(FaultMarkers::Parse("KESTFAULT=hang").empty());
    EXPECT_TRUE(FaultMarkers::Parse("KESTFAULT=explode\nKESTFAULT=delay:x\nKESTFAULT=delay:\n"
                                    "KESTFAULT=delay:9999999\nkestfault=hang\n")
                    .empty());
    std::vector<Fault> faults = FaultMarkers::Parse("KESTFAULT=KESTFAULT=hang\nKESTFAULT=hang\n");
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].kind, Fault::Hang);
}

TEST(FaultMarkersTest, HostTextNumbersResolveToTheHostsStrings)
{
    auto host = [](unsigned id) {
        return id == 2270 ? std::wstring(L"FEHLER:") : id == 65535 ? std::wstring(L"last") : std::wstring();
    };
    const struct {
        const wchar_t* text;
        const wchar_t* resolved;
    } cases[] = {
        {L"#2270", L"FEHLER:"},
        {L"#2270 no xref.dwg", L"FEHLER: no xref.dwg"},
        {L"#02270x", L"FEHLER:x"},
        {L"#65535", L"last"},
        {L"#2271 unknown to the host", L"#2271 unknown to the host"},
        {L"#655350", L"#655350"},   // six digits: no string number
        {L"#99999", L"#99999"},     // beyond 16 bits
        {L"#", L"#"},
        {L"#x2270", L"#x2270"},
        {L" #2270", L" #2270"},
        {L"ERROR: #2270", L"ERROR: #2270"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FaultMarkers::ResolveHostText(c.text, host), c.resolved) << std::wstring(c.text).size();
}
