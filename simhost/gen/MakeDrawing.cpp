// MakeDrawing: writes a test drawing (or BMP file) for the suites of other areas. See Usage().
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DrawingGenerator.h"

namespace {
const char kUsage[] =
    "Usage: MakeDrawing [options] OUTPUT\n"
    "Writes a test drawing to OUTPUT.\n"
    "\n"
    "  --magic TEXT      version magic, at most 6 characters (default DX1032), e.g. DX1015, DX1.2, QM0.0\n"
    "  --maint N         maintenance-release byte at offset 11, 0 to 255 (default 0)\n"
    "  --thumb SPEC      embed a generated thumbnail; SPEC is WxHxBITS followed by any of\n"
    "                    ,rle (8 or 4 bits)  ,core (12-byte header)  ,topdown  ,bitfields (16 or 32 bits)\n"
    "                    ,colors=N  ,seed=N     e.g. 64x48x8,rle  or  100x50x24\n"
    "  --thumb-bmp FILE  embed the bitmap of a BMP file as the thumbnail\n"
    "  --metafile        add a metafile entry to the image-data directory\n"
    "  --fault TEXT      embed the line \"KESTFAULT=TEXT\" (ASCII, no line break) in the drawing body;\n"
    "                    a title or text #N there is the host's string N in the host's language\n"
    "  --body N          filler bytes in the drawing body (default 256)\n"
    "  --bmp             write the generated thumbnail (--thumb) as a plain BMP file instead\n"
    "  --help            show this text\n"
    "\n"
    "Without --thumb or --thumb-bmp the drawing has no bitmap entry.\n"
    "Exit code: 0 written, 1 bad arguments, 2 a file could not be read or written.\n";

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    char* end = nullptr;
    value = std::strtoul(text.c_str(), &end, 10);
    return *end == 0 && value <= max && text[0] != '-';
}

bool ParsePicture(const std::string& text, PictureSpec& spec)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    unsigned long w = 0, h = 0, bits = 0, v = 0;
    size_t x1 = parts[0].find('x'), x2 = parts[0].find('x', x1 + 1);
    if (x1 == std::string::npos || x2 == std::string::npos || !ParseNumber(parts[0].substr(0, x1), 65535, w) ||
        !ParseNumber(parts[0].substr(x1 + 1, x2 - x1 - 1), 65535, h) ||
        !ParseNumber(parts[0].substr(x2 + 1), 32, bits) || w == 0 || h == 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    spec.width = static_cast<int32_t>(w);
    spec.height = static_cast<int32_t>(h);
    spec.bitCount = static_cast<uint16_t>(bits);
    for (size_t i = 1; i < parts.size(); i++) {
        const std::string& p = parts[i];
        if (p == "rle" && (bits == 8 || bits == 4))
            spec.compression = bits == 8 ? 1 : 2;
        else if (p == "bitfields" && (bits == 16 || bits == 32))
            spec.compression = 3;
        else if (p == "core")
            spec.coreHeader = true;
        else if (p == "topdown")
            spec.topDown = true;
        else if (p.compare(0, 7, "colors=") == 0 && ParseNumber(p.substr(7), 256, v))
            spec.colorsUsed = static_cast<uint32_t>(v);
        else if (p.compare(0, 5, "seed=") == 0 && ParseNumber(p.substr(5), 0xFFFFFFFFul, v))
            spec.seed = static_cast<uint32_t>(v);
        else
            return false;
    }
    return !(spec.coreHeader && (spec.compression != 0 || spec.topDown || bits > 24 || bits == 16));
}

#ifdef _WIN32
using PathString = std::wstring;
std::FILE* OpenFile(const PathString& path, bool write) { return _wfopen(path.c_str(), write ? L"wb" : L"rb"); }
#else
using PathString = std::string;
std::FILE* OpenFile(const PathString& path, bool write) { return std::fopen(path.c_str(), write ? "wb" : "rb"); }
#endif

bool ReadAll(const PathString& path, std::vector<uint8_t>& bytes)
{
    std::FILE* f = OpenFile(path, false);
    if (!f)
        return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteAll(const PathString& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = OpenFile(path, true);
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int Fail(const char* message, const std::string& detail)
{
    std::fprintf(stderr, "MakeDrawing: %s%s\n", message, detail.c_str());
    return 1;
}

// args: narrow (UTF-8) copies for parsing; paths: the same arguments in the platform's own form.
int Run(const std::vector<std::string>& args, const std::vector<PathString>& paths)
{
    DrawingSpec drawing;
    PictureSpec picture;
    bool havePicture = false, bmpOnly = false;
    PathString thumbFile, output;
    bool haveThumbFile = false, haveOutput = false;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        unsigned long v = 0;
        if (a == "--help" || a == "-h" || a == "/?") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--magic" && hasValue) {
            drawing.magic = args[++i];
            if (drawing.magic.size() > 6)
                return Fail("magic longer than 6 characters: ", drawing.magic);
        } else if (a == "--maint" && hasValue) {
            if (!ParseNumber(args[++i], 255, v))
                return Fail("bad maintenance byte: ", args[i]);
            drawing.maintenance = static_cast<uint8_t>(v);
        } else if (a == "--thumb" && hasValue) {
            if (!ParsePicture(args[++i], picture))
                return Fail("bad thumbnail: ", args[i]);
            havePicture = true;
        } else if (a == "--thumb-bmp" && hasValue) {
            thumbFile = paths[++i];
            haveThumbFile = true;
        } else if (a == "--metafile") {
            drawing.metafileEntry = true;
        } else if (a == "--fault" && hasValue) {
            drawing.faultText = args[++i];
            drawing.hasFault = true;
            if (drawing.faultText.find_first_of("\r\n") != std::string::npos)
                return Fail("fault text holds a line break", "");
        } else if (a == "--body" && hasValue) {
            if (!ParseNumber(args[++i], 100u << 20, v))
                return Fail("bad body size: ", args[i]);
            drawing.bodyBytes = v;
        } else if (a == "--bmp") {
            bmpOnly = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Fail("unknown or incomplete option: ", a + " (see --help)");
        } else if (!haveOutput) {
            output = paths[i];
            haveOutput = true;
        } else {
            return Fail("more than one output file: ", a);
        }
    }
    if (!haveOutput)
        return Fail("no output file (see --help)", "");
    if (havePicture && haveThumbFile)
        return Fail("--thumb and --thumb-bmp exclude each other", "");
    if (bmpOnly && !havePicture)
        return Fail("--bmp needs --thumb", "");

    std::vector<uint8_t> bytes;
    if (bmpOnly) {
        bytes = DrawingGenerator::MakeBmp(picture);
    } else {
        if (havePicture) {
            drawing.thumbnail = DrawingGenerator::MakeDib(picture);
        } else if (haveThumbFile) {
            std::vector<uint8_t> bmp;
            if (!ReadAll(thumbFile, bmp)) {
                std::fprintf(stderr, "MakeDrawing: cannot read the BMP file\n");
                return 2;
            }
            drawing.thumbnail = DrawingGenerator::BmpToDib(bmp);
            if (drawing.thumbnail.empty())
                return Fail("not a BMP file given to --thumb-bmp", "");
        }
        bytes = DrawingGenerator::MakeDrawing(drawing);
    }
    if (!WriteAll(output, bytes)) {
        std::fprintf(stderr, "MakeDrawing: cannot write the output file\n");
        return 2;
    }
    return 0;
}
}

#ifdef _WIN32
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    std::vector<std::wstring> paths;
    for (int i = 1; i < argc; i++) {
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(n > 0 ? static_cast<size_t>(n) : 1, '\0');
        if (n > 0)
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, &s[0], n, nullptr, nullptr);
        s.resize(std::strlen(s.c_str()));
        args.push_back(s);
        paths.push_back(argv[i]);
    }
    return Run(args, paths);
}
#else
int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args, args);
}
#endif
