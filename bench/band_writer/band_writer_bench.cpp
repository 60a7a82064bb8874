// band_writer_bench [ROUNDS (7)] [LIBRARY (../lib/libbandsink64.so)]
// Times one document of 20 monochrome pages (1728 x 2200) and 5 colour
// pages (1700 x 2200) handed to the exit library in 256-row bands, from
// startDocExit to endDocExit, against a plain libtiff loop writing the same
// rows with the same fields from TIFFOpen to TIFFClose, in the same run.
// Prints wall and processor times of both and the ratios of the medians.
#include "bandsink64/bandsink64.h"

#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr int32_t monoWidth = 1728, colourWidth = 1700, pageHeight = 2200, bandRows = 256;
constexpr int monoPages = 20, colourPages = 5;
constexpr int32_t dpi = 200;
constexpr size_t monoStride = monoWidth / 8;
constexpr size_t colourStride = (3 * colourWidth + 3) & ~size_t(3);

struct Exports {
    BandSink64StartDocExitFn startDocExit;
    BandSink64StartPageExitFn startPageExit;
    BandSink64EndPageExitFn endPageExit;
    BandSink64EndDocExitFn endDocExit;
};

// A page of text as the driver delivers it: a set bit is white.
std::vector<uint8_t> textPage(unsigned seed)
{
    std::vector<uint8_t> page(monoStride * pageHeight, 0xFF);
    std::mt19937 random(seed);
    auto black = [&](int x, int y) { page[size_t(y) * monoStride + size_t(x / 8)] &= uint8_t(~(0x80 >> (x % 8))); };
    for (int line = 150; line + 28 < pageHeight - 150; line += 50) {
        for (int x = 120; x < monoWidth - 200;) {
            int word = 20 + int(random() % 100);
            for (int gx = x; gx < x + word; gx += 7 + int(random() % 5))
                for (int y = line + int(random() % 8); y < line + 28; ++y)
                    for (int s = 0; s < 3; ++s)
                        black(gx + s, y);
            x += word + 12;
        }
    }
    return page;
}

std::vector<uint8_t> colourPage()
{
    std::vector<uint8_t> page(colourStride * pageHeight);
    for (int y = 0; y < pageHeight; ++y)
        for (int x = 0; x < colourWidth; ++x) {
            uint8_t* p = &page[size_t(y) * colourStride + 3 * size_t(x)];
            p[0] = uint8_t(x / 7);
            p[1] = uint8_t(y / 9);
            p[2] = uint8_t((x + y) / 11);
        }
    return page;
}

// Wall-clock and processor time of one run, in milliseconds. Processor
// time shows the work itself when other programs share the cores.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double cpuMilliseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

class Stopwatch {
public:
    Timing elapsed() const
    {
        return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_).count(),
                cpuMilliseconds() - cpu_};
    }

private:
    std::chrono::steady_clock::time_point wall_ = std::chrono::steady_clock::now();
    double cpu_ = cpuMilliseconds();
};

void deliverPage(const Exports& sink, void** job, uint8_t* bits, int32_t width, size_t stride, int32_t format)
{
    sink.startPageExit(job);
    for (int32_t top = 0; top < pageHeight; top += bandRows) {
        int32_t rows = std::min(bandRows, pageHeight - top);
        int32_t result =
            sink.endPageExit(bits + size_t(top) * stride, rows, width, format, dpi, dpi, top + rows < pageHeight, job);
        if (result != 0) {
            std::fprintf(stderr, "band_writer_bench: endPageExit answered %d\n", result);
            std::exit(1);
        }
    }
}

Timing throughExitLibrary(const Exports& sink, std::vector<std::vector<uint8_t>>& monoCopies,
                          std::vector<uint8_t>& colour)
{
    Stopwatch stopwatch;
    void* job = nullptr;
    sink.startDocExit(1, "bench", &job);
    for (auto& page : monoCopies)
        deliverPage(sink, &job, page.data(), monoWidth, monoStride, 1);
    for (int i = 0; i < colourPages; ++i)
        deliverPage(sink, &job, colour.data(), colourWidth, colourStride, 5);
    sink.endDocExit(&job);
    return stopwatch.elapsed();
}

// The same fields in the same order as the exit library sets them.
Timing plainLibtiff(const std::string& path, std::vector<std::vector<uint8_t>>& storedMono,
                    std::vector<uint8_t>& colour)
{
    Stopwatch stopwatch;
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        std::exit(1);
    for (auto& page : storedMono) {
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, double(dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, double(dpi));
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(monoWidth));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(pageHeight));
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(bandRows));
        TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
        for (int32_t y = 0; y < pageHeight; ++y)
            TIFFWriteScanline(tiff, page.data() + size_t(y) * monoStride, uint32_t(y), 0);
        TIFFWriteDirectory(tiff);
    }
    for (int i = 0; i < colourPages; ++i) {
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, double(dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, double(dpi));
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(colourWidth));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(pageHeight));
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
        for (int32_t y = 0; y < pageHeight; ++y)
            TIFFWriteScanline(tiff, colour.data() + size_t(y) * colourStride, uint32_t(y), 0);
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return stopwatch.elapsed();
}

int countPages(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        return 0;
    int pages = TIFFNumberOfDirectories(tiff);
    TIFFClose(tiff);
    return pages;
}

struct Summary {
    double wallMedian, wallBest, cpuMedian;
};

Summary summarise(const std::vector<Timing>& runs)
{
    std::vector<double> wall, cpu;
    for (const Timing& t : runs) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], wall.front(), cpu[cpu.size() / 2]};
}

// A private home, so that the run never touches the user's spool folder.
std::string isolatedHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "band-writer-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::exit(1);
    setenv("HOME", pattern.c_str(), 1);
    setenv("XDG_DATA_HOME", (pattern + "/data").c_str(), 1);
    setenv("KORVAFAX_SYSCONFDIR", (pattern + "/etc").c_str(), 1);
    return pattern;
}

template <typename Fn>
Fn symbol(void* library, const char* name)
{
    void* found = dlsym(library, name);
    if (!found) {
        std::fprintf(stderr, "band_writer_bench: no %s in the library\n", name);
        std::exit(1);
    }
    return reinterpret_cast<Fn>(found);
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string libraryPath =
        argc > 2 ? argv[2] : (self.parent_path().parent_path() / "lib" / "libbandsink64.so").string();
    const std::string home = isolatedHome();
    void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "band_writer_bench: %s\n", dlerror());
        return 1;
    }
    Exports sink{symbol<BandSink64StartDocExitFn>(library, "startDocExit"),
                 symbol<BandSink64StartPageExitFn>(library, "startPageExit"),
                 symbol<BandSink64EndPageExitFn>(library, "endPageExit"),
                 symbol<BandSink64EndDocExitFn>(library, "endDocExit")};

    std::vector<std::vector<uint8_t>> driverMono, storedMono;
    for (int i = 0; i < monoPages; ++i) {
        driverMono.push_back(textPage(unsigned(i)));
        storedMono.push_back(driverMono.back());
        for (uint8_t& b : storedMono.back())
            b = uint8_t(~b);
    }
    std::vector<uint8_t> colour = colourPage();
    const std::string watchFile = home + "/data/KORVAFax/korvafax.tif";
    const std::string plainFile = home + "/plain.tif";

    std::vector<Timing> exitTimes, plainTimes;
    for (int round = 0; round < rounds; ++round) {
        // The library inverts the driver's rows in place: each round gets
        // fresh copies, made before the clock starts. The order alternates
        // so that neither side always runs on a warmer machine.
        std::vector<std::vector<uint8_t>> copies = driverMono;
        if (round % 2 == 0) {
            exitTimes.push_back(throughExitLibrary(sink, copies, colour));
            plainTimes.push_back(plainLibtiff(plainFile, storedMono, colour));
        } else {
            plainTimes.push_back(plainLibtiff(plainFile, storedMono, colour));
            exitTimes.push_back(throughExitLibrary(sink, copies, colour));
        }
        if (countPages(watchFile) != monoPages + colourPages || countPages(plainFile) != monoPages + colourPages) {
            std::fprintf(stderr, "band_writer_bench: a file lacks pages\n");
            return 1;
        }
    }
    const Summary exit = summarise(exitTimes), plain = summarise(plainTimes);
    std::printf("band_writer: %d monochrome pages %dx%d and %d colour pages %dx%d in %d-row bands, %d rounds\n",
                monoPages, monoWidth, pageHeight, colourPages, colourWidth, pageHeight, bandRows, rounds);
    std::printf("                              wall median   wall best   cpu median\n");
    std::printf("  exit library (endPageExit)  %8.1f ms  %8.1f ms  %8.1f ms\n", exit.wallMedian, exit.wallBest,
                exit.cpuMedian);
    std::printf("  plain libtiff loop          %8.1f ms  %8.1f ms  %8.1f ms\n", plain.wallMedian, plain.wallBest,
                plain.cpuMedian);
    std::printf("  ratio exit library / plain loop: wall %.3f, cpu %.3f (goal: at most 1.100)\n",
                exit.wallMedian / plain.wallMedian, exit.cpuMedian / plain.cpuMedian);
    // One line in the form bench/run collects into its table.
    std::printf("result: band_writer | %.1f ms | plain libtiff loop | %.1f ms | %.3f | at most 1.10\n", exit.wallMedian,
                plain.wallMedian, exit.wallMedian / plain.wallMedian);
    dlclose(library);
    std::filesystem::remove_all(home);
    return 0;
}
