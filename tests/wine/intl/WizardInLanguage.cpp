#include "WizardInLanguage.h"

#include "DrawingGenerator.h"
#include "ResourceIds.h"
#include "RunIds.h"
#include "WineTestSupport.h"
#include "WizardTestSupport.h"

#include <shlobj.h>

#include <cstdlib>

bool WizardInLanguage::HasModule() const { return !Text(IDS_CAPTION).empty(); }

std::wstring WizardInLanguage::Text(UINT id) const { return wts::Text(id, m_language); }

TransmoraDriver::Options WizardInLanguage::Start(const std::wstring& environment) const
{
    return {L"", environment, m_language};
}

void WizardInLanguage::Screenshot(const std::wstring& name, HWND window) const
{
    const char* folder = std::getenv("KEST_WIZARD_SHOTS");
    if (!folder || !*folder)
        return;
    // Every control painted before the picture is taken.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    wts::Pump(500);
    std::wstring file = wts::FromUnix(std::string(folder) + "/") + name;
    DeleteFileW(file.c_str());
    wiz::Screenshot(name, {window});
    // The capture runs beside this process; the window must not change before it is written.
    LONGLONG last = -1;
    wts::WaitUntil([&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        LONGLONG size = GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)
                            ? (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow
                            : -1;
        bool settled = size > 0 && size == last;
        last = size;
        wts::Pump(300);
        return settled;
    }, 20000);
}

bool WizardInLanguage::MakeDrawings(const std::vector<std::wstring>& paths, const std::string& magic,
                                    const std::string& fault)
{
    unsigned seed = 1;
    for (const std::wstring& path : paths) {
        SHCreateDirectoryExW(nullptr, path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
        DrawingSpec spec;
        spec.magic = magic;
        spec.thumbnail = wts::PartThumbnail(seed++);
        spec.hasFault = !fault.empty();
        spec.faultText = fault;
        std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(spec);
        wts::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
        if (!wts::FileExists(path))
            return false;
    }
    return true;
}

void WizardInLanguage::WriteList(const std::wstring& path, const std::vector<std::wstring>& drawings) const
{
    std::string text = wts::Narrow(Text(IDS_DML_HEADER)) + "\r\n";
    for (const std::wstring& drawing : drawings)
        text += "[ ]" + wts::Narrow(drawing) + "\r\n";
    wts::WriteFileBytes(path, text);
}
