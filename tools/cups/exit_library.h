#pragma once
// The exit library loaded with dlopen, as the printer driver loads it.

#include "bandsink64/bandsink64.h"

#include <string>

namespace korva::cups {

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

// KORVAFAX_BANDSINK when set, otherwise where `cmake --install` puts the
// library.
std::string exitLibraryPath();

}  // namespace korva::cups
