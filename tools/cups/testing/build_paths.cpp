#include "tools/cups/testing/build_paths.h"

#include "platform/testing/test_support.h"

namespace korva::cups::testing {

std::string builtExitLibrary() { return korva::testing::libPath("libbandsink64.so"); }

std::string installPrinterScript() { return std::string(KORVAFAX_SOURCE_ROOT) + "/scripts/install-printer"; }

}  // namespace korva::cups::testing
