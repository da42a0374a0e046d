// Writes generated drawings and BMP files of every depth and compression into a corpus folder.
#include <cstdio>
#include <string>
#include <vector>

#include "DrawingGenerator.h"

namespace {
bool Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
}

// seeds DIR: the kind of corpus is built in (SEED_KIND: drawing, bmp or versions).
int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const std::string dir = argv[1], kind = SEED_KIND;
    struct Shape {
        uint16_t bpp;
        uint32_t compression;
        bool core;
        bool topDown;
    };
    const Shape shapes[] = {{1, 0, false, false}, {4, 0, false, false}, {8, 0, false, false}, {24, 0, false, false},
                            {32, 0, false, false}, {8, 1, false, false}, {4, 2, false, false}, {8, 0, true, false},
                            {24, 0, true, false},  {4, 0, false, true},  {16, 0, false, false}, {32, 3, false, false}};
    int n = 0;
    bool ok = true;
    for (const Shape& s : shapes) {
        PictureSpec p;
        p.width = 9 + n % 5;
        p.height = 5 + n % 3;
        p.bitCount = s.bpp;
        p.compression = s.compression;
        p.coreHeader = s.core;
        p.topDown = s.topDown;
        p.seed = static_cast<uint32_t>(n);
        std::string name = dir + "/seed" + std::to_string(n++);
        if (kind == "all" || kind == "bmp")
            ok &= Write(name + ".bmp", DrawingGenerator::MakeBmp(p));
        if (kind == "all" || kind == "drawing") {
            DrawingSpec d;
            d.thumbnail = DrawingGenerator::MakeDib(p);
            d.metafileEntry = n % 2 == 0;
            d.bodyBytes = 16;
            ok &= Write(name + ".dwg", DrawingGenerator::MakeDrawing(d));
        }
    }
    if (kind == "all" || kind == "versions") {
        for (const char* magic : {"DX1015", "DX1024", "DX1.2", "QM0.0", "DX1032"}) {
            DrawingSpec d;
            d.magic = magic;
            d.maintenance = 40;
            d.bodyBytes = 0;
            std::vector<uint8_t> bytes = DrawingGenerator::MakeDrawing(d);
            bytes.resize(22);
            ok &= Write(dir + "/" + magic + ".hdr", bytes);
        }
    }
    return ok ? 0 : 1;
}
