// A stand-in exit library for the backend's tests: the six exports append
// one line per call to the file named by KORVAFAX_RECORD, band bits in hex.
// KORVAFAX_RECORD_FAIL_BAND=n makes the n-th endPageExit return -1;
// KORVAFAX_RECORD_FAIL_END makes endDocExit return -1, as the exit library
// does for a document it could not hand over and did not keep.

#include "bandsink64/bandsink64.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

int jobToken;
int bandCalls;

void record(const std::string& line)
{
    const char* path = std::getenv("KORVAFAX_RECORD");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "-";
}

std::string jobState(void** phJob) { return phJob && *phJob == &jobToken ? "job" : "nojob"; }

size_t rowBytes(int32_t width, int32_t format)
{
    switch (format) {
        case BANDSINK64_MONOCHROME:
            return size_t(width) / 8;
        case BANDSINK64_GREY:
            return (size_t(width) + 3) & ~size_t(3);
        case BANDSINK64_COLOUR:
            return (3 * size_t(width) + 3) & ~size_t(3);
        default:
            return 0;
    }
}

std::string hex(const uint8_t* bits, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bits[i] >> 4];
        out += digits[bits[i] & 15];
    }
    return out;
}

}  // namespace

extern "C" {

BANDSINK64_EXPORT int32_t getVersion(void)
{
    record("getVersion");
    return 3;
}

BANDSINK64_EXPORT int32_t startDocExit(uint32_t jobID, const char* pszDocName, void** phJob)
{
    char cwd[4096] = "-";
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '\0';
    record("startDocExit " + std::to_string(jobID) + " uid=" + std::to_string(getuid()) +
           " euid=" + std::to_string(geteuid()) + " gid=" + std::to_string(getgid()) + " home=" + env("HOME") +
           " xdgdata=" + env("XDG_DATA_HOME") + " user=" + env("USER") + " cwd=" + cwd + " title=" + pszDocName);
    *phJob = &jobToken;
    return 0;
}

BANDSINK64_EXPORT int32_t startPageExit(void** phJob)
{
    record("startPageExit " + jobState(phJob));
    return 0;
}

BANDSINK64_EXPORT int16_t textOutExit(const char* text)
{
    record(std::string("textOutExit ") + text);
    return 0;
}

BANDSINK64_EXPORT int32_t endPageExit(uint8_t* bits, int32_t lHeight, int32_t lWidth, int32_t nBitmapFormat,
                                      int32_t nXResolution, int32_t nYResolution, int32_t bBanding, void** phJob)
{
    ++bandCalls;
    const size_t size = size_t(lHeight) * rowBytes(lWidth, nBitmapFormat);
    record("endPageExit " + jobState(phJob) + " h=" + std::to_string(lHeight) + " w=" + std::to_string(lWidth) +
           " fmt=" + std::to_string(nBitmapFormat) + " x=" + std::to_string(nXResolution) +
           " y=" + std::to_string(nYResolution) + " banding=" + std::to_string(bBanding) + " bits=" + hex(bits, size));
    const char* fail = std::getenv("KORVAFAX_RECORD_FAIL_BAND");
    return fail && std::atoi(fail) == bandCalls ? BANDSINK64_NO_TIFF : BANDSINK64_OK;
}

BANDSINK64_EXPORT int16_t endDocExit(void** phJob)
{
    record("endDocExit " + jobState(phJob));
    *phJob = nullptr;
    return std::getenv("KORVAFAX_RECORD_FAIL_END") ? -1 : 0;
}

}  // extern "C"
