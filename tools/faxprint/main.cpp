// faxprint: stands in for the fax printer driver. Renders the files given
// into bands and hands them to the exit library as one printed document.
#include "bandsink64/exit_library_loader.h"
#include "platform/translation.h"
#include "tools/faxprint/faxprint_options.h"
#include "tools/faxprint/print_document.h"
#include "tools/faxprint/printed_page.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>

using namespace korva::faxprint;
using korva::ExitLibrary;
using korva::exitLibraryPath;
using korva::translated;
using korva::withArguments;

namespace {

int fail(const std::string& message)
{
    std::cerr << "faxprint: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "faxprint: " << parsed.error << "\n" << usageText();
        return 2;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::cout << usageText();
        return 0;
    }
    setMsgSeverity(L_SEVERITY_NONE);  // our own messages say what failed

    const std::string libraryPath = options.library.value_or(exitLibraryPath());
    ExitLibrary library;
    if (!library.load(libraryPath))
        return fail(withArguments(translated("FaxPrint", "cannot load the exit library %1: %2"),
                                  {libraryPath, library.error()}));

    // Everything is read before the document starts: starting it replaces
    // a document still waiting for faxcourier, so a bad file must stop us
    // before that.
    std::vector<PrintedPage> pages;
    for (const std::string& file : options.files) {
        LoadedPages loaded = loadPages(file, options);
        if (!loaded.error.empty())
            return fail(withArguments(translated("FaxPrint", "%1; nothing printed"), {loaded.error}));
        for (auto& page : loaded.pages)
            pages.push_back(std::move(page));
    }

    const std::string name = options.name.value_or(std::filesystem::path(options.files.front()).filename().string());
    const uint32_t jobId = options.jobId.value_or(uint32_t(getpid()));
    PrintOutcome outcome = printDocument(library, options, name, jobId, pages);
    for (const std::string& problem : outcome.problems)
        std::cerr << "faxprint: " << problem << "\n";
    return outcome.allBandsTaken && outcome.handedOver ? 0 : 1;
}
