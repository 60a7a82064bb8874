#include "tools/cups/testing/build_paths.h"

#include "platform/testing/test_support.h"

#include <cstdlib>

namespace korva::cups::testing {

std::string builtExitLibrary()
{
    if (const char* lib = std::getenv("KORVA_LIB_DIR"); lib && *lib)
        return korva::testing::libPath("libbandsink64.so");
    return korva::testing::binPath("../lib/libbandsink64.so");
}

std::string installPrinterScript() { return std::string(KORVAFAX_SOURCE_ROOT) + "/scripts/install-printer"; }

}  // namespace korva::cups::testing
