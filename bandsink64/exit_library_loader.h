#pragma once
// The exit library loaded with dlopen, as a printer driver loads it: what
// every stand-in for the driver (faxprint, the CUPS backend) calls.

#include "bandsink64/bandsink64.h"

#include <string>

namespace korva {

class ExitLibrary {
public:
    ExitLibrary() = default;
    ~ExitLibrary();
    ExitLibrary(const ExitLibrary&) = delete;
    ExitLibrary& operator=(const ExitLibrary&) = delete;

    // False, with error() saying why, when the library cannot be loaded or
    // lacks one of the six functions.
    bool load(const std::string& path);
    const std::string& error() const { return error_; }

    BandSink64GetVersionFn getVersion = nullptr;
    BandSink64StartDocExitFn startDocExit = nullptr;
    BandSink64StartPageExitFn startPageExit = nullptr;
    BandSink64TextOutExitFn textOutExit = nullptr;
    BandSink64EndPageExitFn endPageExit = nullptr;
    BandSink64EndDocExitFn endDocExit = nullptr;

private:
    void* handle_ = nullptr;
    std::string error_;
};

// Where a stand-in for the printer driver finds libbandsink64.so:
// KORVAFAX_BANDSINK when set; else ../lib/ beside the running program (the
// build tree) or ../lib/korvafax/ (an installed tree), whichever holds it;
// else where `cmake --install` puts it.
[[nodiscard]] std::string exitLibraryPath();

}  // namespace korva
