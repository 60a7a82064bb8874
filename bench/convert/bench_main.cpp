// convert_bench: converts letter-size print files into fax documents with
// the pipeline's conversion and, in the same run, with ImageMagick's convert
// doing the same work, and prints pages per second, the ratio and the peak
// resident size.
//
//   convert_bench             the benchmark
//   convert_bench --convert PRINTFILE TARGET
//                             one conversion, as the benchmark runs it

#include "print_files.h"
#include "runs.h"

#include "faxcourier/pipeline/conversion.h"
#include "faxcourier/pipeline/watch_file.h"
#include "platform/paths.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kTimedRuns = 3;

// One conversion, as faxcourier runs it: the print file arrives as the
// watch file (a hard link, so the original stays for the next run).
int convertOnce(const std::string& printFile, const std::string& target)
{
    auto spool = korva::spoolFolder();
    if (!spool || link(printFile.c_str(), korva::watchFilePath(*spool).c_str()) != 0)
        return 2;
    korva::ConversionRequest request;
    request.spoolFolder = *spool;
    request.target = target;
    std::atomic<int> counter{0};
    korva::ConversionResult result = korva::convertPrintFile(request, counter);
    return result.pageCount > 0 && result.pagesStored == result.pageCount ? 0 : 1;
}

std::vector<std::string> ours(const std::string& self, const std::string& file, const std::string& target)
{
    return {self, "--convert", file, target};
}

std::vector<std::string> imageMagick(const std::string& file, const std::string& target)
{
    return {"convert",        file,          "-sample", "1728x2146!",    "-dither",
            "FloydSteinberg", "-monochrome", "-units",  "PixelsPerInch", "-density",
            "200x192",        "-compress",   "Fax",     target};
}

void printRun(const char* who, const bench::Run& run, int pages)
{
    std::printf("  %-12s %7.2f pages/s   %6.3f s wall  %6.3f s cpu  peak %6.1f MB\n", who, pages / run.seconds,
                run.seconds, run.cpuSeconds, run.peakKb / 1024.0);
}

bool compare(const char* title, const std::string& self, const std::string& file, const std::string& work, int pages,
             const char* goal)
{
    std::printf("%s, %d pages of 1700 x 2200:\n", title, pages);
    bench::Run mine = bench::bestOf(kTimedRuns, ours(self, file, work + "/ours.tif"));
    bench::Run theirs = bench::bestOf(kTimedRuns, imageMagick(file, work + "/im.tif"));
    if (!mine.ok || !theirs.ok) {
        std::printf("  failed (ours %s, ImageMagick %s)\n", mine.ok ? "ok" : "failed", theirs.ok ? "ok" : "failed");
        return false;
    }
    printRun("pipeline", mine, pages);
    printRun("ImageMagick", theirs, pages);
    std::printf("  ratio        %7.2f x ImageMagick's pages per second%s\n", theirs.seconds / mine.seconds, goal);
    std::printf("               %7.2f x on processor time alone\n\n", theirs.cpuSeconds / mine.cpuSeconds);
    // One line in the form bench/run collects into its table.
    std::printf("result: convert %s | %.1f pages/s | ImageMagick convert | %.1f pages/s | %.2f | %s\n", title,
                pages / mine.seconds, pages / theirs.seconds, theirs.seconds / mine.seconds,
                *goal ? "at least 16 x" : "-");
    return true;
}

bool memory(const std::string& self, const std::string& one, const std::string& hundred, const std::string& work)
{
    bench::Run single = bench::runMeasured(ours(self, one, work + "/ours1.tif"));
    bench::Run many = bench::runMeasured(ours(self, hundred, work + "/ours100.tif"));
    bench::Run imSingle = bench::runMeasured(imageMagick(one, work + "/im1.tif"));
    if (!single.ok || !many.ok || !imSingle.ok) {
        std::printf("Peak resident size: a run failed\n");
        return false;
    }
    std::printf("Peak resident size, colour:\n");
    std::printf("  pipeline       1 page  %6.1f MB\n", single.peakKb / 1024.0);
    std::printf("  pipeline     100 pages %6.1f MB  (%.2f x the 1-page figure; %.1f pages/s)\n", many.peakKb / 1024.0,
                double(many.peakKb) / single.peakKb, 100 / many.seconds);
    std::printf("               goal: within 1.2 x the 1-page figure and under 64 MB\n");
    std::printf("  ImageMagick    1 page  %6.1f MB\n", imSingle.peakKb / 1024.0);
    std::printf(
        "result: convert memory | %.1f MB (100 pages) | 1-page document | %.1f MB | %.2f | at most 1.2 x, under 64 "
        "MB\n",
        many.peakKb / 1024.0, single.peakKb / 1024.0, double(many.peakKb) / single.peakKb);
    return true;
}

int benchmark(const std::string& self)
{
    char pattern[] = "/tmp/korva-bench-convert-XXXXXX";
    if (!mkdtemp(pattern))
        return 2;
    std::string work = pattern;
    // The exit library and the conversion find the spool folder here.
    setenv("HOME", work.c_str(), 1);
    setenv("XDG_DATA_HOME", (work + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (work + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (work + "/state").c_str(), 1);
    setenv("KORVAFAX_SYSCONFDIR", (work + "/etc").c_str(), 1);
    auto spool = korva::spoolFolder();

    std::printf("Print files written by %s\n\n", bench::chooseWriter(KORVA_LIB_DIR).c_str());
    std::string colour10 = work + "/colour10.tif", mono10 = work + "/mono10.tif";
    std::string colour1 = work + "/colour1.tif", colour100 = work + "/colour100.tif";
    bool made = spool && bench::makePrintFile(colour10, bench::Colours::Colour, 10, *spool) &&
                bench::makePrintFile(mono10, bench::Colours::Mono, 10, *spool) &&
                bench::makePrintFile(colour1, bench::Colours::Colour, 1, *spool) &&
                bench::makePrintFile(colour100, bench::Colours::Colour, 100, *spool);
    bool ok = made && compare("Colour", self, colour10, work, 10, " (goal: at least 16 x)") &&
              compare("Monochrome", self, mono10, work, 10, "") && memory(self, colour1, colour100, work);
    if (!made)
        std::printf("Cannot write the print files\n");
    fs::remove_all(work);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--convert")
        return convertOnce(argv[2], argv[3]);
    return benchmark(fs::canonical("/proc/self/exe").string());
}
