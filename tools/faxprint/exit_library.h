#pragma once
// Where faxprint loads the exit library from unless told otherwise.

#include "bandsink64/exit_library_loader.h"

#include <string>

namespace korva::faxprint {

using korva::ExitLibrary;

// "../lib/libbandsink64.so" beside this program, or else
// "../lib/korvafax/libbandsink64.so", where it is installed.
std::string defaultLibraryPath();

}  // namespace korva::faxprint
