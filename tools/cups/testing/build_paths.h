#pragma once
// Where the tests find what the build made.

#include <string>

namespace korva::cups::testing {

// The real exit library: KORVA_LIB_DIR when CTest passed it, otherwise the
// lib folder beside the programs.
std::string builtExitLibrary();

}  // namespace korva::cups::testing
