#pragma once
// Where the backend loads the exit library from.

#include "bandsink64/exit_library_loader.h"

#include <string>

namespace korva::cups {

using korva::ExitLibrary;

// KORVAFAX_BANDSINK when set, otherwise where `cmake --install` puts the
// library.
std::string exitLibraryPath();

}  // namespace korva::cups
