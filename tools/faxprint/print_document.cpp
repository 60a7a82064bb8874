#include "tools/faxprint/print_document.h"

#include "platform/translation.h"
#include "platform/windows1252.h"
#include "tools/faxprint/page_raster.h"

#include <algorithm>

namespace korva::faxprint {
namespace {

// Every band of one page; the first result other than 0, or 0.
int32_t deliverBands(const ExitLibrary& library, const Options& options, PageRaster& raster, void** job)
{
    int32_t first = 0;
    for (int32_t top = 0; top < raster.height; top += options.bandRows) {
        const int32_t rows = std::min(options.bandRows, raster.height - top);
        const int32_t more = top + rows < raster.height ? 1 : 0;
        int32_t result = library.endPageExit(raster.row(top), rows, raster.width, raster.bitmapFormat, options.xDpi,
                                             options.yDpi, more, job);
        if (result != 0 && first == 0)
            first = result;
    }
    return first;
}

}  // namespace

PrintOutcome printDocument(const ExitLibrary& library, const Options& options, const std::string& documentName,
                           uint32_t jobId, std::vector<PrintedPage>& pages)
{
    PrintOutcome outcome;
    void* job = nullptr;
    // The name comes from the desktop as UTF-8; the exit library takes ANSI text.
    library.startDocExit(jobId, korva::utf8ToWindows1252Lossy(documentName).c_str(), &job);
    for (size_t i = 0; i < pages.size(); ++i) {
        library.startPageExit(&job);
        for (const std::string& line : pages[i].text)
            library.textOutExit(line.c_str());
        PageRaster raster = layOutPage(pages[i].picture.get(), options.format);
        pages[i].picture.reset();
        if (int32_t result = deliverBands(library, options, raster, &job); result != 0) {
            outcome.allBandsTaken = false;
            const std::string why =
                result == -1
                    ? translated("FaxPrint",
                                 "page %1: the exit library answered %2 (the print file could not be opened)")
                    : translated("FaxPrint", "page %1: the exit library answered %2 (rows could not be written)");
            outcome.problems.push_back(withArguments(why, {std::to_string(i + 1), std::to_string(result)}));
        }
    }
    if (library.endDocExit(&job) != 0) {
        outcome.handedOver = false;
        outcome.problems.push_back(
            translated("FaxPrint", "the document was not handed over to KORVA Fax and will not be faxed"));
    }
    return outcome;
}

}  // namespace korva::faxprint
