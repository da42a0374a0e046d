// Decoding 1,000 thumbnails (8-bit run-length, 24-bit dithered) against copying the same pixel bytes with
// memcpy, and against ImageMagick reading the same BMP files, in one run. Build without sanitizers for
// meaningful numbers.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

#include "DrawingGenerator.h"
#include "PreviewCore.h"
#include "PreviewMemorySource.h"

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct Set {
    const char* name;
    std::vector<std::vector<uint8_t>> files;
    size_t pixelBytes = 0;   // pixel bytes per set as stored in the files
};

Set MakeSet(const char* name, uint16_t bpp, uint32_t compression, int count, int width, int height)
{
    Set set{name, {}, 0};
    for (int i = 0; i < count; i++) {
        PictureSpec spec;
        spec.width = width;
        spec.height = height;
        spec.bitCount = bpp;
        spec.compression = compression;
        spec.seed = static_cast<uint32_t>(i);
        set.files.push_back(DrawingGenerator::MakeBmp(spec));
        const std::vector<uint8_t>& f = set.files.back();
        uint32_t pixels = f[10] | (f[11] << 8) | (f[12] << 16) | (uint32_t(f[13]) << 24);
        set.pixelBytes += f.size() - pixels;
    }
    return set;
}

// Best of several rounds, in seconds per round.
template <typename F> double Best(int rounds, F&& f)
{
    double best = 1e9;
    for (int r = 0; r < rounds; r++) {
        Clock::time_point t = Clock::now();
        f();
        best = std::min(best, Seconds(t));
    }
    return best;
}

double ImageMagickSeconds(const Set& set, const std::string& dir)
{
    for (size_t i = 0; i < set.files.size(); i++) {
        std::string path = dir + "/" + set.name + std::to_string(i) + ".bmp";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return -1;
        std::fwrite(set.files[i].data(), 1, set.files[i].size(), f);
        std::fclose(f);
    }
    // One process reads them all; a run on a single file gives the start-up time to take off.
    std::string one = "convert '" + dir + "/" + set.name + "0.bmp' null: 2>/dev/null";
    std::string all = "convert '" + dir + "'/" + set.name + "*.bmp null: 2>/dev/null";
    double startup = Best(3, [&] { (void)std::system(one.c_str()); });
    Clock::time_point t = Clock::now();
    if (std::system(all.c_str()) != 0)
        return -1;
    return Seconds(t) - startup;
}
}

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rounds = 10;
    std::vector<Set> sets;
    sets.push_back(MakeSet("rle8", 8, 1, count, 160, 120));
    sets.push_back(MakeSet("rgb24", 24, 0, count, 160, 120));

    char dirTemplate[] = "/tmp/kest-bench-drawings.XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    const bool haveMagick = dir && std::system("command -v convert >/dev/null 2>&1") == 0;

    std::printf("%d thumbnails of 160 x 120 per set, best of %d rounds\n", count, rounds);
    std::printf("%-6s %12s %12s %8s %14s %9s\n", "set", "decode ms", "memcpy ms", "ratio", "ImageMagick ms",
                "IM/ours");
    unsigned sink = 0;
    for (const Set& set : sets) {
        double decode = Best(rounds, [&] {
            for (const std::vector<uint8_t>& f : set.files) {
                PreviewCore core;
                std::unique_ptr<PreviewDib> dib =
                    core.ReadThumbnail(std::make_unique<PreviewMemorySource>(f.data(), f.size()));
                if (!dib)
                    std::abort();
                sink += dib->Bits()[0];
            }
        });
        std::vector<uint8_t> target(set.pixelBytes / set.files.size() + 64);
        double copy = Best(rounds, [&] {
            for (const std::vector<uint8_t>& f : set.files) {
                uint32_t pixels = f[10] | (f[11] << 8) | (f[12] << 16) | (uint32_t(f[13]) << 24);
                std::memcpy(target.data(), f.data() + pixels, f.size() - pixels);
                sink += target[f.size() - pixels - 1];
                asm volatile("" : : "r"(target.data()) : "memory");
            }
        });
        double magick = haveMagick ? ImageMagickSeconds(set, dir) : -1;
        if (magick >= 0)
            std::printf("%-6s %12.2f %12.3f %8.1f %14.1f %9.1f\n", set.name, decode * 1e3, copy * 1e3, decode / copy,
                        magick * 1e3, magick / decode);
        else
            std::printf("%-6s %12.2f %12.3f %8.1f %14s %9s\n", set.name, decode * 1e3, copy * 1e3, decode / copy,
                        "n/a", "n/a");
        // The row of scripts/bench.sh: against ImageMagick reading the same files where it is installed.
        if (magick >= 0)
            std::printf("BENCH\tdecode %d thumbnails (%s)\t%.1f ms\tImageMagick reading them: %.1f ms\t%.2f\t"
                        "under 1\n",
                        count, set.name, decode * 1e3, magick * 1e3, decode / magick);
        else
            std::printf("BENCH\tdecode %d thumbnails (%s)\t%.1f ms\tmemcpy of their pixels: %.2f ms\t%.1f\t"
                        "(no ImageMagick)\n",
                        count, set.name, decode * 1e3, copy * 1e3, decode / copy);
    }
    if (dir)
        std::system((std::string("rm -rf '") + dir + "'").c_str());
    return sink == 0xFFFFFFFF;
}
